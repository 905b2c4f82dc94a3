// The interface languages that have a resource library, keyed by the installer's "Language" value.
#pragma once

#include <string>

namespace app {

struct LanguageEntry {
    const char* value;   // the "Language" value, exactly
    const char* library; // the resource library, loaded by bare file name
    const char* logLine; // logged once the library is loaded
};

// The entry for a trimmed "Language" value, compared exactly and case-sensitively; null for
// anything else ("german", "English", "Japanese", empty), which keeps the program's own resources.
const LanguageEntry* FindLanguage(const std::string& value);

// Logged before the comparison in every case, and again when nothing matched.
constexpr const char* LANGUAGE_ENGLISH_LINE = "LANGUAGE set to ENGLISH";

} // namespace app
