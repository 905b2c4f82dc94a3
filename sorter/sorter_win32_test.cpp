// tovsort.exe under Wine on a fresh drive letter of the test's own (TOV_TEST_SORT_DRIVE): what
// only the real file system shows (a taken name, a file another handle holds, one copy per
// user), as the sorter's log tells it.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/settings.h"

namespace {

constexpr DWORD kDeadlineMs = 60000;

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// How many of the log's entries, without their time stamps, read the text.
size_t LogCount(const std::string& text) {
    std::istringstream in(ReadWhole("C:\\ZELTOVSort.log"));
    size_t n = 0;
    for (std::string line; std::getline(in, line);) {
        const size_t mark = line.find(">  ");
        n += line.substr(mark == std::string::npos ? 0 : mark + 3) == text + "\r";
    }
    return n;
}

// The sorter tells what it did in its log; the test waits for the line, never for a time.
bool WaitForLog(const std::string& text) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kDeadlineMs; Sleep(50)) {
        if (LogCount(text) > 0)
            return true;
    }
    ADD_FAILURE() << "no log line \"" << text << "\"";
    return false;
}

// Runs tovsort.exe from this program's folder; Ended gives its exit code once it ended, or -1.
HANDLE StartSorter(const char* arguments) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string program = self;
    program = program.substr(0, program.rfind('\\') + 1) + "tovsort.exe";
    std::string line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}
long Ended(HANDLE process) {
    DWORD code = static_cast<DWORD>(-1);
    if (process && WaitForSingleObject(process, kDeadlineMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return static_cast<long>(code);
}

TEST(Sorter, KeepsBothOfTwoNamesWaitsForAFileHeldOpenAndRunsOncePerUser) {
    const char* drive = std::getenv("TOV_TEST_SORT_DRIVE");
    ASSERT_NE(drive, nullptr) << "run under sorter/with-drive";
    const std::string root = drive;
    SHDeleteKeyA(HKEY_CURRENT_USER, AppSettings::KEY);
    AppSettings::WriteString("shareDriveLetter", root);
    // the first-drag notice would be the real program's: the lab test has it
    AppSettings::WriteString("FirstDrag", "FALSE");
    CreateDirectoryA((root + "\\My Documents").c_str(), nullptr);
    std::ofstream(root + "\\My Documents\\letter.doc", std::ios::binary) << "the first letter";
    DeleteFileA("C:\\ZELTOVSort.log");
    HANDLE sorter = StartSorter("-debug");
    ASSERT_NE(sorter, nullptr);
    ASSERT_TRUE(WaitForLog("Watching <" + root + "\\>"));

    // a second copy ends at once and leaves the first one's log alone
    EXPECT_EQ(Ended(StartSorter("-debug")), 0);

    std::ofstream(root + "\\letter.doc", std::ios::binary) << "the second letter";
    EXPECT_TRUE(WaitForLog("Sorted <letter.doc> to <" + root + "\\My Documents\\letter (2).doc>"));
    EXPECT_EQ(ReadWhole(root + "\\My Documents\\letter.doc"), "the first letter");
    EXPECT_EQ(ReadWhole(root + "\\My Documents\\letter (2).doc"), "the second letter");

    HANDLE held = CreateFileA((root + "\\held.doc").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string first(70000, 'a'), second(50000, 'b');
    DWORD written = 0;
    WriteFile(held, first.data(), static_cast<DWORD>(first.size()), &written, nullptr);
    EXPECT_TRUE(WaitForLog("  In use, tried again later: <held.doc>"));
    EXPECT_NE(GetFileAttributesA((root + "\\held.doc").c_str()), INVALID_FILE_ATTRIBUTES);
    WriteFile(held, second.data(), static_cast<DWORD>(second.size()), &written, nullptr);
    CloseHandle(held);
    EXPECT_TRUE(WaitForLog("Sorted <held.doc> to <" + root + "\\My Documents\\held.doc>"));
    EXPECT_EQ(ReadWhole(root + "\\My Documents\\held.doc"), first + second);

    EXPECT_EQ(Ended(StartSorter("-quit")), 0);
    EXPECT_EQ(Ended(sorter), 0) << "the sorter did not end on -quit";
    char user[257] = "";
    DWORD size = sizeof user;
    GetUserNameA(user, &size);
    EXPECT_EQ(LogCount("Starting TOVSORT for <" + std::string(user) + ">"), 1u);
    SHDeleteKeyA(HKEY_CURRENT_USER, AppSettings::KEY);
}

} // namespace
