// tovengine.exe as the client meets it in the lab prefix: the client's calls start it through
// COM, it backs up to a share by UNC path with history levels, a cancel, the settings and clean
// commands, a failing or missing engine, the progress record's mutex and the progress screen;
// the notices of its tray icon, read from what the tray handed the shell.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>

#include "backup/backup_engine.h"
#include "backup/progress_channel.h"
#include "backup/progress_screen.h"
#include "backup/progress_screen_win32.h"
#include "app/settings.h"
#include "engine/history_store.h"
#include "engine/notice.h"
#include "engine/paths.h"
#include "engine/schedule_clock.h"
#include "engine/tray_win32.h"
#include "engine/win32_file_system_win32.h"
#include "lab/uidriver/uidriver_win32.h"
#include "res/resource.h"
#include "skin/resources_win32.h"

namespace {

using engine::Join;

constexpr DWORD kRunDeadlineMs = 120000;

engine::Win32FileSystem& fs() {
    static engine::Win32FileSystem f;
    return f;
}

std::string Folder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string p = path;
    return p.substr(0, p.find_last_of('\\'));
}

DWORD RunEngine(const char* args) {
    std::string line = "\"" + Join(Folder(), "tovengine.exe") + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 99;
    WaitForSingleObject(pi.hProcess, 90000);
    DWORD code = 98;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

bool EngineRunning() {
    char user[256] = "";
    DWORD n = sizeof user;
    GetUserNameA(user, &n);
    return FindWindowExA(HWND_MESSAGE, nullptr, "TovEngineWindow",
                         (std::string("tovengine ") + user).c_str()) != nullptr;
}

void Put(const std::string& path, const std::string& bytes) {
    engine::MakeFolders(fs(), path.substr(0, path.find_last_of('\\')));
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD done = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(h);
}

std::string Get(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string out;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got)
        out.append(buffer, got);
    CloseHandle(h);
    return out;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Today() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[16];
    std::snprintf(text, sizeof text, "%02u%02u%04u", t.wMonth, t.wDay, t.wYear);
    return text;
}

class EngineLab : public ::testing::Test {
protected:
    static engine::Win32FileSystem& Fs() { return fs(); }

    void SetUp() override {
        ASSERT_EQ(0u, RunEngine("/Quit"));
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        base = Join(temp, "tovengine-test");
        engine::RemoveTree(Fs(), base);
        data = Join(base, "data") + "\\";
        source = Join(base, "src");
        Fs().MakeFolder(base);
        Fs().MakeFolder(data);
        // the share: a folder where Wine looks for \\TOVENG\share
        char prefixPath[MAX_PATH] = "";
        ASSERT_GT(GetEnvironmentVariableA("WINEPREFIX", prefixPath, sizeof prefixPath), 0u);
        std::string unix = prefixPath;
        for (char& c : unix)
            c = c == '/' ? '\\' : c;
        shareFolder = "Z:" + unix + "\\dosdevices\\unc\\TOVENG\\share";
        engine::RemoveTree(Fs(), shareFolder);
        ASSERT_EQ(engine::FsStatus::Ok, engine::MakeFolders(Fs(), shareFolder));
        char computer[MAX_COMPUTERNAME_LENGTH + 1] = "";
        DWORD n = sizeof computer;
        GetComputerNameA(computer, &n);
        prefix = "\\\\TOVENG\\share\\My Backup\\" + std::string(computer) + "\\";
        SetEnvironmentVariableA("TOV_ENGINE_DATA", data.c_str());
        SetEnvironmentVariableA("TOV_ENGINE_PACE_MS", nullptr);
        Put(data + "KelBackConfig.txt",
            source + "\t" + prefix + engine::StripColons(source) + "\r\n");
    }

    void TearDown() override { EXPECT_EQ(0u, RunEngine("/Quit")); }

    std::string Backup(const std::string& file) const {
        return prefix + engine::StripColons(Join(source, file));
    }

    // Sends "backup" and waits for the run's end through the progress channel's event.
    backup::ProgressRecord BackUp() {
        backup::BackupEngine::SendCommand("backup");
        backup::ProgressChannel& channel = backup::ProcessProgressChannel();
        const DWORD start = GetTickCount();
        while (channel.Poll(nullptr, 1000) != backup::POLL_FINISHED) {
            if (GetTickCount() - start > kRunDeadlineMs) {
                ADD_FAILURE() << "the backup did not end";
                break;
            }
        }
        return channel.Last();
    }

    std::string base, data, source, shareFolder, prefix;
};

TEST_F(EngineLab, BacksUpByUncWithHistoryLevelsStateAndLog) {
    Put(Join(source, "a.txt"), "first");
    Put(Join(source, "Sub\\b.txt"), "bee");
    const backup::ProgressRecord first = BackUp();
    EXPECT_TRUE(EngineRunning());
    EXPECT_EQ(2, first.filesCompleted);
    EXPECT_EQ(0, first.state);
    EXPECT_EQ("first", Get(Backup("a.txt")));
    EXPECT_EQ("bee", Get(Backup("Sub\\b.txt")));
    EXPECT_EQ(Today() + "\t0\r\n", Get(prefix + "backup-state.txt"));
    const std::string log = Get(data + "log\\kelback_share.log");
    EXPECT_NE(std::string::npos, log.find("Result: complete")) << log;

    // a change: level 1 holds the new content, History\Level2 the old
    Put(Join(source, "a.txt"), "second!");
    const backup::ProgressRecord second = BackUp();
    EXPECT_EQ(1, second.filesCompleted);
    EXPECT_EQ("second!", Get(Backup("a.txt")));
    EXPECT_EQ("first",
              Get(prefix + "History\\Level2\\" + engine::StripColons(Join(source, "a.txt"))));
}

TEST_F(EngineLab, CancelInsideALargeFileLeavesNoPartialFileAndStateTwo) {
    Put(Join(source, "a.txt"), "small");
    const std::string big = Join(source, "big.bin");
    HANDLE h = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER size;
    size.QuadPart = 200ll * 1024 * 1024;
    SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    SetEnvironmentVariableA("TOV_ENGINE_PACE_MS", "20");

    backup::BackupEngine::SendCommand("backup");
    backup::ProgressChannel& channel = backup::ProcessProgressChannel();
    const DWORD start = GetTickCount();
    // news from the middle of the large file
    for (;;) {
        ASSERT_NE(backup::POLL_FINISHED, channel.Poll(nullptr, 1000));
        const backup::ProgressRecord r = channel.Last();
        if (r.file == "big.bin" && r.bytesCopied > 1024 * 1024)
            break;
        ASSERT_LT(GetTickCount() - start, kRunDeadlineMs);
    }
    backup::BackupEngine::SendCommand("cancel");
    while (channel.Poll(nullptr, 1000) != backup::POLL_FINISHED)
        ASSERT_LT(GetTickCount() - start, kRunDeadlineMs);
    EXPECT_EQ(2, channel.Last().state);
    EXPECT_EQ("small", Get(Backup("a.txt")));
    EXPECT_FALSE(Exists(Backup("big.bin")));
    EXPECT_FALSE(Exists(Backup("big.bin") + engine::kTempSuffix));
    EXPECT_EQ(Today() + "\t2\r\n", Get(prefix + "backup-state.txt"));
}

TEST_F(EngineLab, SettingsAndCleanCommandsActBeforeTheCallReturns) {
    Put(Join(source, "keep.txt"), "k1");
    Put(Join(source, "gone.txt"), "g1");
    BackUp();
    // other sizes: times written within a second or two count as equal
    Put(Join(source, "keep.txt"), "k22");
    Put(Join(source, "gone.txt"), "g22");
    BackUp();
    const std::string level2 = prefix + "History\\Level2\\" + engine::StripColons(source);
    ASSERT_EQ("k1", Get(Join(level2, "keep.txt")));

    // one version kept: level 2 goes
    Put(data + "histKel.txt", "\\\\TOVENG\\share\t1\r\n");
    backup::BackupEngine::SendCommand("settings force_change");
    EXPECT_FALSE(Exists(prefix + "History\\Level2"));
    Put(data + "histKel.txt", "\\\\TOVENG\\share\t5\r\n");
    Put(Join(source, "keep.txt"), "k333");
    BackUp();
    ASSERT_EQ("k22", Get(Join(level2, "keep.txt")));

    // a deleted source loses its backup and its history
    ASSERT_TRUE(DeleteFileA(Join(source, "gone.txt").c_str()));
    Put(Join(level2, "gone.txt"), "g-old");
    backup::BackupEngine::SendCommand((std::string("clean ") + prefix).c_str());
    EXPECT_FALSE(Exists(Backup("gone.txt")));
    EXPECT_FALSE(Exists(Join(level2, "gone.txt")));
    EXPECT_EQ("k333", Get(Backup("keep.txt")));

    backup::BackupEngine::SendCommand("settings clean_all");
    EXPECT_FALSE(Exists(prefix + "History"));
    EXPECT_EQ("k333", Get(Backup("keep.txt")));
    backup::BackupEngine::SendCommand("reschedule");
    EXPECT_NE(std::string::npos, Get(data + "log\\tovengine.log").find("Schedule read"));
}

TEST_F(EngineLab, AFailingOrMissingEngineChangesNothingForTheClient) {
    Put(Join(source, "a.txt"), "a");
    // the engine refuses an unknown command; the call returns as if it had been sent
    backup::BackupEngine::SendCommand("format c:");
    EXPECT_TRUE(EngineRunning());
    EXPECT_FALSE(Exists(prefix));
    EXPECT_NE(std::string::npos, Get(data + "log\\tovengine.log").find("unknown command"));

    ASSERT_EQ(0u, RunEngine("/Quit"));
    ASSERT_EQ(0u, RunEngine("/UnregServer"));
    backup::BackupEngine::SendCommand("backup");
    EXPECT_FALSE(EngineRunning());
    EXPECT_FALSE(Exists(prefix));
    ASSERT_EQ(0u, RunEngine("/RegServer"));
    EXPECT_EQ(1, BackUp().filesCompleted);
}

TEST_F(EngineLab, ReadKeepsThePreviousCopyWhileTheMutexIsHeldOverASecond) {
    Put(Join(source, "a.txt"), "a");
    BackUp();
    backup::ProgressChannel& channel = backup::ProcessProgressChannel();
    ASSERT_TRUE(channel.Read());
    const uint32_t run = channel.Last().run;
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    auto holder = std::async(std::launch::async, [&] {
        HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, backup::kProgressMutexName);
        WaitForSingleObject(mutex, INFINITE);
        SetEvent(held);
        WaitForSingleObject(release, INFINITE);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held, 10000));
    // the engine's next run cannot write its record meanwhile; the copy stays the last one read
    EXPECT_FALSE(channel.Read());
    EXPECT_EQ(run, channel.Last().run);
    EXPECT_EQ(1u, channel.Last().finished);
    SetEvent(release);
    holder.get();
    CloseHandle(held);
    CloseHandle(release);
}

TEST_F(EngineLab, ProgressScreenShowsARealRunAndItsCompletion) {
    for (int i = 0; i < 4; ++i)
        Put(Join(source, "f" + std::to_string(i) + ".bin"), std::string(700 * 1024, 'x'));
    SetEnvironmentVariableA("TOV_ENGINE_PACE_MS", "150");
    backup::BackupEngine::SendCommand("backup");
    HANDLE running = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE complete = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    auto shown = std::async(std::launch::async, [&] {
        backup::BackupProgressScreen screen(
            "NAS1", "\\\\TOVENG\\share", "S:", nullptr, nullptr,
            [&](bool done) { SetEvent(done ? complete : running); });
        return screen.DoModal();
    });
    uidriver::Screen screen;
    ASSERT_TRUE(uidriver::WaitForScreen(GetCurrentProcessId(), 20000, &screen));
    EXPECT_EQ(IDD_BACKUP_PROGRESS, screen.dialogId);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(running, kRunDeadlineMs));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(complete, kRunDeadlineMs));
    const backup::ProgressRecord last = backup::ProcessProgressChannel().Last();
    EXPECT_EQ(4, last.filesCompleted);
    EXPECT_EQ(backup::CounterText(skin::LoadString(174), last.filesCompleted, last.bytesCopied),
              uidriver::ControlText(screen.hwnd, IDC_PROGRESS_COUNTER));
    EXPECT_EQ(skin::LoadString(200), uidriver::ControlText(screen.hwnd, IDC_PROGRESS_STATUS));
    EXPECT_EQ(skin::LoadString(201) + " (S:) \\\\TOVENG\\share" + skin::LoadString(62),
              uidriver::ControlText(screen.hwnd, IDC_PROGRESS_FILE));
    EXPECT_EQ(skin::LoadString(202), uidriver::ControlText(screen.hwnd, IDC_PROGRESS_FOLDER));
    EXPECT_EQ(skin::LoadString(37), uidriver::ControlText(screen.hwnd, IDC_NEXT_LABEL));
    // Esc is swallowed; OK after the end sends nothing and gives 103
    ASSERT_TRUE(uidriver::SendKey(screen.hwnd, "Esc"));
    ASSERT_TRUE(uidriver::Click(screen.hwnd, IDC_NEXT));
    ASSERT_EQ(std::future_status::ready, shown.wait_for(std::chrono::seconds(20)));
    EXPECT_EQ(103, shown.get());
    EXPECT_EQ(std::string::npos, Get(data + "log\\tovengine.log").find("Cancel requested"));
    CloseHandle(running);
    CloseHandle(complete);
}

// The tray's notices through the engine's test hook: each line it writes to the journal
// (the icon, each balloon as handed to the shell, each quiet decision, each program started)
// releases a semaphore once. The install directory holds a stand-in tovManager.exe.
class EngineNotices : public EngineLab {
protected:
    void SetUp() override {
        EngineLab::SetUp();
        journal = Join(base, "notices.txt");
        SetEnvironmentVariableA("TOV_ENGINE_NOTICES", journal.c_str());
        lines = CreateSemaphoreA(nullptr, 0, 1000, "TOV_ENGINE_NOTICE_JOURNAL");
        started = CreateSemaphoreA(nullptr, 0, 100, "TOV_TEST_MANAGER_STARTED");
        hadInstall =
            AppSettings::ReadString(AppSettings::Root::LocalMachine, "installDirectory", &install);
        standIn = Join(Folder(), "stand-in");
        DeleteFileA(Join(standIn, "launches.txt").c_str());
        SetInstallDirectory(&standIn);
    }

    void TearDown() override {
        EngineLab::TearDown();
        SetEnvironmentVariableA("TOV_ENGINE_NOTICES", nullptr);
        SetInstallDirectory(hadInstall ? &install : nullptr);
        CloseHandle(lines);
        CloseHandle(started);
    }

    static void SetInstallDirectory(const std::string* folder) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, AppSettings::KEY, 0, nullptr,
                                                 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        if (folder)
            RegSetValueExA(key, "installDirectory", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(folder->c_str()),
                           static_cast<DWORD>(folder->size() + 1));
        else
            RegDeleteValueA(key, "installDirectory");
        RegCloseKey(key);
    }

    // Waits for n more lines; returns every line of the journal.
    std::vector<std::string> Journal(int n) {
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(lines, kRunDeadlineMs)) << "line " << i;
        std::vector<std::string> out;
        const std::string text = Get(journal);
        size_t at = 0;
        for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            out.push_back(text.substr(at, end - at));
        return out;
    }

    static std::vector<std::string> Kind(const std::vector<std::string>& all, const char* kind) {
        std::vector<std::string> out;
        for (const std::string& line : all)
            if (line.compare(0, std::strlen(kind) + 1, std::string(kind) + "\t") == 0)
                out.push_back(line);
        return out;
    }

    static HWND TrayWindow() {
        char user[256] = "";
        DWORD n = sizeof user;
        GetUserNameA(user, &n);
        return FindWindowA(engine::kTrayWindowClass,
                           (std::string("tovengine tray ") + user).c_str());
    }

    // The stand-in's command lines, once it has started count more times.
    std::string Launches(int count) {
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, kRunDeadlineMs));
        return Get(Join(standIn, "launches.txt"));
    }

    std::string journal, standIn, install;
    bool hadInstall = false;
    HANDLE lines = nullptr;
    HANDLE started = nullptr;
};

TEST_F(EngineNotices, AnUnreadableFileRaisesOneBalloonNamingItAndItsClickOpensTheStatus) {
    Put(Join(source, "a.txt"), "a");
    const std::string locked = Join(source, "locked.txt");
    Put(locked, "l");
    // open with no sharing: the engine cannot read it meanwhile
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    const backup::ProgressRecord run = BackUp();
    CloseHandle(hold);
    EXPECT_EQ(1, run.skipped);
    const std::vector<std::string> all = Journal(2);
    ASSERT_EQ(1u, Kind(all, "icon").size());
    EXPECT_EQ("icon\tresult=1\tuFlags=0x7\ttip=TOV backup", Kind(all, "icon")[0]);
    const std::vector<std::string> balloons = Kind(all, "balloon");
    ASSERT_EQ(1u, balloons.size());
    const std::string text = "The backup to TOVENG is incomplete: 1 file was skipped (" + locked +
                             "). Click here to see the backup status.";
    EXPECT_EQ("balloon\tresult=1\tuFlags=0x10\tdwInfoFlags=0x2\tuTimeout=30000\ttitle=Backup "
              "incomplete\ttext=" +
                  text,
              balloons[0]);
    EXPECT_NE(std::string::npos,
              Get(data + "log\\tovengine.log").find("Notice: Backup incomplete: " + text));

    // a click on the balloon starts the install directory's tovManager.exe with -dashBoard
    HWND tray = TrayWindow();
    ASSERT_NE(nullptr, tray);
    ASSERT_TRUE(PostMessageA(tray, engine::WM_TOV_TRAY, 1, NIN_BALLOONUSERCLICK));
    EXPECT_EQ("\"" + Join(standIn, "tovManager.exe") + "\" -dashBoard\r\n", Launches(1));
    EXPECT_EQ(1u, Kind(Journal(1), "launch").size());
}

TEST_F(EngineNotices, ACleanRunFromTheTrayMenuRaisesNone) {
    Put(Join(source, "a.txt"), "a");
    backup::BackupEngine::SendCommand("reschedule");
    HWND tray = TrayWindow();
    ASSERT_NE(nullptr, tray);
    // "Back up now", as the menu's choice arrives
    ASSERT_TRUE(PostMessageA(tray, WM_COMMAND, engine::kTrayBackUpNow, 0));
    const std::vector<std::string> all = Journal(2);
    EXPECT_TRUE(Kind(all, "balloon").empty());
    EXPECT_EQ(std::vector<std::string>{"quiet\tthe run ended complete"}, Kind(all, "quiet"));
    EXPECT_EQ("a", Get(Backup("a.txt")));
    EXPECT_NE(std::string::npos,
              Get(data + "log\\tovengine.log").find("Backup requested from the tray"));
    // "Open backup status" starts the status view too
    ASSERT_TRUE(PostMessageA(tray, WM_COMMAND, engine::kTrayOpenStatus, 0));
    EXPECT_NE(std::string::npos, Launches(1).find("\" -dashBoard"));
}

TEST_F(EngineNotices, AMissedScheduleRaisesOneAndIsOffered) {
    // the default schedule runs every day at 22:00; the latest run was three days ago
    SYSTEMTIME t;
    GetLocalTime(&t);
    const int64_t now = engine::MinuteOf({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute});
    engine::EngineMemory memory;
    memory.lastRun = now - 3 * 24 * 60;
    memory.lastOffered = memory.lastRun;
    char user[256] = "";
    DWORD n = sizeof user;
    GetUserNameA(user, &n);
    Put(data + "log\\tovengine_" + user + ".txt", engine::FormatMemory(memory));
    // the engine looks at start, before it serves this first call
    backup::BackupEngine::SendCommand("reschedule");
    EXPECT_NE(std::string::npos, Launches(1).find("\" -missBackup"));
    const std::vector<std::string> all = Journal(3);
    const std::vector<std::string> balloons = Kind(all, "balloon");
    ASSERT_EQ(1u, balloons.size());
    EXPECT_NE(std::string::npos, balloons[0].find("result=1"));
    EXPECT_NE(std::string::npos, balloons[0].find("title=Scheduled backup missed\ttext=The "
                                                  "scheduled backup to TOVENG of "));
    EXPECT_NE(std::string::npos, balloons[0].find("did not run: this computer was off"));
    EXPECT_EQ(1u, Kind(all, "launch").size());
}

} // namespace
