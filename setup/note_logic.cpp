// The no-password note's decisions over the appliance's "frst" and "host" commands.
#include "setup/note_logic.h"

#include <cctype>

namespace setup {

std::string LanguageCode(const std::string& languageName) {
    // Without a "Language" value the screens are the program's own English ones.
    if (languageName.empty())
        return "en";
    std::string code = languageName.substr(0, 2);
    for (char& c : code)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return code;
}

std::string ManageAddress(const std::string& address) {
    return "http:\\\\" + address + "/setup/index.asp";
}

NoteOpening OpenNote(NoteChannel& channel, const std::string& hostName, const std::string& address,
                     const std::string& languageName) {
    NoteOpening opening;
    uint32_t status = 0;
    // An appliance that cannot say whether it has a password is not worth a warning that may be
    // wrong; the user goes on as with a password set.
    if (channel.SendFrst(status) != CMD_OK || status != 0) {
        opening.action = NoteAction::Skip;
        return opening;
    }
    const uint32_t code = channel.SendHost("", "", LanguageCode(languageName));
    if (code != 0) {
        opening.action = NoteAction::ShowMessage;
        opening.code = code;
        opening.device = hostName + "(" + address + ")";
        return opening;
    }
    opening.action = NoteAction::Show;
    return opening;
}

} // namespace setup
