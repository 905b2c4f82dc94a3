// The language table.
#include "app/language.h"

namespace app {

namespace {
const LanguageEntry kLanguages[] = {
    {"Spanish", "tovspa.dll", "LANGUAGE set to SPANISH"},
    {"Italian", "tovita.dll", "LANGUAGE set to ITALIAN"},
    {"German", "tovger.dll", "LANGUAGE set to GERMAN"},
    {"French", "tovfra.dll", "LANGUAGE set to FRENCH"},
};
} // namespace

const LanguageEntry* FindLanguage(const std::string& value) {
    for (const LanguageEntry& entry : kLanguages) {
        if (value == entry.value)
            return &entry;
    }
    return nullptr;
}

} // namespace app
