// The status view as a user meets it, in this process, against the simulator on a loopback
// address: the grid after the query, scrolling, time-outs, the backup log viewer, closing early.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <string>
#include <vector>

#include "backup/status_table.h"
#include "backup/status_view_win32.h"
#include "app/globals.h"
#include "lab/uidriver/gallery_run_win32.h"
#include "lab/uidriver/help_opened_win32.h"
#include "lab/uidriver/uidriver_win32.h"
#include "res/resource.h"
#include "skin/resources_win32.h"

namespace {

constexpr DWORD kDeadlineMs = 20000;

int Cell(int row, int column) { return IDC_GRID + row * 4 + column; }
std::string String(int id) { return skin::LoadString(static_cast<UINT>(id)); }

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

HANDLE Duplicate(HANDLE h) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

class ShortChannel : public CommandChannel {
public:
    explicit ShortChannel(unsigned seconds) : seconds(seconds) {}

protected:
    unsigned ReplySeconds(unsigned) const override { return seconds; }

private:
    unsigned seconds;
};

// The screen with its waits shortened and what it does to the system's cursors counted.
class TestView : public backup::StatusViewScreen {
public:
    TestView(const std::string& heading, unsigned seconds, std::string logBase)
        : StatusViewScreen(heading), seconds(seconds), base(std::move(logBase)),
          drawn(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          busy(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~TestView() override {
        CloseHandle(drawn);
        CloseHandle(busy);
    }

    bool WaitDrawn() { return WaitForSingleObject(drawn, kDeadlineMs) == WAIT_OBJECT_0; }
    bool WaitBusy() { return WaitForSingleObject(busy, kDeadlineMs) == WAIT_OBJECT_0; }
    // Read on the test's thread after a sent message has been handled.
    HANDLE Viewer() const { return ViewerProcess(); }

    std::atomic<int> busyCount{0};
    std::atomic<int> restoreCount{0};

protected:
    std::shared_ptr<CommandChannel> MakeChannel() override {
        return std::make_shared<ShortChannel>(seconds);
    }
    std::string LogBaseFolder() override { return base; }
    void SetBusyCursor() override {
        ++busyCount;
        SetEvent(busy);
    }
    void RestoreCursors() override { ++restoreCount; }
    void PageDrawn() override { SetEvent(drawn); }

private:
    unsigned seconds;
    std::string base;
    HANDLE drawn;
    HANDLE busy;
};

// The screen shown on a thread of its own while the test acts as the user.
class ScreenRun {
public:
    explicit ScreenRun(TestView& view)
        : result(std::async(std::launch::async, [&view] { return view.DoModal(); })) {}
    ~ScreenRun() {
        if (result.valid() && result.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            uidriver::SendKey(screen.hwnd, "Alt+F4");
    }
    bool WaitShown() {
        return uidriver::WaitForScreen(GetCurrentProcessId(), kDeadlineMs, &screen) &&
               screen.dialogId == IDD_STATUS_VIEW;
    }
    int Result() {
        if (result.wait_for(std::chrono::milliseconds(kDeadlineMs)) != std::future_status::ready)
            return -2;
        return result.get();
    }

    HWND Item(int id) const { return GetDlgItem(screen.hwnd, id); }
    std::string Text(int id) const { return uidriver::ControlText(screen.hwnd, id); }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 1; row <= 5; ++row)
            names.push_back(Visible(Cell(row, 0)) ? Text(Cell(row, 0)) : "-");
        return names;
    }
    // The centre of a row's "Last Backup" cell, in the screen's client coordinates.
    LPARAM DatePoint(int row) const {
        RECT r;
        GetWindowRect(Item(Cell(row, 2)), &r);
        MapWindowPoints(nullptr, screen.hwnd, reinterpret_cast<POINT*>(&r), 2);
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void ScrollMouse(UINT message, int y) const {
        SendMessageA(Item(IDC_STATUS_SCROLL), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(5, y));
    }

    uidriver::Screen screen;

private:
    std::future<int> result;
};

// The information box the screen's thread shows, once it is up.
struct BoxSearch {
    std::string caption;
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM l) {
    auto* search = reinterpret_cast<BoxSearch*>(l);
    char text[64] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (search->caption == text && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForInformationBox(HWND screen) {
    BoxSearch search;
    search.caption = String(backup::STR_STATUS_BOX_CAPTION);
    const DWORD thread = GetWindowThreadProcessId(screen, nullptr);
    for (DWORD waited = 0; waited < kDeadlineMs && !search.found; waited += 20) {
        EnumThreadWindows(thread, FindBox, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(20);
    }
    return search.found;
}

class StatusViewAgainstAppliance : public ::testing::Test {
protected:
    void SetUp() override {
        const char* a = std::getenv("TOV_APPLIANCE_ADDRESS");
        const char* state = std::getenv("TOV_APPLIANCE_STATE");
        if (!a || !state)
            GTEST_SKIP() << "no simulator (run through protocol/with-appliance)";
        address = a;
        stateDir = "Z:" + std::string(state);
        for (char& c : stateDir)
            if (c == '/')
                c = '\\';
        CreateDirectoryA(stateDir.c_str(), nullptr);
        Write("faults", "");
        Write("settings", "capacity=250\n");
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        logBase = std::string(temp) + "tov-status-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(logBase.c_str(), nullptr);
        CreateDirectoryA((logBase + "log").c_str(), nullptr);
    }
    void TearDown() override {
        if (stateDir.empty())
            return;
        Write("faults", "");
        DeleteFileA((stateDir + "\\backup-status.tsv").c_str());
        DeleteFileA((logBase + "log\\kelback_anne.log").c_str());
        DeleteFileA((logBase + "viewer.log").c_str());
        RemoveDirectoryA((logBase + "log").c_str());
        RemoveDirectoryA(logBase.c_str());
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(stateDir + "\\" + name, std::ios::binary | std::ios::trunc) << text;
    }
    std::string Heading() const { return "NAS1 (" + address + ")"; }

    std::string address;
    std::string stateDir;
    std::string logBase;
};

TEST_F(StatusViewAgainstAppliance, SevenUsersSortedPagedAndScrolledThenEnterGoesBack) {
    Write("backup-status.tsv", "2\tG\t03142025\t0\tbob\n"
                               "300\tM\t03132025\t2\tAnne\n"
                               "0\tM\t03012025\t3\tcarl\n"
                               "512\tK\t03122025\t1\tDave\n"
                               "1\tG\t\t0\terin\n"
                               "20\tM\t03142025\t0\tFay\n"
                               "7\tM\t03142025\t9\tgus\n");
    TestView view(Heading(), 10, logBase);
    ScreenRun run(view);
    ASSERT_TRUE(run.WaitShown());
    EXPECT_EQ(run.Text(IDC_DEVICE), Heading());
    ASSERT_TRUE(view.WaitDrawn());
    EXPECT_TRUE(run.Enabled(IDC_BACK));
    EXPECT_FALSE(run.Visible(IDC_MESSAGE_TEXT));
    EXPECT_EQ(run.Text(Cell(0, 0)), String(backup::STR_STATUS_USERS));
    EXPECT_EQ(run.Names(), (std::vector<std::string>{"Anne", "Dave", "Fay", "bob", "carl"}));
    EXPECT_EQ(run.Text(Cell(1, 1)), "300 MB");
    EXPECT_EQ(run.Text(Cell(1, 2)), "03/13/2025");
    EXPECT_TRUE(run.Visible(Cell(1, 3)));
    EXPECT_EQ(run.Text(Cell(2, 1)), "512 KB");
    EXPECT_EQ(run.Text(Cell(5, 1)), "0 MB");
    // 300 + 20 + 7 MB, 2 GB, 1 GB and 512 KB: 3399 MB
    EXPECT_EQ(run.Text(Cell(6, 1)), "3 GB");
    EXPECT_EQ(run.Text(Cell(6, 2)), "247.00 GBs free space");
    EXPECT_TRUE(run.Visible(IDC_STATUS_SCROLL));

    // one line down by the arrow: users two to six, "erin" without a date shows neither date
    // nor icon
    RECT bar;
    GetClientRect(run.Item(IDC_STATUS_SCROLL), &bar);
    run.ScrollMouse(WM_LBUTTONDOWN, bar.bottom - 4);
    run.ScrollMouse(WM_LBUTTONUP, bar.bottom - 4);
    EXPECT_EQ(run.Names(), (std::vector<std::string>{"Dave", "Fay", "bob", "carl", "erin"}));
    EXPECT_FALSE(run.Visible(Cell(5, 2)));
    EXPECT_FALSE(run.Visible(Cell(5, 3)));

    // back to the top, then the thumb dragged to the end: the page follows once it is let go
    run.ScrollMouse(WM_LBUTTONDOWN, 4);
    run.ScrollMouse(WM_LBUTTONUP, 4);
    EXPECT_EQ(run.Names()[0], "Anne");
    ASSERT_TRUE(view.WaitDrawn());
    run.ScrollMouse(WM_LBUTTONDOWN, 25);
    run.ScrollMouse(WM_MOUSEMOVE, bar.bottom);
    EXPECT_EQ(run.Names()[0], "Anne");
    run.ScrollMouse(WM_LBUTTONUP, bar.bottom);
    ASSERT_TRUE(view.WaitDrawn());
    EXPECT_EQ(run.Names(), (std::vector<std::string>{"Fay", "bob", "carl", "erin", "gus"}));

    ASSERT_TRUE(uidriver::SendKey(run.screen.hwnd, "Enter"));
    EXPECT_EQ(run.Result(), 101);
    EXPECT_EQ(view.busyCount, 1);
    EXPECT_EQ(view.restoreCount, 1);
}

TEST_F(StatusViewAgainstAppliance, NoAnswerInTimeShowsStatusNotFoundAndXGives100) {
    Write("faults", "gub1 delay 4000\n");
    TestView view(Heading(), 1, logBase);
    ScreenRun run(view);
    ASSERT_TRUE(run.WaitShown());
    ASSERT_TRUE(view.WaitDrawn());
    EXPECT_TRUE(run.Visible(IDC_MESSAGE_TEXT));
    EXPECT_EQ(run.Text(IDC_MESSAGE_TEXT), String(backup::STR_STATUS_NOT_FOUND));
    EXPECT_FALSE(run.Visible(Cell(0, 0)));
    EXPECT_FALSE(run.Visible(Cell(1, 0)));
    EXPECT_FALSE(run.Visible(IDC_STATUS_SCROLL));
    ASSERT_TRUE(uidriver::Click(run.screen.hwnd, IDC_CLOSE));
    EXPECT_EQ(run.Result(), 100);
}

TEST_F(StatusViewAgainstAppliance, LogCopyOpensInTheViewerAndTheNextOpenEndsTheFirst) {
    Write("backup-status.tsv", "3\tM\t03142025\t0\tanne\n"
                               "4\tM\t03142025\t1\tbob\n");
    const std::string log = "backup of anne\r\n3 files copied\r\n";
    std::ofstream(logBase + "log\\kelback_anne.log", std::ios::binary) << log;
    const std::string journal = logBase + "viewer.log";
    SetEnvironmentVariableA("TOV_VIEWER_JOURNAL", journal.c_str());
    const std::string copy = "(anne) TOV Backup Log";

    TestView view(Heading(), 10, logBase);
    ScreenRun run(view);
    ASSERT_TRUE(run.WaitShown());
    ASSERT_TRUE(view.WaitDrawn());

    SendMessageA(run.screen.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, run.DatePoint(1));
    HANDLE first = Duplicate(view.Viewer());
    ASSERT_NE(first, nullptr);
    // the viewer has recorded its file once it waits for input
    EXPECT_EQ(WaitForInputIdle(first, kDeadlineMs), 0u);
    const std::string opened = ReadAll(journal);
    EXPECT_NE(opened.find(copy + "\n"), std::string::npos) << opened;
    EXPECT_EQ(ReadAll(copy), log);
    EXPECT_NE(GetFileAttributesA(copy.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    SendMessageA(run.screen.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, run.DatePoint(1));
    EXPECT_EQ(WaitForSingleObject(first, kDeadlineMs), WAIT_OBJECT_0);
    CloseHandle(first);
    HANDLE second = Duplicate(view.Viewer());
    ASSERT_NE(second, nullptr);

    // bob has no log on this computer
    PostMessageA(run.screen.hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, run.DatePoint(2));
    HWND box = WaitForInformationBox(run.screen.hwnd);
    ASSERT_NE(box, nullptr);
    char text[512] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_EQ(text, backup::FillPercentOne(String(backup::STR_STATUS_NO_LOG), "bob"));
    ASSERT_TRUE(uidriver::Click(box, IDOK));
    ASSERT_TRUE(uidriver::WaitGone(box, kDeadlineMs));

    // closing ends the viewer and removes the copy
    ASSERT_TRUE(uidriver::SendKey(run.screen.hwnd, "Alt+F4"));
    EXPECT_EQ(run.Result(), 100);
    EXPECT_EQ(WaitForSingleObject(second, kDeadlineMs), WAIT_OBJECT_0);
    CloseHandle(second);
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    SetEnvironmentVariableA("TOV_VIEWER_JOURNAL", nullptr);
}

TEST_F(StatusViewAgainstAppliance, HelpOpensTheStorageHelpFileFromTheInstallFolder) {
    Write("backup-status.tsv", "3\tM\t03142025\t0\tanne\n");
    // the install folder as the installer leaves it, with its closing backslash
    const std::string bin = uidriver_test::BinDir();
    app::SetInstallDirectory(bin);
    uidriver::OpenedFiles opened;
    TestView view(Heading(), 10, logBase);
    ScreenRun run(view);
    ASSERT_TRUE(run.WaitShown());
    ASSERT_TRUE(view.WaitDrawn());
    ASSERT_TRUE(uidriver::Click(run.screen.hwnd, IDC_HELP_BUTTON));
    EXPECT_EQ(opened.WaitNext(kDeadlineMs), bin + "help_storage.chm");
    opened.CloseViewers();
    ASSERT_TRUE(uidriver::SendKey(run.screen.hwnd, "Alt+F4"));
    EXPECT_EQ(run.Result(), 100);
}

TEST_F(StatusViewAgainstAppliance, LeavingWhileTheQueryWaitsRestoresTheCursorsAndEndsTheWorker) {
    // an answer and a time-out both far beyond the deadline: only giving up ends the worker
    Write("faults", "gub1 delay 60000\n");
    TestView view(Heading(), 120, logBase);
    {
        ScreenRun run(view);
        ASSERT_TRUE(run.WaitShown());
        ASSERT_TRUE(view.WaitBusy());
        EXPECT_FALSE(run.Enabled(IDC_BACK));
        EXPECT_FALSE(run.Enabled(IDC_CLOSE));
        // X waits for the answer; Enter is Back all the same
        ASSERT_TRUE(uidriver::Click(run.screen.hwnd, IDC_CLOSE));
        ASSERT_TRUE(uidriver::SendKey(run.screen.hwnd, "Enter"));
        // the screen goes at once; DoModal returns once the worker has given up the wait
        ASSERT_TRUE(uidriver::WaitGone(run.screen.hwnd, kDeadlineMs));
        EXPECT_EQ(run.Result(), 101);
    }
    // the cursors came back once, when the screen went
    EXPECT_EQ(view.busyCount, 1);
    EXPECT_EQ(view.restoreCount, 1);
}

} // namespace
