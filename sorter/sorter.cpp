// The sorter's look at the root: what it moves where, what it leaves, and what it logs.
#include "sorter/sorter.h"

#include <cctype>
#include <set>

#include "app/log.h"

namespace sorter {

PassOutcome Sorter::Pass(const SortConfig& config, uint64_t nowMs) {
    PassOutcome outcome;
    if (config.root.empty()) {
        ReportState("  No shared drive to watch yet");
        return outcome;
    }
    if (config.enabled != enabledSeen) {
        WriteLog(LOG_TRACE, config.enabled ? "Sorting is on" : "Sorting is off");
        enabledSeen = config.enabled;
    }
    std::vector<RootEntry> entries;
    if (!system.List(config.root + "\\", &entries)) {
        ReportState("--- ERROR: Cannot look into <" + config.root + "\\>");
        return outcome;
    }
    ReportState("Watching <" + config.root + "\\>");
    outcome.listed = true;
    watch.KeepOnly(entries);
    std::set<std::string> present;
    bool business = config.account == SortConfig::Account::Business;
    for (const RootEntry& entry : entries) {
        present.insert(entry.name);
        if (config.account == SortConfig::Account::Unknown && !entry.folder &&
            entry.name == BUSINESS_MARKER)
            business = true;
    }
    for (auto it = reported.begin(); it != reported.end();)
        it = present.count(it->first) ? std::next(it) : reported.erase(it);

    const std::string shortcut = PublicShortcutName(config.publicFolder);
    for (const RootEntry& entry : entries) {
        const Keep keep = KeepAtRoot(entry, shortcut);
        if (keep == Keep::Folder && IsCategoryFolder(entry.name))
            continue;
        if (keep != Keep::No) {
            Report(entry.name, KeepReason(keep),
                   std::string("  Left at the root, ") + KeepReason(keep) + ": <" + entry.name +
                       ">");
            continue;
        }
        if (!config.enabled) {
            Report(entry.name, "off", "  Sorting is off, left at the root: <" + entry.name + ">");
            continue;
        }
        if (!watch.Settled(entry, nowMs)) {
            outcome.waiting = true;
            continue;
        }
        if (SortFile(entry, config, business, &outcome.waiting))
            ++outcome.moved;
    }

    if (outcome.moved > 0 && !sortedOnce) {
        sortedOnce = true;
        if (!config.firstDragShown)
            system.StartFirstDragNotice();
    }
    return outcome;
}

bool Sorter::SortFile(const RootEntry& entry, const SortConfig& config, bool business,
                      bool* waiting) {
    Category category = Category::Documents;
    CategoryOf(entry.name, &category);
    const CategoryFolder names = FolderFor(category, business);
    std::string base = config.root;
    std::string folderName = system.FolderName(names.myStringId, names.myName);
    if (!config.sortMyFolder) {
        if (config.publicFolder.empty()) {
            Report(entry.name, "no public folder",
                   "--- ERROR: No public folder to sort <" + entry.name + "> into");
            return false;
        }
        base = config.publicFolder;
        while (!base.empty() && base.back() == '\\')
            base.pop_back();
        folderName = system.FolderName(names.ourStringId, names.ourName);
    }
    const std::string folder = base + folderName;
    if (!system.MakeFolder(folder)) {
        Report(entry.name, "no folder", "--- ERROR: Cannot make the folder <" + folder + ">");
        return false;
    }
    const std::string from = config.root + "\\" + entry.name;
    for (int n = 1; n <= MAX_NUMBERED_NAMES; ++n) {
        const std::string to = folder + "\\" + NumberedName(entry.name, n);
        switch (system.Move(from, to, !config.sortMyFolder)) {
        case MoveResult::Moved:
            WriteLog(LOG_TRACE, "Sorted <%s> to <%s>", entry.name.c_str(), to.c_str());
            reported.erase(entry.name);
            watch.Forget(entry.name);
            return true;
        case MoveResult::Taken:
            continue;
        case MoveResult::Busy:
            // in use by another program: its settle time starts again
            Report(entry.name, "busy", "  In use, tried again later: <" + entry.name + ">");
            watch.Forget(entry.name);
            *waiting = true;
            return false;
        case MoveResult::Failed:
            Report(entry.name, "failed", "--- ERROR: Cannot move <" + from + "> to <" + to + ">");
            return false;
        }
    }
    Report(entry.name, "no name",
           "--- ERROR: No free name in <" + folder + "> for <" + entry.name + ">");
    return false;
}

bool Sorter::IsCategoryFolder(const std::string& name) {
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    if (categoryFolders.empty()) {
        for (const CategoryFolder& f : AllCategoryFolders()) {
            for (const std::string& folder : {system.FolderName(f.myStringId, f.myName),
                                              system.FolderName(f.ourStringId, f.ourName)}) {
                const size_t start = folder.find_first_not_of('\\');
                if (start != std::string::npos)
                    categoryFolders.push_back(lower(folder.substr(start)));
            }
        }
    }
    const std::string wanted = lower(name);
    for (const std::string& folder : categoryFolders) {
        if (folder == wanted)
            return true;
    }
    return false;
}

void Sorter::Report(const std::string& name, const std::string& state, const std::string& line) {
    auto it = reported.find(name);
    if (it != reported.end() && it->second == state)
        return;
    reported[name] = state;
    WriteLog(LOG_TRACE, "%s", line.c_str());
}

void Sorter::ReportState(const std::string& line) {
    if (line == rootState)
        return;
    rootState = line;
    WriteLog(LOG_TRACE, "%s", line.c_str());
}

} // namespace sorter
