// Tests of opening targets through the shell: the log lines and the failure report.
#include "setup/launch.h"

#include <gtest/gtest.h>

#include "setup/test_log.h"

namespace {

class FakeShell : public setup::Shell {
public:
    intptr_t Open(const std::string& target) override {
        opened.push_back(target);
        return result;
    }
    std::string LastErrorText() override {
        return "The system cannot find the file specified.\r\n";
    }
    void ShowError(const std::string& text) override { shown.push_back(text); }

    intptr_t result = 42;
    std::vector<std::string> opened;
    std::vector<std::string> shown;
};

TEST(Launch, ResultsAbove32AreSuccess) {
    setup_test::LogCapture log;
    FakeShell shell;
    shell.result = 33;
    EXPECT_TRUE(setup::LaunchTarget("\\\\NAS1\\bob", shell));
    EXPECT_EQ(shell.opened, std::vector<std::string>{"\\\\NAS1\\bob"});
    EXPECT_TRUE(shell.shown.empty());
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Going to Launch to <\\\\NAS1\\bob>"});
}

TEST(Launch, ResultsOf32OrLessShowAndLogTheSystemText) {
    for (intptr_t result : {32, 2, 0}) {
        setup_test::LogCapture log;
        FakeShell shell;
        shell.result = result;
        EXPECT_FALSE(setup::LaunchTarget("http:\\\\198.51.100.20/setup/index.asp", shell));
        EXPECT_EQ(shell.shown,
                  std::vector<std::string>{"The system cannot find the file specified.\r\n"});
        const std::vector<std::string> lines = log.Lines();
        EXPECT_EQ(lines,
                  (std::vector<std::string>{
                      "Going to Launch to <http:\\\\198.51.100.20/setup/index.asp>",
                      "--- ERROR: Failed to launch: <The system cannot find the file specified.> ",
                  }));
    }
}

TEST(Launch, TheSupportPageIsTheMakersAndLoggedAsSuch) {
    setup_test::LogCapture log;
    FakeShell shell;
    EXPECT_TRUE(setup::OpenSupportPage(shell));
    EXPECT_EQ(shell.opened, std::vector<std::string>{setup::SUPPORT_PAGE_ADDRESS});
    EXPECT_EQ(std::string(setup::SUPPORT_PAGE_ADDRESS).find("http://www.kelvox.com/"), 0u);
    EXPECT_EQ(log.Lines(),
              std::vector<std::string>{"Going to kelvox web site <" +
                                       std::string(setup::SUPPORT_PAGE_ADDRESS) + ">"});
}

} // namespace
