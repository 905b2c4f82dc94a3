// The message dialog and the no-password note as a user meets them, driven through the UI driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <string>

#include "lab/uidriver/uidriver_win32.h"
#include "res/resource.h"
#include "setup/completion.h"
#include "setup/completion_win32.h"
#include "setup/launch.h"
#include "setup/message_dialog_win32.h"
#include "setup/message_table.h"
#include "setup/note_win32.h"
#include "setup/screen_run_win32.h"
#include "setup/test_log.h"
#include "skin/resources_win32.h"

namespace {

using setup_test::ScreenRun;

int ShowMessage(const std::string& device, uint32_t code) {
    return setup::ShowMessageDialog(device, code);
}

std::string String(int id) { return skin::LoadString(static_cast<UINT>(id)); }

TEST(MessageDialogScreen, ProgramCodeHasHelpAndOkAndOkEndsWith125) {
    ScreenRun run([] { return ShowMessage("NAS1", 0xA0000007); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    EXPECT_EQ(run.Text(IDC_HEADING), "Shared Storage device: NAS1");
    EXPECT_EQ(run.Text(IDC_MESSAGE_TEXT), String(48));
    EXPECT_TRUE(run.Visible(IDC_CODE_LINE));
    EXPECT_EQ(run.Text(IDC_CODE_LINE), "Error code: A007");
    EXPECT_TRUE(run.Visible(IDC_LEFT_BUTTON));
    EXPECT_EQ(run.Text(IDC_LEFT_LABEL), "Help");
    EXPECT_EQ(run.Text(IDC_RIGHT_LABEL), "OK");
    ASSERT_TRUE(run.Click(IDC_RIGHT_BUTTON));
    EXPECT_EQ(run.Result(), 125);
}

TEST(MessageDialogScreen, SystemCodeShowsItsStringAndTheSystemForm) {
    ScreenRun run([] { return ShowMessage("NAS1", 1326); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    EXPECT_EQ(run.Text(IDC_MESSAGE_TEXT), "Login failure: Bad password.");
    EXPECT_EQ(run.Text(IDC_CODE_LINE), "Error code: A0FF - 1326");
    // Enter with the focus on OK presses it
    ASSERT_TRUE(run.Key("Enter"));
    EXPECT_EQ(run.Result(), 125);
}

TEST(MessageDialogScreen, UnknownCodeShowsTheSystemTextAndLogsIt) {
    setup_test::LogCapture log;
    ScreenRun run([] { return ShowMessage("NAS1", 5); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    std::string text = run.Text(IDC_MESSAGE_TEXT);
    EXPECT_FALSE(text.empty());
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    EXPECT_EQ(run.Text(IDC_CODE_LINE), "Error code: A0FF - 5");
    ASSERT_TRUE(run.Click(IDC_RIGHT_BUTTON));
    EXPECT_EQ(run.Result(), 125);
    EXPECT_TRUE(log.Has("Error Encountered: 5 " + text)) << text;
}

TEST(MessageDialogScreen, QuestionHasNoAndYesUnderItsOwnHeadingWithoutCodeLine) {
    for (const int button : {IDC_RIGHT_BUTTON, IDC_LEFT_BUTTON}) {
        ScreenRun run([] { return ShowMessage("NAS1", setup::MSG_DELETE_HISTORY); });
        ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
        EXPECT_EQ(run.Text(IDC_HEADING), String(188));
        EXPECT_EQ(run.Text(IDC_MESSAGE_TEXT), String(187));
        EXPECT_FALSE(run.Visible(IDC_CODE_LINE));
        EXPECT_EQ(run.Text(IDC_LEFT_LABEL), "No");
        EXPECT_EQ(run.Text(IDC_RIGHT_LABEL), "Yes");
        ASSERT_TRUE(run.Click(button));
        EXPECT_EQ(run.Result(), button == IDC_RIGHT_BUTTON ? 128 : 129);
    }
}

TEST(MessageDialogScreen, ReplaceQuestionKeepsTheCallersHeading) {
    ScreenRun run([] { return ShowMessage("NAS1", setup::MSG_REPLACE_FILE); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    EXPECT_EQ(run.Text(IDC_HEADING), "Shared Storage device: NAS1");
    EXPECT_EQ(run.Text(IDC_MESSAGE_TEXT), String(191));
    EXPECT_FALSE(run.Visible(IDC_CODE_LINE));
    EXPECT_EQ(run.Text(IDC_LEFT_LABEL), "Stop");
    EXPECT_EQ(run.Text(IDC_RIGHT_LABEL), "Replace");
    ASSERT_TRUE(run.Click(IDC_LEFT_BUTTON));
    EXPECT_EQ(run.Result(), 129);
}

TEST(MessageDialogScreen, NoticeHasOnlyOkWhichEndsWith128) {
    ScreenRun run([] { return ShowMessage("", setup::MSG_ALREADY_OPEN); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    EXPECT_EQ(run.Text(IDC_HEADING), "Application Error");
    EXPECT_EQ(run.Text(IDC_MESSAGE_TEXT), "Kelvox Lumora is already open.");
    EXPECT_FALSE(run.Visible(IDC_LEFT_BUTTON));
    EXPECT_FALSE(run.Visible(IDC_LEFT_LABEL));
    EXPECT_FALSE(run.Visible(IDC_CODE_LINE));
    // a click that reaches the hidden left button does nothing
    ASSERT_TRUE(run.Click(IDC_LEFT_BUTTON));
    ASSERT_TRUE(run.Click(IDC_RIGHT_BUTTON));
    EXPECT_EQ(run.Result(), 128);
}

TEST(MessageDialogScreen, ReconfigureFailureHasNoCodeLineAndItsHelpOpensNothing) {
    setup_test::LogCapture log;
    ScreenRun run([] { return ShowMessage("NAS1(203.0.113.20)", setup::MSG_RECONFIGURE_FAILED); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    EXPECT_EQ(run.Text(IDC_HEADING), "Shared Storage device: NAS1(203.0.113.20)");
    EXPECT_EQ(run.Text(IDC_MESSAGE_TEXT), String(15));
    EXPECT_FALSE(run.Visible(IDC_CODE_LINE));
    EXPECT_EQ(run.Text(IDC_LEFT_LABEL), "Help");
    ASSERT_TRUE(run.Click(IDC_LEFT_BUTTON));
    EXPECT_EQ(run.Result(), 129);
    EXPECT_TRUE(log.Lines().empty()) << log.Lines().front();
}

TEST(MessageDialogScreen, HelpOpensTheSupportPageAndStaysOpen) {
    setup_test::LogCapture log;
    ScreenRun run([] { return ShowMessage("NAS1", 0xA0000007); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    ASSERT_TRUE(run.Click(IDC_LEFT_BUTTON));
    // still there: the next key reaches the same dialog, and Alt+F4 is what ends it
    ASSERT_TRUE(run.Key("Esc"));
    ASSERT_TRUE(run.Key("Alt+F4"));
    EXPECT_EQ(run.Result(), 100);
    EXPECT_EQ(log.Count("Going to Launch to <" + std::string(setup::SUPPORT_PAGE_ADDRESS) + ">"),
              1u);
}

TEST(MessageDialogScreen, EscNeverClosesAndAltF4Gives100) {
    ScreenRun run([] { return ShowMessage("NAS1", setup::MSG_MISSED_BACKUP); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    EXPECT_EQ(run.Text(IDC_HEADING), "Scheduled Backup");
    ASSERT_TRUE(run.Key("Esc"));
    ASSERT_TRUE(run.Key("Alt+F4"));
    EXPECT_EQ(run.Result(), 100);
}

TEST(MessageDialogScreen, CloseButtonGives100) {
    ScreenRun run([] { return ShowMessage("NAS1", 0xA0000001); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    ASSERT_TRUE(run.Click(IDC_CLOSE));
    EXPECT_EQ(run.Result(), 100);
}

TEST(CompletionScreen, ShowsTheAccountsFolderAndMainMenuGives120) {
    ScreenRun run([] {
        setup::CompletionScreen screen("NAS1", "Anne", setup::CREATE_PRIVATE);
        return screen.DoModal();
    });
    ASSERT_TRUE(run.WaitShown(IDD_SETUP_COMPLETE));
    EXPECT_EQ(run.Text(IDC_TITLE), String(29));
    EXPECT_EQ(run.Text(IDC_DEVICE), "NAS1");
    EXPECT_EQ(run.Text(IDC_HEADING), "Setup complete!");
    EXPECT_EQ(run.Text(IDC_COMPLETE_FOLDER),
              "A folder named 'Anne' has been created on the Shared Storage Drive.");
    EXPECT_EQ(run.Text(IDC_BACK_LABEL), String(216));
    EXPECT_EQ(run.Text(IDC_NEXT_LABEL), String(36));
    ASSERT_TRUE(run.Key("Esc"));
    ASSERT_TRUE(run.Click(IDC_BACK));
    EXPECT_EQ(run.Result(), 120);
}

// The note runs against the simulator that the test's script started on a loopback address.
class NoteAgainstAppliance : public ::testing::Test {
protected:
    void SetUp() override {
        const char* address = std::getenv("TOV_APPLIANCE_ADDRESS");
        const char* state = std::getenv("TOV_APPLIANCE_STATE");
        if (!address || !state)
            GTEST_SKIP() << "no simulator (run through protocol/with-appliance)";
        ip = address;
        stateDir = WindowsPath(state);
        CreateDirectoryA(stateDir.c_str(), nullptr);
        Write("faults", "");
        Write("settings", "");
        DeleteFileA((stateDir + "\\host").c_str());
        DeleteFileA((stateDir + "\\journal").c_str());
    }
    void TearDown() override {
        if (!stateDir.empty()) {
            Write("faults", "");
            Write("settings", "");
        }
    }

    // The simulator's state folder is a Linux path; Wine shows the root as drive Z.
    static std::string WindowsPath(std::string path) {
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return "Z:" + path;
    }
    void Write(const char* name, const std::string& text) {
        std::ofstream out(stateDir + "\\" + name, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::string Read(const char* name) {
        std::ifstream in(stateDir + "\\" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    int RunNote() {
        setup::NoteScreen note("NAS1", ip);
        return note.DoModal();
    }

    std::string ip;
    std::string stateDir;
};

TEST_F(NoteAgainstAppliance, NoPasswordShowsTheNoteAfterHostAndNextGives102) {
    ScreenRun run([this] { return RunNote(); });
    ASSERT_TRUE(run.WaitShown(IDD_NOTE));
    EXPECT_EQ(run.Text(IDC_HEADING), "Shared Storage device: NAS1");
    EXPECT_EQ(run.Text(IDC_MESSAGE_TEXT), String(24));
    EXPECT_EQ(run.Text(IDC_MANAGE_LABEL), String(26));
    EXPECT_EQ(run.Text(IDC_NEXT_LABEL), String(3));
    // "host" went out before the note showed: clock, two empty fields, the language code
    const std::string host = Read("host");
    EXPECT_EQ(host.substr(0, 6), "clock=") << host;
    EXPECT_NE(host.find("\nfield2=\nfield3=\nlanguage=en\n"), std::string::npos) << host;
    ASSERT_TRUE(run.Key("Esc"));
    ASSERT_TRUE(run.Click(IDC_NEXT));
    EXPECT_EQ(run.Result(), 102);
}

TEST_F(NoteAgainstAppliance, ManageOpensTheSetupPagesAndStays) {
    setup_test::LogCapture log;
    ScreenRun run([this] { return RunNote(); });
    ASSERT_TRUE(run.WaitShown(IDD_NOTE));
    ASSERT_TRUE(run.Click(IDC_MANAGE));
    ASSERT_TRUE(run.Key("Alt+F4"));
    EXPECT_EQ(run.Result(), 100);
    EXPECT_TRUE(log.Has("Going to Launch to <http:\\\\" + ip + "/setup/index.asp>"));
}

TEST_F(NoteAgainstAppliance, PasswordSetSkipsTheNote) {
    Write("settings", "frst=1\n");
    setup_test::LogCapture log;
    EXPECT_EQ(RunNote(), 102);
    // no "host" once the appliance said it has a password
    EXPECT_EQ(Read("host"), "");
}

TEST_F(NoteAgainstAppliance, FailedFrstExchangeSkipsTheNote) {
    Write("faults", "frst garbage 16\n");
    EXPECT_EQ(RunNote(), 102);
    EXPECT_EQ(Read("host"), "");
}

TEST_F(NoteAgainstAppliance, FailedHostShowsTheMessageThenGoesBack) {
    // the appliance answers "host" with an error, which the command passes up as non-zero
    Write("faults", "host erro 0xB0000002\n");
    ScreenRun run([this] { return RunNote(); });
    ASSERT_TRUE(run.WaitShown(IDD_MESSAGE));
    EXPECT_EQ(run.Text(IDC_HEADING), "Shared Storage device: NAS1(" + ip + ")");
    EXPECT_EQ(run.Text(IDC_CODE_LINE).substr(0, 12), "Error code: ");
    ASSERT_TRUE(run.Click(IDC_RIGHT_BUTTON));
    EXPECT_EQ(run.Result(), 101);
}

} // namespace
