// The flow of tovManager.exe when its screens cannot be created: it says why and ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/program_fixture_win32.h"

namespace {

using namespace frame_test;

// A copy of the program in a folder of its own whose Spanish library has no screens.
class NoScreens : public Program {
protected:
    void SetUp() override {
        Program::SetUp();
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tov_frame_noscreens";
        CreateDirectoryA(folder_.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((dir_ + "\\tovManager.exe").c_str(), Exe().c_str(), FALSE));
        ASSERT_TRUE(CopyFileA((dir_ + "\\tovnoscreens.dll").c_str(), Library().c_str(), FALSE));
        StoreString(HKEY_LOCAL_MACHINE, "Language", "Spanish");
    }
    void TearDown() override {
        Program::TearDown();
        DeleteFileA(Exe().c_str());
        DeleteFileA(Library().c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string Exe() const { return folder_ + "\\tovManager.exe"; }
    std::string Library() const { return folder_ + "\\tovspa.dll"; }

    std::string folder_;
};

TEST_F(NoScreens, AMessageThatCannotBeCreatedShowsTheSystemsTextAndEnds) {
    Hold("zeltovManagerapp");
    Start("-debug", Exe());
    const Box box = WaitForBox();
    ASSERT_NE(box.window, nullptr) << "no box; the log:\n" << ReadLog();
    // the reason, as the system words it, is the one the log names
    const std::string prefix = "--- FAILED: Could not create the message screen, error ";
    DWORD error = 0;
    for (const std::string& text : LogTexts()) {
        if (text.compare(0, prefix.size(), prefix) == 0)
            error = std::stoul(text.substr(prefix.size()));
    }
    ASSERT_NE(error, 0u) << ReadLog();
    wchar_t system[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   system, 512, nullptr);
    EXPECT_EQ(box.text, std::wstring(system)) << error;
    EXPECT_EQ(box.caption, L"Kelvox Lumora");
    Dismiss(box);
    ExpectEnds();
}

} // namespace
