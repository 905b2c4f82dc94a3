// The Drag and Sort settings and the first-drag notice as a user meets them, against the prefix's
// product key. Started under the name tovsort.exe, this program stands in for the sorter and
// records each start beside itself.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/settings.h"
#include "res/resource.h"
#include "setup/screen_run_win32.h"
#include "setup/test_log.h"
#include "sort/sort_win32.h"

namespace {

using setup_test::ScreenRun;

const char* const kInstall = "C:\\sort_screens_test\\";
const char* const kStarted = "C:\\sort_screens_test\\started.txt";

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A value of the current user as stored: type and bytes, "" and 0 when missing.
std::string Stored(const char* name, DWORD* type) {
    const AppSettings::RawValue value = AppSettings::ReadRaw(AppSettings::Root::CurrentUser, name);
    *type = value.read ? value.type : 0;
    return std::string(value.data.begin(), value.data.end());
}

void ExpectDword(const char* name, DWORD expected) {
    DWORD type = 0;
    EXPECT_EQ(Stored(name, &type), std::string(reinterpret_cast<const char*>(&expected), 4));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
}

// Waits for a plain message box of this process, gives its text and presses its OK.
bool PressMessageBox(std::string* text) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < setup_test::kScreenDeadlineMs) {
        HWND box = nullptr;
        while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(box, &pid);
            if (pid != GetCurrentProcessId() || !IsWindowVisible(box) ||
                GetPropA(box, "tovDialogId"))
                continue;
            char buffer[512] = "";
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
            *text = buffer;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            // gone before the next box is looked for
            while (IsWindow(box) && GetTickCount() - start < setup_test::kScreenDeadlineMs)
                Sleep(20);
            return true;
        }
        Sleep(20);
    }
    return false;
}

// The sorter stand-in's starts: waits until there are `count`, then gives them all.
size_t SorterStarts(size_t count) {
    const DWORD start = GetTickCount();
    for (;;) {
        const std::string text = ReadWhole(kStarted);
        const size_t starts = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
        if (starts >= count || GetTickCount() - start > setup_test::kScreenDeadlineMs)
            return starts;
        Sleep(20);
    }
}

int ShowSettings() { return dragsort::SortSettingsScreen().DoModal(); }
int ShowNotice() { return dragsort::FirstDragNotice().DoModal(); }

class SortScreens : public ::testing::Test {
protected:
    void SetUp() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, AppSettings::KEY);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, AppSettings::KEY);
        CreateDirectoryA(kInstall, nullptr);
        DeleteFileA(kStarted);
        char self[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, self, sizeof self);
        ASSERT_TRUE(CopyFileA(self, (std::string(kInstall) + "tovsort.exe").c_str(), FALSE));
        SHSetValueA(HKEY_LOCAL_MACHINE, AppSettings::KEY, "installDirectory", REG_SZ, kInstall,
                    static_cast<DWORD>(std::strlen(kInstall) + 1));
    }
    void TearDown() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, AppSettings::KEY);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, AppSettings::KEY);
        DeleteFileA(kStarted);
        DeleteFileA((std::string(kInstall) + "tovsort.exe").c_str());
        RemoveDirectoryA(kInstall);
    }
};

TEST_F(SortScreens, ACleanKeyShowsOnAndPrivateStoredAtOnceAndSaveWithOffStartsNothing) {
    setup_test::LogCapture log;
    {
        ScreenRun run(ShowSettings);
        ASSERT_TRUE(run.WaitShown(IDD_SORT_SETTINGS));
        EXPECT_EQ(run.Text(IDC_SORT_PUBLIC), "Sort files into \"Our\" public folder");
        EXPECT_TRUE(run.Checked(IDC_SORT_ON) && !run.Checked(IDC_SORT_OFF));
        EXPECT_TRUE(run.Checked(IDC_SORT_PRIVATE) && !run.Checked(IDC_SORT_PUBLIC));
        // Enter on Back goes back, after an Esc that does nothing
        run.Focus(IDC_BACK);
        ASSERT_TRUE(run.Key("Esc"));
        ASSERT_TRUE(run.Key("Enter"));
        EXPECT_EQ(run.Result(), 101);
        ExpectDword("EnableSort", 1);
        ExpectDword("SortMyFolder", 1);
    }
    ScreenRun run(ShowSettings);
    ASSERT_TRUE(run.WaitShown(IDD_SORT_SETTINGS));
    ASSERT_TRUE(run.SetCheck(IDC_SORT_OFF, true));
    ASSERT_TRUE(run.SetCheck(IDC_SORT_PUBLIC, true));
    ASSERT_TRUE(run.Click(IDC_NEXT));
    EXPECT_EQ(run.Result(), 101);
    ExpectDword("EnableSort", 0);
    ExpectDword("SortMyFolder", 0);
    EXPECT_EQ(log.Count(std::string("Starting TOVSORT... <") + kInstall + "tovsort.exe>"), 0u);
    EXPECT_EQ(ReadWhole(kStarted), "");
}

TEST_F(SortScreens, SaveWithOnStartsTheSorterEveryTime) {
    setup_test::LogCapture log;
    for (int i = 0; i < 2; ++i) {
        ScreenRun run(ShowSettings);
        ASSERT_TRUE(run.WaitShown(IDD_SORT_SETTINGS));
        // Enter anywhere but on Back saves
        if (i == 0)
            ASSERT_TRUE(run.Click(IDC_NEXT));
        else
            ASSERT_TRUE(run.Key("Enter"));
        EXPECT_EQ(run.Result(), 101);
    }
    EXPECT_EQ(SorterStarts(2), 2u);
    EXPECT_EQ(log.Count(std::string("Starting TOVSORT... <") + kInstall + "tovsort.exe>"), 2u);
    EXPECT_EQ(log.Count("  Read Install Dir Size 22 bytes"), 2u);
    EXPECT_EQ(log.Count("  Read Install Dir Value -->67<--"), 2u);
}

TEST_F(SortScreens, NoInstallDirectorySaysBadAndTriesTheDefaultPath) {
    setup_test::LogCapture log;
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, AppSettings::KEY);
    ScreenRun run(ShowSettings);
    ASSERT_TRUE(run.WaitShown(IDD_SORT_SETTINGS));
    ASSERT_TRUE(run.Click(IDC_NEXT));
    std::string text;
    ASSERT_TRUE(PressMessageBox(&text));
    EXPECT_EQ(text, "bad");
    // nothing lies at the default path: the system's text, then the screen closes
    ASSERT_TRUE(PressMessageBox(&text));
    EXPECT_EQ(run.Result(), 101);
    EXPECT_TRUE(
        log.Has("Starting TOVSORT... <C:\\Program Files\\Kelvox\\Kelvox Lumora\\tovsort.exe>"));
    bool failed = false;
    for (const std::string& line : log.Lines())
        failed = failed || line.rfind("--- ERROR: Failed to launch: <", 0) == 0;
    EXPECT_TRUE(failed);
}

TEST_F(SortScreens, StoredOffShowsOffAndAnEmptyBoxAndTheNoticeMarksItselfShownAlsoOnX) {
    AppSettings::WriteDword("EnableSort", 0);
    {
        ScreenRun run(ShowSettings);
        ASSERT_TRUE(run.WaitShown(IDD_SORT_SETTINGS));
        EXPECT_TRUE(run.Checked(IDC_SORT_OFF) && !run.Checked(IDC_SORT_ON));
        ASSERT_TRUE(run.Click(IDC_BACK));
        EXPECT_EQ(run.Result(), 101);
    }
    ScreenRun run(ShowNotice);
    ASSERT_TRUE(run.WaitShown(IDD_FIRST_DRAG));
    EXPECT_EQ(run.Text(IDC_SORT_ENABLE), "Enable Drag and Sort feature");
    EXPECT_FALSE(run.Checked(IDC_SORT_ENABLE));
    ASSERT_TRUE(run.Click(IDC_CLOSE));
    EXPECT_EQ(run.Result(), 100);
    DWORD type = 0;
    EXPECT_EQ(Stored("FirstDrag", &type), std::string("FALSE", 6));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ExpectDword("EnableSort", 0);
}

TEST_F(SortScreens, TheNoticeStoresItsCheckBoxOnOk) {
    ScreenRun run(ShowNotice);
    ASSERT_TRUE(run.WaitShown(IDD_FIRST_DRAG));
    EXPECT_TRUE(run.Checked(IDC_SORT_ENABLE));
    ASSERT_TRUE(run.SetCheck(IDC_SORT_ENABLE, false));
    ASSERT_TRUE(run.Key("Enter"));
    EXPECT_EQ(run.Result(), 103);
    ExpectDword("EnableSort", 0);
}

} // namespace

int main(int argc, char** argv) {
    // the stand-in for tovsort.exe: records its start beside itself
    char self[MAX_PATH] = "";
    const size_t n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n >= 11 && lstrcmpiA(self + n - 11, "tovsort.exe") == 0) {
        std::ofstream(kStarted, std::ios::app | std::ios::binary) << "started\n";
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
