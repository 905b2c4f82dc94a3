// tovManager.exe started as a Windows user starts it: the log, the single-instance names and the
// language libraries.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/program_fixture_win32.h"

namespace {

using namespace frame_test;

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
    // the first-drag notice is the mode's only screen
    uidriver::Screen notice;
    ASSERT_TRUE(uidriver::WaitForScreen(process_.dwProcessId, kDeadlineMs, &notice));
    EXPECT_EQ(notice.dialogId, IDD_FIRST_DRAG);
    ASSERT_TRUE(uidriver::Click(notice.hwnd, IDC_CLOSE));
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
