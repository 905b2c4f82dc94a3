// The account screens' rules: the three options, the name and password checks, the proposed
// Windows user name, what the name screen shows for each function, and the account list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "setup/completion.h"

namespace setup {

// Messages the account screens and the set-up raise (their texts: message_table.cpp).
constexpr uint32_t ERR_NAME_ADMIN = 0xA0000001;
constexpr uint32_t ERR_NAME_ADMINISTRATOR = 0xA0000002;
constexpr uint32_t ERR_NAME_CHARACTERS = 0xA0000003;
constexpr uint32_t ERR_NAME_EMPTY = 0xA0000004;
constexpr uint32_t ERR_PASSWORD_EMPTY = 0xA0000005;
constexpr uint32_t ERR_PASSWORD_MISMATCH = 0xA0000006;
constexpr uint32_t ERR_NO_DRIVE_LETTER = 0xA0000007;
constexpr uint32_t ERR_ALREADY_MAPPED = 0xA0000009;
constexpr uint32_t ERR_NO_ACCOUNTS = 0xA000000A;
constexpr uint32_t ERR_BAD_FUNCTION = 0xFFFFFFFF;

// What the edit fields accept.
constexpr int MAX_NAME_LENGTH = 20;
constexpr int MAX_PASSWORD_LENGTH = 31;

// The screens' strings.
constexpr int STR_BUSY = 51;
constexpr int STR_CHOOSE_HELP_FILE = 218;
constexpr int STR_NAME_PASSWORD_HELP_FILE = 221;
constexpr int STR_NAME_HELP_FILE = 222;
constexpr int STR_FOLDERS_HELP_FILE = 223;
constexpr int STR_FINISH = 94;
constexpr int STR_NEXT_BUTTON = 3;

// "CREATE_EXIST", "CREATE_PUBLIC", "CREATE_PRIVATE"; empty for any other value.
const char* FunctionName(int function);

// Choose account's Next: the checked option, looked at in the order existing, public, private;
// with none checked the function stays. Logs "Function: ..." for a checked one.
int ChosenFunction(bool existingChecked, bool publicChecked, bool privateChecked, int previous);

// The name rules on a name already trimmed: 0 or the code of the first rule it breaks.
uint32_t CheckName(const std::string& trimmedName);

// The password rules on both entries (each trimmed first): 0 or the first broken rule's code.
uint32_t CheckPassword(const std::string& password, const std::string& retyped);

enum class EntryField { Name, Password };

// What the forward button makes of the entries of a new account.
struct EntryCheck {
    uint32_t code = 0; // 0: the entries are valid
    EntryField focus = EntryField::Name;
    std::string name;     // trimmed
    std::string password; // trimmed
};

// Logs "  Entered Name <%s>", then the name rules and, for CREATE_PRIVATE, the password rules.
EntryCheck CheckEntries(int function, const std::string& name, const std::string& password,
                        const std::string& retyped);

// The name proposed for a new account from the logged-on Windows user's name (known false when
// Windows gave none), with the field that gets the focus. Logs as the screen does.
struct NameProposal {
    std::string name;
    EntryField focus = EntryField::Name;
};
NameProposal ProposeName(int function, bool known, const std::string& windowsName);

// What the name and password screen shows for a function.
struct NameScreenView {
    int instructionId = 0;
    int forwardLabelId = 0;
    bool listShown = false;
    bool nameShown = false;
    bool passwordShown = false;
    bool retypeShown = false;
    bool helpShown = false;
    bool helpBesideName = false; // the link moves up beside the name field
    int helpTextId = 0;
    int helpFileId = 0;
};
NameScreenView ViewFor(int function);

// The accounts an existing user can choose from: the names of the account list, without the
// public share's own account (compared exactly).
std::vector<std::string> ChoosableAccounts(const std::string& listText, uint32_t count,
                                           const std::string& publicShareName);

// The first of the names in the order of a sorted list (letter case ignored); empty for none.
std::string FirstInListOrder(const std::vector<std::string>& names);

// The share-password answer for the chosen account: 1 asks for the password, 2 means the account
// has none; anything else leaves the password field as it is.
enum class PasswordField { Enable, Disable, Unchanged };
PasswordField PasswordFieldFor(int answer);

// Enter on the account screens: Back when it has the focus, the forward button otherwise.
inline bool EnterGoesBack(bool backFocused) { return backFocused; }

} // namespace setup
