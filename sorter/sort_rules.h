// The sorter's rules: which folder a file type goes to, what stays at the root, the name a file
// takes in a folder that already has one of that name, and when a file has stopped changing.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sorter {

enum class Category {
    Documents,
    Spreadsheets,
    Presentations,
    Photos,
    Music,
    Movies,
    Software,
    Sites
};

// The category of a file by its extension, in any letter case; false for a type the table does
// not know (and for names without an extension).
bool CategoryOf(const std::string& fileName, Category* category);

// Where a category goes: the string-table entries of its private ("\My ...") and public
// ("\Our ...") folder names, and their English texts for when no string table can be read.
struct CategoryFolder {
    int myStringId;
    int ourStringId;
    const char* myName;
    const char* ourName;
};
// Business accounts have folders of their own for spreadsheets, presentations and multimedia;
// home accounts keep spreadsheets and presentations with the documents.
CategoryFolder FolderFor(Category category, bool business);
// Every category folder of both account kinds, each once.
std::vector<CategoryFolder> AllCategoryFolders();

// One entry of the drive's root as a listing gives it.
struct RootEntry {
    std::string name;
    bool folder = false;
    bool hidden = false;
    bool system = false;
    uint64_t size = 0;
    uint64_t writeTime = 0;
};

// The hidden file by which the set-up marks a business account.
constexpr const char* BUSINESS_MARKER = "_business.tov";

enum class Keep { No, Folder, HiddenOrSystem, SetupFile, UnknownType };

// Why an entry stays at the root, or Keep::No when it is to be sorted. publicShortcut is the
// file name of the set-up's shortcut to the public share (empty when unknown).
Keep KeepAtRoot(const RootEntry& entry, const std::string& publicShortcut);
const char* KeepReason(Keep keep);

// The set-up's public-share shortcut in the user's share: the public share's name + ".lnk".
std::string PublicShortcutName(const std::string& publicSortFolder);

// The n-th name tried for a file in its folder: the name itself for 1, then "name (2).ext",
// "name (3).ext", ... (the number goes before the last extension).
std::string NumberedName(const std::string& name, int n);

// Names tried before a file is left where it is.
constexpr int MAX_NUMBERED_NAMES = 9999;

// How long a file's size and write time must stay the same before it counts as written.
constexpr uint64_t SETTLE_MILLISECONDS = 1000;

// Tells when a file has stopped changing: it was seen with the same size and write time for at
// least the settle time. Names are those of one folder's listing.
class SettleWatch {
public:
    explicit SettleWatch(uint64_t settleMs = SETTLE_MILLISECONDS) : settleMs(settleMs) {}

    bool Settled(const RootEntry& entry, uint64_t nowMs);
    // Starts the file's settle time again at its next sighting (it was found still in use).
    void Forget(const std::string& name) { seen.erase(name); }
    // Drops files that have gone from the folder.
    void KeepOnly(const std::vector<RootEntry>& present);

private:
    struct Sighting {
        uint64_t size;
        uint64_t writeTime;
        uint64_t since;
    };
    uint64_t settleMs;
    std::map<std::string, Sighting> seen;
};

} // namespace sorter
