// Where older versions of backed-up files lie on the appliance, and how many a share keeps.
#include "backup/version_history.h"

#include "app/log.h"
#include "backup/backup_config.h"

namespace backup {

namespace {

// Joins two path parts with exactly one backslash between them.
std::string JoinPath(const LeadBytes& codePage, const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return a + b;
    bool aSlash = codePage.EndsInBackslash(a);
    bool bSlash = b.front() == '\\';
    if (aSlash && bSlash)
        return a + b.substr(1);
    if (aSlash || bSlash)
        return a + b;
    return a + '\\' + b;
}

} // namespace

HistoryLevelsFile::HistoryLevelsFile(Platform* platform) : AppDataFile(platform) {
    UseDefaultName();
}

bool HistoryLevelsFile::UseDefaultName() { return SetName(kHistoryLevelsName); }

bool HistoryLevelsFile::Parse() {
    std::string line;
    cursor_ = 0;
    while (ReadLine(&line)) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos)
            values_.emplace(std::string(), line);
        else
            values_.emplace(line.substr(0, tab), line.substr(tab + 1));
        if (!NextLine())
            break;
    }
    return true;
}

bool HistoryLevelsFile::WriteContents(WriteHandle& handle) {
    for (const auto& kv : values_) {
        if (!WriteLine(handle, kv.first + '\t' + kv.second))
            return false;
    }
    return true;
}

bool HistoryLevelsFile::Load() {
    values_.clear();
    bool ok = Read();
    ReleaseBuffer();
    return ok;
}

bool HistoryLevelsFile::Lookup(const std::string& key, std::string* value) const {
    auto it = values_.find(key);
    if (it == values_.end())
        return false;
    *value = it->second;
    return true;
}

VersionHistory::VersionHistory(Platform* platform)
    : platform_(platform ? platform : &DefaultPlatform()) {}

VersionHistory::~VersionHistory() = default;

int32_t VersionHistory::ReadLevels() {
    HistoryLevelsFile file(platform_);
    file.Load();
    std::string value;
    if (!file.Lookup(shareRoot_, &value))
        return kDefaultLevels;
    return LeadingInt(value.data(), value.data() + value.size());
}

bool VersionHistory::SetLevels(int32_t n) {
    HistoryLevelsFile file(platform_);
    // Saving over a file that is there but could not be read would leave one line of it.
    if (!file.Load() && !file.WasMissing()) {
        WriteLog(LOG_ERROR, "--- FAILED: Cannot read <%s>; it is left as it was",
                 file.Path().c_str());
        return false;
    }
    file.Set(shareRoot_, std::to_string(n));
    if (!file.Save(kAttrNormal, kCreateAlways, false))
        return false;
    levels_ = n;
    return true;
}

std::string VersionHistory::LevelFolder(int level) const {
    if (level < 2)
        return backupRoot_;
    return JoinPath(platform_->CodePage(), backupRoot_, "History\\Level" + std::to_string(level));
}

std::string VersionHistory::PathAtLevel(const std::string& path, int level) const {
    std::string rest = path.size() > backupRoot_.size() ? path.substr(backupRoot_.size()) : "";
    return JoinPath(platform_->CodePage(), LevelFolder(level), rest);
}

bool VersionHistory::VersionExists(const std::string& path, int level, FindData* out) const {
    return platform_->Find(PathAtLevel(path, level), out);
}

bool VersionHistory::HistoryFolder(std::string* out) const {
    if (backupRoot_.empty())
        return false;
    *out = JoinPath(platform_->CodePage(), backupRoot_, "History");
    return true;
}

std::string VersionHistory::LocalPathFor(const std::string& backupPath) const {
    size_t pos = backupRoot_.size();
    if (!backupRoot_.empty() && !platform_->CodePage().EndsInBackslash(backupRoot_) &&
        pos < backupPath.size() && backupPath[pos] == '\\')
        ++pos;
    if (pos >= backupPath.size())
        return std::string();
    return backupPath.substr(pos, 1) + ':' + backupPath.substr(pos + 1);
}

std::string VersionHistory::Rebase(const std::string& prefix, const std::string& path) const {
    if (path.size() <= shareRoot_.size())
        return prefix;
    return prefix + path.substr(shareRoot_.size());
}

ShareVersionHistory::ShareVersionHistory(Platform* platform) : VersionHistory(platform) {
    initialised_ = Init(nullptr);
}

ShareVersionHistory::ShareVersionHistory(const std::string& path, Platform* platform)
    : VersionHistory(platform) {
    initialised_ = Init(path.c_str());
}

bool ShareVersionHistory::Init(const char* path) {
    if (path) {
        SetRootFromPath(path);
        SetShareFromRoot();
        levels_ = ReadLevels();
        return true;
    }
    std::string share, folder;
    if (!platform_->UserSetting("sortFolder", &share) ||
        !platform_->UserSetting("backupFolder", &folder))
        return false;
    shareRoot_ = share;
    backupRoot_ = share + folder + '\\' + platform_->ComputerName() + '\\';
    levels_ = ReadLevels();
    return true;
}

bool ShareVersionHistory::TrimToBackupFolder(const std::string& path, std::string* out) {
    int end = platform_->CodePage().NthBackslash(path, 5);
    if (end < 0) {
        *out = path;
        return false;
    }
    *out = path.substr(0, static_cast<size_t>(end));
    return true;
}

void ShareVersionHistory::SetRootFromPath(const std::string& path) {
    int end = RootEnd(path);
    if (end >= 0)
        backupRoot_ = path.substr(0, static_cast<size_t>(end));
    else if (platform_->CodePage().NthBackslash(path, 5) >= 0)
        backupRoot_ = path; // the computer folder itself
    else
        backupRoot_.clear(); // not below a computer folder: no history there
}

void ShareVersionHistory::SetShareFromRoot() {
    int end = platform_->CodePage().NthBackslash(backupRoot_, 4);
    shareRoot_ = end < 0 ? backupRoot_ : backupRoot_.substr(0, static_cast<size_t>(end));
}

int ShareVersionHistory::RootEnd(const std::string& path) {
    return platform_->CodePage().NthBackslash(path, 6);
}

} // namespace backup
