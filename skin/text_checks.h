// What the gallery's check of every screen in every language decides without a window: whether a
// translated text is still the English one.
#pragma once

#include <string>

namespace skin {

// True when a translation is the English text itself and that text has words to translate: once
// the product's names, placeholders ("%1", "###"), numbers and punctuation are taken out, letters
// remain. Words that are the same in the language ("OK", "Start" in German) count as translated.
bool StillEnglish(const std::string& english, const std::string& translated,
                  const std::string& language);

} // namespace skin
