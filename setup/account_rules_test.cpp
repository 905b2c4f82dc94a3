// The account screens' rules: names, passwords, the proposed user name, the options, the list.
#include "setup/account_rules.h"

#include <gtest/gtest.h>

#include "setup/test_log.h"

namespace setup {
namespace {

TEST(AccountRules, NameRulesInOrder) {
    struct Case {
        const char* entered;
        uint32_t code;
    };
    const Case cases[] = {
        {"Admin", ERR_NAME_ADMIN},
        {"ADMIN", ERR_NAME_ADMIN},
        {"admin", ERR_NAME_ADMIN},
        {"Administrator", ERR_NAME_ADMINISTRATOR},
        {"admin1", 0},
        {"  Anne  ", 0},
        {"   ", ERR_NAME_EMPTY},
        {"", ERR_NAME_EMPTY},
        {"Ren\xe9", ERR_NAME_CHARACTERS},
        {"anne.smith", ERR_NAME_CHARACTERS},
        {"a@b", ERR_NAME_CHARACTERS},
        {"Anne Smith-2_b", 0},
    };
    for (const Case& c : cases) {
        setup_test::LogCapture log;
        const EntryCheck check = CheckEntries(CREATE_PUBLIC, c.entered, "", "");
        EXPECT_EQ(check.code, c.code) << '"' << c.entered << '"';
        EXPECT_EQ(check.focus, EntryField::Name) << c.entered;
        EXPECT_TRUE(log.Has("  Entered Name <" + check.name + ">")) << c.entered;
    }
    setup_test::LogCapture log;
    EXPECT_EQ(CheckEntries(CREATE_PUBLIC, "  Anne  ", "", "").name, "Anne");
}

TEST(AccountRules, PasswordRulesOnlyForPrivateAccountsAndAfterTheName) {
    setup_test::LogCapture log;
    struct Case {
        int function;
        const char* name;
        const char* password;
        const char* retyped;
        uint32_t code;
        EntryField focus;
    };
    const Case cases[] = {
        {CREATE_PRIVATE, "Anne", "   ", "   ", ERR_PASSWORD_EMPTY, EntryField::Password},
        {CREATE_PRIVATE, "Anne", "Secret", "secret", ERR_PASSWORD_MISMATCH, EntryField::Password},
        {CREATE_PRIVATE, "Anne", " secret ", "secret", 0, EntryField::Password},
        // the name rules come first
        {CREATE_PRIVATE, "", "", "", ERR_NAME_EMPTY, EntryField::Name},
        {CREATE_PUBLIC, "Anne", "", "x", 0, EntryField::Name},
    };
    for (const Case& c : cases) {
        const EntryCheck check = CheckEntries(c.function, c.name, c.password, c.retyped);
        EXPECT_EQ(check.code, c.code) << c.name << "/" << c.password;
        if (c.code != 0) {
            EXPECT_EQ(check.focus, c.focus) << c.name << "/" << c.password;
        }
    }
    EXPECT_EQ(CheckEntries(CREATE_PRIVATE, "Anne", " secret ", "secret").password, "secret");
}

TEST(AccountRules, ProposedWindowsUserName) {
    {
        setup_test::LogCapture log;
        const NameProposal p = ProposeName(CREATE_PRIVATE, true, " abcdefghijklmnopqrstuvwxy ");
        EXPECT_EQ(p.name, "abcdefghijklmnopqrst");
        EXPECT_EQ(p.focus, EntryField::Password);
        EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                                   "Windows user name <abcdefghijklmnopqrstuvwxy>",
                                   "Windows user name too long <abcdefghijklmnopqrstuvwxy>"}));
    }
    for (const char* reserved : {"Administrator", "ADMIN"}) {
        setup_test::LogCapture log;
        const NameProposal p = ProposeName(CREATE_PRIVATE, true, reserved);
        EXPECT_EQ(p.name, "");
        EXPECT_EQ(p.focus, EntryField::Name);
        EXPECT_TRUE(log.Has(std::string("Invalid windows user name <") + reserved +
                            "> changing to (Blank)"));
    }
    setup_test::LogCapture log;
    const NameProposal none = ProposeName(CREATE_PRIVATE, false, "");
    EXPECT_EQ(none.name, "");
    EXPECT_EQ(none.focus, EntryField::Name);
    EXPECT_TRUE(log.Has("No user name returned <> changing to (Blank)"));
    EXPECT_EQ(ProposeName(CREATE_PUBLIC, true, "anne").focus, EntryField::Name);
}

TEST(AccountRules, ChosenOptionInTheOrderExistingPublicPrivate) {
    setup_test::LogCapture log;
    EXPECT_EQ(ChosenFunction(false, false, false, CREATE_PRIVATE), CREATE_PRIVATE);
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_EQ(ChosenFunction(true, true, false, CREATE_PUBLIC), CREATE_EXIST);
    EXPECT_EQ(ChosenFunction(false, true, true, CREATE_EXIST), CREATE_PUBLIC);
    EXPECT_EQ(ChosenFunction(false, false, true, CREATE_PUBLIC), CREATE_PRIVATE);
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"Function: CREATE_EXIST", "Function: CREATE_PUBLIC",
                                        "Function: CREATE_PRIVATE"}));
}

TEST(AccountRules, ListWithoutThePublicSharesAccount) {
    const std::string text = "Public\npublic\ncarl\nopen\nanne\nprivate\npublic\nopen\n";
    EXPECT_EQ(ChoosableAccounts(text, 4, "Public"),
              (std::vector<std::string>{"carl", "anne", "public"}));
    EXPECT_TRUE(ChoosableAccounts("Public\npublic\n", 1, "Public").empty());
    // a count beyond the entries present adds nothing
    EXPECT_EQ(ChoosableAccounts(text, 40, "Public").size(), 3u);
    EXPECT_EQ(FirstInListOrder({"carl", "Bob", "anne"}), "anne");
    EXPECT_EQ(FirstInListOrder({}), "");
    EXPECT_EQ(PasswordFieldFor(1), PasswordField::Enable);
    EXPECT_EQ(PasswordFieldFor(2), PasswordField::Disable);
    EXPECT_EQ(PasswordFieldFor(-1), PasswordField::Unchanged);
}

} // namespace
} // namespace setup
