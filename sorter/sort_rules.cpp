// The sorter's extension table, its folder table and the naming and settling rules.
#include "sorter/sort_rules.h"

#include <cctype>
#include <cstring>
#include <set>

namespace sorter {
namespace {

struct TypeRow {
    const char* extension; // lower case, without the dot
    Category category;
};

// What users drag onto the drive; docs/sorter.md lists the same table for them.
constexpr TypeRow kTypes[] = {
    {"doc", Category::Documents},     {"docx", Category::Documents},
    {"docm", Category::Documents},    {"dot", Category::Documents},
    {"dotx", Category::Documents},    {"rtf", Category::Documents},
    {"txt", Category::Documents},     {"pdf", Category::Documents},
    {"odt", Category::Documents},     {"wpd", Category::Documents},
    {"wps", Category::Documents},     {"wri", Category::Documents},
    {"xps", Category::Documents},     {"xls", Category::Spreadsheets},
    {"xlsx", Category::Spreadsheets}, {"xlsm", Category::Spreadsheets},
    {"xlt", Category::Spreadsheets},  {"csv", Category::Spreadsheets},
    {"ods", Category::Spreadsheets},  {"wks", Category::Spreadsheets},
    {"ppt", Category::Presentations}, {"pptx", Category::Presentations},
    {"pps", Category::Presentations}, {"ppsx", Category::Presentations},
    {"pot", Category::Presentations}, {"odp", Category::Presentations},
    {"jpg", Category::Photos},        {"jpeg", Category::Photos},
    {"jpe", Category::Photos},        {"gif", Category::Photos},
    {"png", Category::Photos},        {"bmp", Category::Photos},
    {"tif", Category::Photos},        {"tiff", Category::Photos},
    {"psd", Category::Photos},        {"pcx", Category::Photos},
    {"raw", Category::Photos},        {"crw", Category::Photos},
    {"cr2", Category::Photos},        {"nef", Category::Photos},
    {"orf", Category::Photos},        {"dng", Category::Photos},
    {"mp3", Category::Music},         {"wma", Category::Music},
    {"wav", Category::Music},         {"aac", Category::Music},
    {"m4a", Category::Music},         {"ogg", Category::Music},
    {"flac", Category::Music},        {"mid", Category::Music},
    {"midi", Category::Music},        {"aif", Category::Music},
    {"aiff", Category::Music},        {"ra", Category::Music},
    {"m3u", Category::Music},         {"wpl", Category::Music},
    {"avi", Category::Movies},        {"mpg", Category::Movies},
    {"mpeg", Category::Movies},       {"mpe", Category::Movies},
    {"mp4", Category::Movies},        {"m4v", Category::Movies},
    {"mov", Category::Movies},        {"qt", Category::Movies},
    {"wmv", Category::Movies},        {"asf", Category::Movies},
    {"divx", Category::Movies},       {"mkv", Category::Movies},
    {"flv", Category::Movies},        {"3gp", Category::Movies},
    {"vob", Category::Movies},        {"rm", Category::Movies},
    {"exe", Category::Software},      {"msi", Category::Software},
    {"msp", Category::Software},      {"zip", Category::Software},
    {"rar", Category::Software},      {"7z", Category::Software},
    {"cab", Category::Software},      {"iso", Category::Software},
    {"gz", Category::Software},       {"tgz", Category::Software},
    {"jar", Category::Software},      {"htm", Category::Sites},
    {"html", Category::Sites},        {"shtml", Category::Sites},
    {"mht", Category::Sites},         {"mhtml", Category::Sites},
    {"css", Category::Sites},         {"js", Category::Sites},
    {"asp", Category::Sites},         {"php", Category::Sites},
    {"url", Category::Sites},
};

// The category folders: string ids as in the program's string table.
constexpr CategoryFolder kDocuments = {63, 228, "\\My Documents", "\\Our Documents"};
constexpr CategoryFolder kPhotos = {67, 229, "\\My Photos", "\\Our Photos"};
constexpr CategoryFolder kMusic = {66, 230, "\\My Music", "\\Our Music"};
constexpr CategoryFolder kMovies = {65, 231, "\\My Movies", "\\Our Movies"};
constexpr CategoryFolder kSoftware = {69, 232, "\\My Software", "\\Our Software"};
constexpr CategoryFolder kSites = {68, 233, "\\My Sites", "\\Our Sites"};
constexpr CategoryFolder kSpreadsheets = {71, 234, "\\My Spreadsheets", "\\Our Spreadsheets"};
constexpr CategoryFolder kPresentations = {72, 235, "\\My Presentations", "\\Our Presentations"};
constexpr CategoryFolder kMultimedia = {73, 236, "\\My Multimedia", "\\Our Multimedia"};

struct FolderRow {
    Category category;
    CategoryFolder home;
    CategoryFolder business;
};

constexpr FolderRow kFolders[] = {
    {Category::Documents, kDocuments, kDocuments},
    {Category::Spreadsheets, kDocuments, kSpreadsheets},
    {Category::Presentations, kDocuments, kPresentations},
    {Category::Photos, kPhotos, kPhotos},
    {Category::Music, kMusic, kMultimedia},
    {Category::Movies, kMovies, kMultimedia},
    {Category::Software, kSoftware, kSoftware},
    {Category::Sites, kSites, kSites},
};

std::string Lower(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

} // namespace

bool CategoryOf(const std::string& fileName, Category* category) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return false;
    const std::string extension = Lower(fileName.substr(dot + 1));
    for (const TypeRow& row : kTypes) {
        if (extension == row.extension) {
            *category = row.category;
            return true;
        }
    }
    return false;
}

CategoryFolder FolderFor(Category category, bool business) {
    for (const FolderRow& row : kFolders) {
        if (row.category == category)
            return business ? row.business : row.home;
    }
    return kDocuments;
}

std::vector<CategoryFolder> AllCategoryFolders() {
    return {kDocuments, kPhotos,       kMusic,         kMovies,    kSoftware,
            kSites,     kSpreadsheets, kPresentations, kMultimedia};
}

Keep KeepAtRoot(const RootEntry& entry, const std::string& publicShortcut) {
    if (entry.folder)
        return Keep::Folder;
    if (SameName(entry.name, BUSINESS_MARKER) ||
        (!publicShortcut.empty() && SameName(entry.name, publicShortcut)))
        return Keep::SetupFile;
    // Office's owner files ("~$letter.doc") lie beside a document while it is open
    if (entry.hidden || entry.system || entry.name.compare(0, 2, "~$") == 0)
        return Keep::HiddenOrSystem;
    Category category;
    if (!CategoryOf(entry.name, &category))
        return Keep::UnknownType;
    return Keep::No;
}

const char* KeepReason(Keep keep) {
    switch (keep) {
    case Keep::Folder:
        return "a folder";
    case Keep::HiddenOrSystem:
        return "hidden or system";
    case Keep::SetupFile:
        return "kept by the set-up";
    case Keep::UnknownType:
        return "no category for its type";
    case Keep::No:
        break;
    }
    return "";
}

std::string PublicShortcutName(const std::string& publicSortFolder) {
    std::string folder = publicSortFolder;
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    const size_t slash = folder.rfind('\\');
    const std::string share = slash == std::string::npos ? folder : folder.substr(slash + 1);
    return share.empty() ? std::string() : share + ".lnk";
}

std::string NumberedName(const std::string& name, int n) {
    if (n <= 1)
        return name;
    const size_t dot = name.rfind('.');
    const std::string number = " (" + std::to_string(n) + ")";
    // a leading dot starts the name, not an extension
    if (dot == std::string::npos || dot == 0)
        return name + number;
    return name.substr(0, dot) + number + name.substr(dot);
}

bool SettleWatch::Settled(const RootEntry& entry, uint64_t nowMs) {
    auto it = seen.find(entry.name);
    if (it == seen.end() || it->second.size != entry.size ||
        it->second.writeTime != entry.writeTime) {
        seen[entry.name] = Sighting{entry.size, entry.writeTime, nowMs};
        return false;
    }
    return nowMs - it->second.since >= settleMs;
}

void SettleWatch::KeepOnly(const std::vector<RootEntry>& present) {
    std::set<std::string> names;
    for (const RootEntry& entry : present)
        names.insert(entry.name);
    for (auto it = seen.begin(); it != seen.end();) {
        if (names.count(it->first))
            ++it;
        else
            it = seen.erase(it);
    }
}

} // namespace sorter
