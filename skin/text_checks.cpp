// Whether a translated text is still the English one.
#include "skin/text_checks.h"

#include <cctype>
#include <cstring>

namespace skin {
namespace {

// Names of the product and its parts, written the same in every language.
const char* const kNames[] = {
    "Shared Storage", "Kelvox",        "Lumora", "Vistrel", "TOV",
    "Ethernet",       "Drag and Sort", "NAS1",   "Windows", "http://www.kelvox.com/support"};

// Words a language writes as English does, by language library name.
struct SameWord {
    const char* language;
    const char* word;
};
const SameWord kSameWords[] = {
    {"", "OK"},        {"ger", "Start"},  {"ger", "Name"},     {"ita", "Home"}, {"ita", "Business"},
    {"ger", "Backup"}, {"ita", "Backup"}, {"fra", "Menu"},     {"ita", "Menu"}, {"ita", "Password"},
    {"spa", "No"},     {"ita", "No"},     {"spa", "Original"},
};

void EraseAll(std::string& text, const std::string& word) {
    if (word.empty())
        return;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at))
        text.replace(at, word.size(), " ");
}

} // namespace

bool StillEnglish(const std::string& english, const std::string& translated,
                  const std::string& language) {
    if (english != translated)
        return false;
    std::string rest = english;
    for (const char* name : kNames)
        EraseAll(rest, name);
    // placeholders: "%1", "%s", "###"
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 1 < rest.size()) {
            rest[i] = rest[i + 1] = ' ';
        }
    }
    // what is left, word by word: letters that are not a word the language shares
    std::size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && !std::isalpha(static_cast<unsigned char>(rest[i])))
            ++i;
        std::size_t end = i;
        while (end < rest.size() && std::isalpha(static_cast<unsigned char>(rest[end])))
            ++end;
        if (end > i) {
            const std::string word = rest.substr(i, end - i);
            bool shared = false;
            for (const SameWord& s : kSameWords) {
                if ((!*s.language || language == s.language) && word == s.word)
                    shared = true;
            }
            if (!shared)
                return true;
        }
        i = end;
    }
    return false;
}

} // namespace skin
