// The rule of a translation that is still English.
#include "skin/text_checks.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* english;
    const char* translated;
    const char* language;
    bool stillEnglish;
};

TEST(StillEnglish, DecidesByWordsLeftOnceNamesAndNumbersAreOut) {
    const Case cases[] = {
        {"Next", "Weiter", "ger", false},
        {"Next", "Next", "ger", true},
        {"Main Menu", "Main Menu", "fra", true}, // "Menu" is French, "Main" is not
        {"Menu", "Menu", "fra", false},
        {"Menu", "Menu", "ger", true},
        {"OK", "OK", "spa", false},
        {"Start", "Start", "ger", false},
        {"Start", "Start", "spa", true},
        {"Kelvox TOV", "Kelvox TOV", "ita", false},
        {"Vistrel™", "Vistrel™", "fra", false},
        {"%1 GBs free space", "%1 GBs free space", "spa", true},
        {"(%1) %2 - 40", "(%1) %2 - 40", "ger", false},
        {"Shared Storage device: %1", "Shared Storage device: %1", "ger", true},
        {"Shared Storage", "Shared Storage", "ger", false},
        {"", "", "ger", false},
        {"\\My Backup", "\\Mein Backup", "ger", false},
        {"Drives", "drives", "ger", false}, // changed, if only in case
    };
    for (const Case& c : cases) {
        EXPECT_EQ(skin::StillEnglish(c.english, c.translated, c.language), c.stillEnglish)
            << c.english << " / " << c.translated << " / " << c.language;
    }
}

} // namespace
