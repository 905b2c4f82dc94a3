// Space used below a share and the backup engine's state files, read as the firmware would.
#include "appliance/backup_status.h"

#include <dirent.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace appliance {

namespace {

std::vector<std::string> Entries(const std::string& path) {
    std::vector<std::string> names;
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return names;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// YYYYMMDD of an MMDDYYYY date, so that dates compare as text.
std::string SortableDate(const std::string& date) { return date.substr(4, 4) + date.substr(0, 4); }

} // namespace

uint64_t FolderBytes(const std::string& path) {
    uint64_t total = 0;
    for (const std::string& name : Entries(path)) {
        const std::string child = path + "/" + name;
        struct stat st;
        if (lstat(child.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            total += FolderBytes(child);
        else if (S_ISREG(st.st_mode))
            total += static_cast<uint64_t>(st.st_size);
    }
    return total;
}

void SpaceInUnits(uint64_t bytes, unsigned* used, char* unit) {
    uint64_t value = bytes >> 10;
    *unit = 'K';
    if ((bytes >> 30) >= 1) {
        value = bytes >> 30;
        *unit = 'G';
    } else if ((bytes >> 20) >= 1) {
        value = bytes >> 20;
        *unit = 'M';
    }
    *used = static_cast<unsigned>(value > 65535 ? 65535 : value);
}

bool IsNewer(const BackupState& candidate, const BackupState& than) {
    if (candidate.date.size() != 8)
        return false;
    return than.date.size() != 8 || SortableDate(candidate.date) > SortableDate(than.date);
}

bool ParseBackupState(const std::string& text, BackupState* out) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.size() != 10 || line[8] != '\t' || line[9] < '0' || line[9] > '9')
        return false;
    for (int i = 0; i < 8; ++i)
        if (line[i] < '0' || line[i] > '9')
            return false;
    out->date = line.substr(0, 8);
    out->state = line[9];
    return true;
}

BackupState LatestBackupState(const std::string& shareFolder) {
    BackupState latest;
    for (const std::string& backupFolder : Entries(shareFolder)) {
        const std::string top = shareFolder + "/" + backupFolder;
        if (!IsFolder(top))
            continue;
        for (const std::string& computer : Entries(top)) {
            std::ifstream in(top + "/" + computer + "/" + kBackupStateFile, std::ios::binary);
            if (!in)
                continue;
            std::stringstream text;
            text << in.rdbuf();
            BackupState found;
            if (!ParseBackupState(text.str(), &found))
                continue;
            if (IsNewer(found, latest))
                latest = found;
        }
    }
    return latest;
}

} // namespace appliance
