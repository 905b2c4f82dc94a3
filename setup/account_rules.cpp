// The account screens' rules, free of the windows.
#include "setup/account_rules.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "app/log.h"
#include "app/settings_rules.h"
#include "protocol/channel.h"

namespace setup {
namespace {

// The characters a name may never hold, in the order they are checked.
constexpr const char FORBIDDEN[] = "\"<>%^[]\\/+$,|~{}#@'`&?:";

bool SameLetters(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(b[i]))
            return false;
    }
    return true;
}

bool NameByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == ' ';
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

const char* FunctionName(int function) {
    switch (function) {
    case CREATE_EXIST:
        return "CREATE_EXIST";
    case CREATE_PUBLIC:
        return "CREATE_PUBLIC";
    case CREATE_PRIVATE:
        return "CREATE_PRIVATE";
    default:
        return "";
    }
}

int ChosenFunction(bool existingChecked, bool publicChecked, bool privateChecked, int previous) {
    int function = previous;
    if (existingChecked)
        function = CREATE_EXIST;
    else if (publicChecked)
        function = CREATE_PUBLIC;
    else if (privateChecked)
        function = CREATE_PRIVATE;
    else
        return previous;
    WriteLog(LOG_TRACE, "Function: %s", FunctionName(function));
    return function;
}

uint32_t CheckName(const std::string& name) {
    if (SameLetters(name, "admin"))
        return ERR_NAME_ADMIN;
    if (SameLetters(name, "administrator"))
        return ERR_NAME_ADMINISTRATOR;
    if (name.find_first_of(FORBIDDEN) != std::string::npos)
        return ERR_NAME_CHARACTERS;
    for (unsigned char c : name) {
        if (!NameByte(c))
            return ERR_NAME_CHARACTERS;
    }
    if (name.empty())
        return ERR_NAME_EMPTY;
    return 0;
}

uint32_t CheckPassword(const std::string& password, const std::string& retyped) {
    const std::string first = AppSettings::TrimWhite(password);
    if (first.empty())
        return ERR_PASSWORD_EMPTY;
    if (first != AppSettings::TrimWhite(retyped))
        return ERR_PASSWORD_MISMATCH;
    return 0;
}

EntryCheck CheckEntries(int function, const std::string& name, const std::string& password,
                        const std::string& retyped) {
    EntryCheck check;
    check.name = AppSettings::TrimWhite(name);
    check.password = AppSettings::TrimWhite(password);
    WriteLog(LOG_DETAIL, "  Entered Name <%s>", check.name.c_str());
    check.code = CheckName(check.name);
    if (check.code != 0 || function != CREATE_PRIVATE)
        return check;
    check.code = CheckPassword(password, retyped);
    check.focus = EntryField::Password;
    return check;
}

NameProposal ProposeName(int function, bool known, const std::string& windowsName) {
    NameProposal proposal;
    proposal.focus = function == CREATE_PRIVATE ? EntryField::Password : EntryField::Name;
    if (!known) {
        WriteLog(LOG_DETAIL, "No user name returned <%s> changing to (Blank)", windowsName.c_str());
        proposal.focus = EntryField::Name;
        return proposal;
    }
    std::string name = AppSettings::TrimWhite(windowsName);
    WriteLog(LOG_DETAIL, "Windows user name <%s>", name.c_str());
    if (name.size() > static_cast<size_t>(MAX_NAME_LENGTH)) {
        WriteLog(LOG_DETAIL, "Windows user name too long <%s>", name.c_str());
        name.resize(MAX_NAME_LENGTH);
    }
    if (SameLetters(name, "admin") || SameLetters(name, "administrator")) {
        WriteLog(LOG_DETAIL, "Invalid windows user name <%s> changing to (Blank)", name.c_str());
        name.clear();
        proposal.focus = EntryField::Name;
    }
    proposal.name = name;
    return proposal;
}

NameScreenView ViewFor(int function) {
    NameScreenView view;
    switch (function) {
    case CREATE_EXIST:
        view.instructionId = 21;
        view.forwardLabelId = STR_OPEN;
        view.listShown = true;
        view.passwordShown = true;
        view.helpFileId = STR_NAME_HELP_FILE;
        break;
    case CREATE_PUBLIC:
        view.instructionId = 19;
        view.forwardLabelId = STR_NEXT_BUTTON;
        view.nameShown = true;
        view.helpShown = true;
        view.helpBesideName = true;
        view.helpTextId = 150;
        view.helpFileId = STR_NAME_HELP_FILE;
        break;
    default:
        view.instructionId = 20;
        view.forwardLabelId = STR_NEXT_BUTTON;
        view.nameShown = true;
        view.passwordShown = true;
        view.retypeShown = true;
        view.helpShown = true;
        view.helpTextId = 178;
        view.helpFileId = STR_NAME_PASSWORD_HELP_FILE;
        break;
    }
    return view;
}

std::vector<std::string> ChoosableAccounts(const std::string& listText, uint32_t count,
                                           const std::string& publicShareName) {
    std::vector<std::string> names;
    for (const std::string& name : ListedAccounts(listText, count)) {
        if (name != publicShareName)
            names.push_back(name);
    }
    return names;
}

std::string FirstInListOrder(const std::vector<std::string>& names) {
    if (names.empty())
        return std::string();
    return *std::min_element(
        names.begin(), names.end(),
        [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
}

PasswordField PasswordFieldFor(int answer) {
    if (answer == 1)
        return PasswordField::Enable;
    if (answer == 2)
        return PasswordField::Disable;
    return PasswordField::Unchanged;
}

} // namespace setup
