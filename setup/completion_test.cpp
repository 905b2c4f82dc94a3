// Tests of the completion screen's decisions: the folder Open shows, when it ends, the log line.
#include "setup/completion.h"

#include <gtest/gtest.h>

#include "setup/screen_results.h"
#include "setup/test_log.h"

namespace {

class RecordingShell : public setup::Shell {
public:
    intptr_t Open(const std::string& target) override {
        opened.push_back(target);
        return result;
    }
    std::string LastErrorText() override { return "The network path was not found.\r\n"; }
    void ShowError(const std::string& text) override { shown.push_back(text); }

    intptr_t result = 42;
    std::vector<std::string> opened;
    std::vector<std::string> shown;
};

TEST(Completion, OpenShowsTheShareFolderAndLogsTheAccountName) {
    setup_test::LogCapture log;
    RecordingShell shell;
    const setup::CompletionOutcome outcome = setup::PressCompletionButton(
        setup::CompletionButton::Open, setup::CREATE_PRIVATE, "NAS1", "bob", shell);
    EXPECT_EQ(shell.opened, std::vector<std::string>{"\\\\NAS1\\bob"});
    EXPECT_FALSE(outcome.ends) << "a new account's screen stays open after Open";
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Going to Launch to <bob>"});
}

TEST(Completion, AnExistingAccountEndsWith120AfterOpenEvenWhenTheFolderFails) {
    setup_test::LogCapture log;
    RecordingShell shell;
    shell.result = 2;
    EXPECT_TRUE(setup::OpensAtOnce(setup::CREATE_EXIST));
    EXPECT_FALSE(setup::OpensAtOnce(setup::CREATE_PUBLIC));
    const setup::CompletionOutcome outcome = setup::PressCompletionButton(
        setup::CompletionButton::Open, setup::CREATE_EXIST, "NAS1", "public", shell);
    EXPECT_TRUE(outcome.ends);
    EXPECT_EQ(outcome.result, setup::RESULT_SETUP_DONE);
    EXPECT_EQ(shell.shown.size(), 1u);
    EXPECT_TRUE(log.Has("--- ERROR: Failed to launch: <The network path was not found.> "));
}

TEST(Completion, MainMenuEndsAndEnterWithoutAFocusedButtonDoesNothing) {
    RecordingShell shell;
    const setup::CompletionOutcome menu = setup::PressCompletionButton(
        setup::CompletionButton::MainMenu, setup::CREATE_PUBLIC, "NAS1", "bob", shell);
    EXPECT_TRUE(menu.ends);
    EXPECT_EQ(menu.result, setup::RESULT_SETUP_DONE);
    const setup::CompletionOutcome none = setup::PressCompletionButton(
        setup::CompletionButton::None, setup::CREATE_EXIST, "NAS1", "bob", shell);
    EXPECT_FALSE(none.ends);
    EXPECT_TRUE(shell.opened.empty());
}

} // namespace
