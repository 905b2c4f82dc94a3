// Tests of the frame under Windows: the settings through the registry, and tovManager.exe itself.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/settings.h"
#include "lab/uidriver/uidriver_win32.h"
#include "res/resource.h"

namespace {

const char* const kKey = AppSettings::KEY;
const char* const kLog = "C:\\ZELTOVManager.log";
constexpr DWORD kDeadlineMs = 30000;

void DeleteProductKeys() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
}

void Store(HKEY root, const char* name, DWORD type, const void* data, size_t size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data),
                             static_cast<DWORD>(size)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void StoreString(HKEY root, const char* name, const std::string& text) {
    Store(root, name, REG_SZ, text.c_str(), text.size() + 1);
}

void StoreDword(const char* name, DWORD value) {
    Store(HKEY_CURRENT_USER, name, REG_DWORD, &value, sizeof value);
}

// What is stored now: false when the value (or the key) is missing.
bool Stored(HKEY root, const char* name, DWORD* type, std::vector<unsigned char>* data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        data->assign(size ? size : 1, 0);
        status = RegQueryValueExA(key, name, nullptr, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void ExpectStoredDword(const char* name, DWORD expected) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(Stored(HKEY_CURRENT_USER, name, &type, &data)) << name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
    ASSERT_EQ(data.size(), 4u) << name;
    DWORD value = 0;
    std::memcpy(&value, data.data(), 4);
    EXPECT_EQ(value, expected) << name;
}

bool UserValueExists(const char* name) {
    DWORD type = 0;
    std::vector<unsigned char> data;
    return Stored(HKEY_CURRENT_USER, name, &type, &data);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override { DeleteProductKeys(); }
    void TearDown() override { DeleteProductKeys(); }
};

TEST_F(Settings, MissingKeyGivesDefaultsAndFlagsAreWrittenAsOne) {
    std::string text = "untouched";
    EXPECT_FALSE(AppSettings::ReadString(AppSettings::Root::CurrentUser, "CurrentIP", &text));
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentHostName"), "");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::LocalMachine, "Language"), "");
    EXPECT_EQ(AppSettings::ReadBackupFolder(), "");
    const AppSettings::RawValue raw =
        AppSettings::ReadRaw(AppSettings::Root::LocalMachine, "installDirectory");
    EXPECT_FALSE(raw.sized);
    EXPECT_FALSE(raw.read);
    // reading strings never creates anything
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);

    // the key cannot be opened: each flag is on and now stored as 1
    for (const char* flag : {"EnableSort", "SortMyFolder", "tagOn"}) {
        SCOPED_TRACE(flag);
        EXPECT_TRUE(AppSettings::ReadFlag(flag));
        ExpectStoredDword(flag, 1);
    }
    // the key exists now; a missing value alone also counts as missing
    SHDeleteValueA(HKEY_CURRENT_USER, kKey, "SortMyFolder");
    EXPECT_TRUE(AppSettings::ReadFlag("SortMyFolder"));
    ExpectStoredDword("SortMyFolder", 1);
    // nothing else was written
    EXPECT_FALSE(UserValueExists("CurrentIP"));
    EXPECT_FALSE(UserValueExists("FirstDrag"));
}

TEST_F(Settings, ExistingFlagsAreDecidedByTheirBytesAndNeverRewritten) {
    StoreDword("EnableSort", 256); // first byte 0
    StoreDword("SortMyFolder", 0);
    StoreDword("tagOn", 256); // the whole value counts
    EXPECT_FALSE(AppSettings::ReadFlag("EnableSort"));
    EXPECT_FALSE(AppSettings::ReadFlag("SortMyFolder"));
    EXPECT_TRUE(AppSettings::ReadFlag("tagOn"));
    ExpectStoredDword("EnableSort", 256);
    ExpectStoredDword("SortMyFolder", 0);
    ExpectStoredDword("tagOn", 256);

    StoreDword("EnableSort", 0x101);
    StoreDword("tagOn", 0);
    EXPECT_TRUE(AppSettings::ReadFlag("EnableSort"));
    EXPECT_FALSE(AppSettings::ReadFlag("tagOn"));
    ExpectStoredDword("tagOn", 0);

    // stored in another type: still the bytes decide, and the value stays as it is
    const unsigned char five[] = {0, 0, 0, 0, 1};
    Store(HKEY_CURRENT_USER, "tagOn", REG_BINARY, five, sizeof five);
    EXPECT_FALSE(AppSettings::ReadFlag("tagOn"));
    StoreString(HKEY_CURRENT_USER, "SortMyFolder", "0");
    EXPECT_TRUE(AppSettings::ReadFlag("SortMyFolder"));
    DWORD type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(Stored(HKEY_CURRENT_USER, "tagOn", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data.size(), 5u);
}

TEST_F(Settings, StringsAreStoredWithTheirZeroAndReadUpToIt) {
    AppSettings::WriteString("CurrentIP", " \t198.51.100.20 \r\n");
    DWORD type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(Stored(HKEY_CURRENT_USER, "CurrentIP", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(data.begin(), data.end()), std::string(" \t198.51.100.20 \r\n\0", 19));

    std::string text;
    ASSERT_TRUE(AppSettings::ReadString(AppSettings::Root::CurrentUser, "CurrentIP", &text));
    EXPECT_EQ(text, " \t198.51.100.20 \r\n");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentIP"),
              "198.51.100.20");

    // the bytes up to the first zero, or all of them when there is none
    Store(HKEY_CURRENT_USER, "CurrentHostName", REG_BINARY, "NAS1\0old", 8);
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentHostName"), "NAS1");
    Store(HKEY_CURRENT_USER, "CurrentHostName", REG_BINARY, "NAS2", 4);
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentHostName"), "NAS2");
    // an empty string exists, it is not missing
    AppSettings::WriteString("ShortCut", "");
    text = "x";
    EXPECT_TRUE(AppSettings::ReadString(AppSettings::Root::CurrentUser, "ShortCut", &text));
    EXPECT_EQ(text, "");

    // the machine values are read from the machine root, not the user's
    StoreString(HKEY_LOCAL_MACHINE, "Language", "German  ");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::LocalMachine, "Language"), "German");
    EXPECT_EQ(AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "Language"), "");
    const AppSettings::RawValue raw =
        AppSettings::ReadRaw(AppSettings::Root::LocalMachine, "Language");
    EXPECT_TRUE(raw.sized && raw.read);
    EXPECT_EQ(raw.size, 9u);
    EXPECT_EQ(raw.type, static_cast<uint32_t>(REG_SZ));
}

TEST_F(Settings, BackupFilesReadBackupFolderThroughA260ByteBuffer) {
    const std::string fits = "\\" + std::string(258, 'f');
    AppSettings::WriteString("backupFolder", fits);
    EXPECT_EQ(AppSettings::ReadBackupFolder(), fits);

    const std::string tooLong = "\\" + std::string(259, 'f');
    AppSettings::WriteString("backupFolder", tooLong);
    EXPECT_EQ(AppSettings::ReadBackupFolder(), "");
    // the general reader is not limited
    std::string text;
    ASSERT_TRUE(AppSettings::ReadString(AppSettings::Root::CurrentUser, "backupFolder", &text));
    EXPECT_EQ(text, tooLong);

    // 260 characters stored without their zero fill the buffer exactly: still too long
    Store(HKEY_CURRENT_USER, "backupFolder", REG_SZ, tooLong.data(), tooLong.size());
    EXPECT_EQ(AppSettings::ReadBackupFolder(), "");

    AppSettings::WriteString("backupFolder", " \\My Backup ");
    EXPECT_EQ(AppSettings::ReadBackupFolder(), " \\My Backup ");
}

TEST_F(Settings, GroupedWritesStoreEveryValue) {
    AppSettings::WriteShareSetup("\\\\NAS1\\anna", "\\My Backup", "X:");
    AppSettings::WriteSortFlags(false, true);
    AppSettings::WriteCurrentAppliance("198.51.100.20", "NAS1");
    AppSettings::WriteDwords({{"businessSort", 1}});
    AppSettings::WriteStrings({{"PublicSortFolder", "\\\\NAS1\\PUBLIC"}, {"FirstDrag", "FALSE"}});
    const struct {
        const char* name;
        const char* text;
    } strings[] = {{"sortFolder", "\\\\NAS1\\anna"},
                   {"backupFolder", "\\My Backup"},
                   {"shareDriveLetter", "X:"},
                   {"CurrentIP", "198.51.100.20"},
                   {"CurrentHostName", "NAS1"},
                   {"PublicSortFolder", "\\\\NAS1\\PUBLIC"},
                   {"FirstDrag", "FALSE"}};
    for (const auto& s : strings) {
        std::string text;
        EXPECT_TRUE(AppSettings::ReadString(AppSettings::Root::CurrentUser, s.name, &text));
        EXPECT_EQ(text, s.text) << s.name;
    }
    ExpectStoredDword("EnableSort", 0);
    ExpectStoredDword("SortMyFolder", 1);
    ExpectStoredDword("businessSort", 1);
    EXPECT_FALSE(AppSettings::ReadFlag("EnableSort"));
    EXPECT_TRUE(AppSettings::ReadFlag("SortMyFolder"));
}

struct BoxSearch {
    DWORD pid;
    HWND found;
};

// A visible dialog-class window of the searched process: the message box.
BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (pid == search->pid && IsWindowVisible(window) && std::strcmp(cls, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

TEST_F(Settings, FlagReadersLogSizeAndFirstByte) {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "tov_flag_read.log";
    InitLog(0xFFFF, path.c_str());
    StoreDword("EnableSort", 256);
    StoreDword("SortMyFolder", 0x2A);
    StoreDword("tagOn", 5);
    EXPECT_FALSE(AppSettings::ReadFlag("EnableSort"));
    EXPECT_TRUE(AppSettings::ReadFlag("SortMyFolder"));
    EXPECT_TRUE(AppSettings::ReadFlag("tagOn"));
    SHDeleteValueA(HKEY_CURRENT_USER, kKey, "EnableSort");
    EXPECT_TRUE(AppSettings::ReadFlag("EnableSort"));
    InitLog(0, "");

    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> texts;
    std::string line;
    while (std::getline(in, line)) {
        ASSERT_GE(line.size(), 23u) << line;
        EXPECT_EQ(line.back(), '\r');
        texts.push_back(line.substr(22, line.size() - 23));
    }
    in.close();
    DeleteFileA(path.c_str());
    // "tagOn" logs nothing; a missing value has no size to log
    const std::vector<std::string> expected = {
        "  Read Ena/Dis Sort Size 4 bytes", "  Read Ena/Dis Sort Value -->0<--",
        "  Read Ena/Dis Sort Folder Size 4 bytes", "  Read Ena/Dis Sort Folder Value -->42<--"};
    EXPECT_EQ(texts, expected);
}

// tovManager.exe beside this test program, started with a command line as Windows passes it.
// These runs are outside the network lab: with no remembered appliance and TOV_TEST_NO_NETWORK
// (inherited by the program) the flow neither probes nor scans, and the Locate screen answers as
// closed, so a normal start ends by itself.
class Program : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("TOV_TEST_NO_NETWORK", "1");
        DeleteProductKeys();
        DeleteFileA(kLog);
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        PathRemoveFileSpecA(path);
        dir_ = path;
        ASSERT_NE(GetFileAttributesA((dir_ + "\\tovManager.exe").c_str()), INVALID_FILE_ATTRIBUTES)
            << dir_;
    }
    void TearDown() override {
        for (HANDLE h : held_)
            CloseHandle(h);
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process_.hProcess, 99);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        DeleteProductKeys();
        DeleteFileA(kLog);
    }

    // Takes a single-instance name as another copy would.
    void Hold(const char* name) {
        HANDLE h = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, name);
        ASSERT_NE(h, nullptr);
        ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
        held_.push_back(h);
    }

    void Start(const std::string& arguments, const std::string& exe = "") {
        const std::string program = exe.empty() ? dir_ + "\\tovManager.exe" : exe;
        std::string commandLine = "\"" + program + "\" " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &si, &process_))
            << GetLastError();
    }

    // The program ended by itself within the deadline.
    void ExpectEnds() {
        ASSERT_EQ(WaitForSingleObject(process_.hProcess, kDeadlineMs), WAIT_OBJECT_0)
            << "tovManager.exe did not end";
        DWORD code = 1;
        GetExitCodeProcess(process_.hProcess, &code);
        EXPECT_EQ(code, 0u);
    }

    struct Box {
        HWND window = nullptr;
        std::wstring caption;
        std::wstring text;
    };

    // Waits for the message box of the started program and reads it.
    Box WaitForBox() {
        Box box;
        const DWORD start = GetTickCount();
        while (!box.window && GetTickCount() - start < kDeadlineMs) {
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0)
                break; // ended without a box
            BoxSearch search{process_.dwProcessId, nullptr};
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
            box.window = search.found;
        }
        if (!box.window)
            return box;
        wchar_t buffer[512] = L"";
        GetWindowTextW(box.window, buffer, 512);
        box.caption = buffer;
        // the text of a message box is its static control 0xFFFF
        buffer[0] = 0;
        GetDlgItemTextW(box.window, 0xFFFF, buffer, 512);
        box.text = buffer;
        return box;
    }

    void Dismiss(const Box& box) {
        HWND ok = GetDlgItem(box.window, IDOK);
        ASSERT_NE(ok, nullptr);
        PostMessageA(ok, BM_CLICK, 0, 0);
    }

    // Waits for the program's message dialog and reads its heading and text.
    Box WaitForMessageDialog() {
        Box box;
        uidriver::Screen screen;
        if (!uidriver::WaitForScreen(process_.dwProcessId, kDeadlineMs, &screen) ||
            screen.dialogId != IDD_MESSAGE)
            return box;
        box.window = screen.hwnd;
        wchar_t buffer[512] = L"";
        GetDlgItemTextW(box.window, IDC_HEADING, buffer, 512);
        box.caption = buffer;
        buffer[0] = 0;
        GetDlgItemTextW(box.window, IDC_MESSAGE_TEXT, buffer, 512);
        box.text = buffer;
        return box;
    }

    // Presses the dialog's right button (OK, Yes) or its left one (No).
    static void Press(const Box& box, int button = IDC_RIGHT_BUTTON) {
        ASSERT_TRUE(uidriver::Click(box.window, button));
    }

    static std::string ReadLog() {
        std::ifstream in(kLog, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static std::vector<std::string> LogLines() {
        const std::string text = ReadLog();
        std::vector<std::string> lines;
        size_t at = 0;
        while (at < text.size()) {
            const size_t end = text.find("\r\n", at);
            if (end == std::string::npos) {
                lines.push_back(text.substr(at) + "<no CR LF>");
                break;
            }
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }

    // The entries' texts, without their time stamps.
    static std::vector<std::string> LogTexts() {
        std::vector<std::string> texts;
        for (const std::string& line : LogLines())
            texts.push_back(line.size() >= 22 && line.compare(19, 3, ">  ") == 0 ? line.substr(22)
                                                                                 : line);
        return texts;
    }

    static bool Logged(const std::string& text) {
        for (const std::string& t : LogTexts()) {
            if (t == text)
                return true;
        }
        return false;
    }

    std::string dir_;
    std::vector<HANDLE> held_;
    PROCESS_INFORMATION process_{};
};

TEST_F(Program, DebugEmptiesTheLogAndStartsItWithTheSeparator) {
    {
        std::ofstream old(kLog, std::ios::binary);
        old << "an old run\r\n";
    }
    Start("-debug");
    ExpectEnds();
    const std::vector<std::string> lines = LogLines();
    ASSERT_GE(lines.size(), 7u) << ReadLog();
    // "Mon Dec  7 04:12:05>  ": the 19-character time of day alone on the first line
    EXPECT_EQ(lines[0].size(), 22u);
    EXPECT_EQ(lines[0].substr(19), ">  ");
    EXPECT_EQ(lines[0][3], ' ');
    EXPECT_EQ(lines[0][7], ' ');
    EXPECT_EQ(lines[0][13], ':');
    EXPECT_EQ(lines[0][16], ':');
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], std::string(63, '-'));
    EXPECT_EQ(lines[3].substr(19), ">  Starting TOV Appliction");
    const std::vector<std::string> texts = LogTexts();
    const std::vector<std::string> expected = {"Starting TOV Appliction", "LANGUAGE set to ENGLISH",
                                               "LANGUAGE set to ENGLISH", "Start mode <NORMAL>"};
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 3, texts.end()), expected) << ReadLog();
    EXPECT_EQ(ReadLog().find("an old run"), std::string::npos);
}

TEST_F(Program, WithoutDebugTheLogIsNeitherCreatedNorChanged) {
    Start("-manage -backupNow");
    ExpectEnds();
    EXPECT_EQ(GetFileAttributesA(kLog), INVALID_FILE_ATTRIBUTES);

    const std::string old = "an old run\r\nsecond line\r\n";
    {
        std::ofstream out(kLog, std::ios::binary);
        out << old;
    }
    // "-Debug" is not "-debug"
    Start("-Debug");
    ExpectEnds();
    EXPECT_EQ(ReadLog(), old);
}

TEST_F(Program, SecondCopyInTheSameModeOnlySaysItIsOpen) {
    Hold("zeltovManagerapp");
    Start("-debug -manage");
    const Box box = WaitForMessageDialog();
    ASSERT_NE(box.window, nullptr) << "no message dialog";
    EXPECT_EQ(box.caption, L"Application Error");
    EXPECT_EQ(box.text, L"Kelvox Lumora is already open.");
    Press(box);
    ExpectEnds();
    EXPECT_TRUE(Logged("Start mode <NORMAL>")) << ReadLog();
    EXPECT_TRUE(Logged("  Another copy holds <zeltovManagerapp>: not starting")) << ReadLog();
}

TEST_F(Program, FirstDragWithMissedBackupUsesTheFirstDragName) {
    Hold("zeltovManagerapp firstDrag");
    Start("-missBackup -debug -firstDrag");
    const Box box = WaitForMessageDialog();
    ASSERT_NE(box.window, nullptr) << "no message dialog";
    EXPECT_EQ(box.text, L"Kelvox Lumora is already open.");
    Press(box);
    ExpectEnds();
    EXPECT_TRUE(Logged("Start mode <FIRST DRAG>")) << ReadLog();
}

TEST_F(Program, CopiesInDifferentModesBothRun) {
    Hold("zeltovManagerapp");
    Start("-debug -firstDrag");
    ExpectEnds();
    EXPECT_TRUE(Logged("Start mode <FIRST DRAG>")) << ReadLog();
    EXPECT_EQ(ReadLog().find("Another copy"), std::string::npos) << ReadLog();

    Start("-debug -missBackup");
    // the missed-backup question: No ends the program
    const Box question = WaitForMessageDialog();
    ASSERT_NE(question.window, nullptr) << "no question";
    EXPECT_EQ(question.caption, L"Scheduled Backup");
    Press(question, IDC_LEFT_BUTTON);
    ExpectEnds();
    EXPECT_TRUE(Logged("Start mode <MISSED BACKUP>")) << ReadLog();
    EXPECT_EQ(ReadLog().find("Another copy"), std::string::npos) << ReadLog();

    for (HANDLE h : held_)
        CloseHandle(h);
    held_.clear();
    Hold("zeltovManagerapp firstDrag");
    Hold("zeltovManagerapp missBackup");
    Start("-debug");
    ExpectEnds();
    EXPECT_TRUE(Logged("Start mode <NORMAL>")) << ReadLog();
    EXPECT_EQ(ReadLog().find("Another copy"), std::string::npos) << ReadLog();
}

TEST_F(Program, TheNameIsFreeAgainOnceACopyHasEnded) {
    Start("-debug");
    ExpectEnds();
    Start("-debug");
    ExpectEnds();
    EXPECT_EQ(ReadLog().find("Another copy"), std::string::npos) << ReadLog();
}

TEST_F(Program, GermanWithTrailingBlanksLoadsTheGermanLibrary) {
    StoreString(HKEY_LOCAL_MACHINE, "Language", "German  ");
    StoreString(HKEY_LOCAL_MACHINE, "installDirectory", "D:\\Apps\\Lumora\\");
    Start("-debug");
    ExpectEnds();
    const std::vector<std::string> texts = LogTexts();
    const std::vector<std::string> expected = {"Starting TOV Appliction",
                                               "Read Language Size 9 bytes",
                                               "Read Language Value -->German  <--",
                                               "LANGUAGE set to ENGLISH",
                                               "LANGUAGE set to GERMAN",
                                               "  Read Install Dir Size 16 bytes",
                                               "  Read Install Dir Value -->68<--",
                                               "Start mode <NORMAL>"};
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 3, texts.end()), expected) << ReadLog();

    // the texts of the second copy come from tovger.dll
    Hold("zeltovManagerapp");
    Start("");
    const Box box = WaitForMessageDialog();
    ASSERT_NE(box.window, nullptr) << "no message dialog";
    EXPECT_EQ(box.caption, L"Anwendungsfehler");
    EXPECT_EQ(box.text, L"Kelvox Lumora ist bereits ge\u00f6ffnet.");
    Press(box);
    ExpectEnds();
}

TEST_F(Program, LowerCaseLanguageNameStaysEnglish) {
    StoreString(HKEY_LOCAL_MACHINE, "Language", "german");
    Hold("zeltovManagerapp");
    Start("-debug");
    const Box box = WaitForMessageDialog();
    ASSERT_NE(box.window, nullptr) << "no message dialog";
    EXPECT_EQ(box.caption, L"Application Error");
    Press(box);
    ExpectEnds();
    const std::vector<std::string> texts = LogTexts();
    ASSERT_GE(texts.size(), 8u) << ReadLog();
    EXPECT_EQ(texts[5], "Read Language Value -->german<--");
    EXPECT_EQ(texts[6], "LANGUAGE set to ENGLISH");
    EXPECT_EQ(texts[7], "LANGUAGE set to ENGLISH");
}

TEST_F(Program, MissingLanguageLibraryKeepsEnglishQuietly) {
    // a copy of the program in a folder without the libraries
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "tov_frame_nolib";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string exe = folder + "\\tovManager.exe";
    ASSERT_TRUE(CopyFileA((dir_ + "\\tovManager.exe").c_str(), exe.c_str(), FALSE));
    StoreString(HKEY_LOCAL_MACHINE, "Language", "French");
    Hold("zeltovManagerapp");
    Start("-debug", exe);
    const Box box = WaitForMessageDialog();
    ASSERT_NE(box.window, nullptr) << "no message dialog";
    EXPECT_EQ(box.caption, L"Application Error");
    Press(box);
    ExpectEnds();
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = PROCESS_INFORMATION{};
    DeleteFileA(exe.c_str());
    RemoveDirectoryA(folder.c_str());
    EXPECT_TRUE(Logged("LANGUAGE set to ENGLISH")) << ReadLog();
    EXPECT_FALSE(Logged("LANGUAGE set to FRENCH")) << ReadLog();
    EXPECT_TRUE(Logged("Start mode <NORMAL>")) << ReadLog();
}

TEST_F(Program, NameTakenByAnotherKindOfObjectFailsStartUp) {
    // a mutex under the name: the mapping cannot be created at all
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "zeltovManagerapp");
    ASSERT_NE(mutex, nullptr);
    held_.push_back(mutex);
    Start("-debug");
    const Box box = WaitForBox();
    ASSERT_NE(box.window, nullptr) << "no message box";
    EXPECT_EQ(box.caption, L"Kelvox Lumora");
    EXPECT_EQ(box.text, L"Application Initialization Failed");
    Dismiss(box);
    ExpectEnds();
    EXPECT_FALSE(Logged("Start mode <NORMAL>")) << ReadLog();
}

} // namespace
