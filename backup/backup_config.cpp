// The backup selection "KelBackConfig.txt": which folders go where on which appliance.
#include "backup/backup_config.h"

#include <climits>
#include <cstring>

namespace backup {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Collapses runs of c to one c; the first byte always stays. Returns the new length.
size_t CollapseRuns(char* b, size_t n, char c) {
    if (n == 0)
        return 0;
    size_t j = 1;
    for (size_t i = 1; i < n; ++i) {
        if (b[i] == c && b[j - 1] == c)
            continue;
        b[j++] = b[i];
    }
    return j;
}

} // namespace

uint32_t NormaliseSelectionText(char* b, uint32_t size) {
    // The five trailing zero bytes take part: they become the LF that ends the last line.
    size_t n = static_cast<size_t>(size) + 5;
    for (size_t i = 0; i < n; ++i) {
        if (b[i] == '\0' || b[i] == '\r')
            b[i] = '\n';
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        if (b[i] == '\n' && IsBlank(b[i + 1]))
            b[i + 1] = '\n';
    }
    for (size_t i = n - 1; i > 0; --i) {
        if (b[i] == '\n' && IsBlank(b[i - 1]))
            b[i - 1] = '\n';
    }
    for (size_t i = 0; i + 1 < n; ++i) {
        if (b[i] == '\t' && b[i + 1] == ' ')
            b[i + 1] = '\t';
    }
    for (size_t i = n - 1; i > 0; --i) {
        if (b[i] == '\t' && b[i - 1] == ' ')
            b[i - 1] = '\t';
    }
    n = CollapseRuns(b, n, '\n');
    n = CollapseRuns(b, n, '\t');
    // At least four of the five LFs made from the zero bytes were collapsed, so there is room.
    b[n] = '\0';
    return static_cast<uint32_t>(n);
}

std::string EntryLine(const BackupEntry& e) {
    std::string line = e.source + '\t' + e.destination;
    if (e.flag != 0)
        line += '\t' + std::to_string(e.flag);
    return line;
}

bool Contains(const std::string& text, const std::string& part) {
    return !part.empty() && text.find(part) != std::string::npos;
}

int32_t LeadingInt(const char* p, const char* end) {
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    int64_t v = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        v = v * 10 + (*p - '0');
        if (v > static_cast<int64_t>(INT32_MAX) + 1)
            v = static_cast<int64_t>(INT32_MAX) + 1;
        ++p;
    }
    if (negative)
        v = -v;
    if (v > INT32_MAX)
        v = INT32_MAX;
    return static_cast<int32_t>(v);
}

BackupConfig::BackupConfig(Platform* platform) : AppDataFile(platform) {
    UseDefaultName();
    Load();
}

BackupConfig::BackupConfig(const std::string& path, Platform* platform) : AppDataFile(platform) {
    path_ = path;
    Load();
}

bool BackupConfig::UseDefaultName() { return SetName(kBackupConfigName); }

bool BackupConfig::Parse() {
    size_ = NormaliseSelectionText(buffer_.get(), size_);
    cursor_ = 0;
    return true;
}

bool BackupConfig::Load() {
    Clear();
    bool ok = Read() && ParseEntries();
    ReleaseBuffer();
    return ok;
}

bool BackupConfig::ParseEntries() {
    const char* b = buffer_.get();
    const char* end = b + size_;
    for (;;) {
        const char* line = b + cursor_;
        const char* lf = static_cast<const char*>(std::memchr(line, '\n', end - line));
        const char* tab = static_cast<const char*>(std::memchr(line, '\t', end - line));
        if (!lf || !tab || tab > lf)
            return false;
        BackupEntry e;
        e.source.assign(line, tab);
        const char* tab2 = static_cast<const char*>(std::memchr(tab + 1, '\t', lf - (tab + 1)));
        if (tab2) {
            e.destination.assign(tab + 1, tab2);
            e.flag = LeadingInt(tab2 + 1, lf);
        } else {
            e.destination.assign(tab + 1, lf);
        }
        entries_.push_back(std::move(e));
        if (!NextLine())
            return true;
    }
}

bool BackupConfig::HasDestinationContaining(const std::string& text) const {
    for (const BackupEntry& e : entries_) {
        if (Contains(e.destination, text))
            return true;
    }
    return false;
}

int BackupConfig::FindEntry(const std::string& source, const std::string& root) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->source == source && Contains(it->destination, root))
            return it->flag == 0 ? 1 : -1;
    }
    return 0;
}

int BackupConfig::FindIncludedBelow(const std::string& source, const std::string& root) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->source.compare(0, source.size(), source) == 0 && Contains(it->destination, root))
            return it->flag == 0 ? 1 : 0;
    }
    return 0;
}

ShareBackupConfig::ShareBackupConfig(const std::string& shareRoot, Platform* platform)
    : BackupConfig(platform), shareRoot_(shareRoot) {
    ComputePrefix();
}

ShareBackupConfig::ShareBackupConfig(const std::string& shareRoot, const std::string& path,
                                     Platform* platform)
    : BackupConfig(path, platform), shareRoot_(shareRoot) {
    ComputePrefix();
}

void ShareBackupConfig::ComputePrefix() {
    std::string folder;
    if (!platform_->UserSetting("backupFolder", &folder))
        folder.clear();
    prefix_ = shareRoot_ + folder + '\\' + platform_->ComputerName() + '\\';
}

std::string ShareBackupConfig::DestinationFor(const std::string& source) const {
    std::string d = prefix_;
    for (char c : source) {
        if (c != ':')
            d += c;
    }
    return d;
}

std::unique_ptr<WriteHandle> ShareBackupConfig::RewriteKeepingOthers() {
    std::unique_ptr<WriteHandle> h = OpenForWrite(kAttrNormal, kCreateAlways, false);
    if (!h)
        return nullptr;
    std::vector<BackupEntry> kept;
    for (BackupEntry& e : entries_) {
        if (Contains(e.destination, shareRoot_))
            continue;
        WriteLine(*h, EntryLine(e));
        kept.push_back(std::move(e));
    }
    entries_ = std::move(kept);
    return h;
}

bool ShareBackupConfig::AddEntry(WriteHandle& handle, const std::string& source, int32_t flag) {
    BackupEntry e;
    e.source = source;
    e.destination = DestinationFor(source);
    e.flag = flag;
    bool ok = WriteLine(handle, EntryLine(e));
    entries_.push_back(std::move(e));
    return ok;
}

bool ShareBackupConfig::AppendItem(WriteHandle& handle, const BackupEntry& item) {
    if (!handle.SeekToEnd())
        return false;
    return AddEntry(handle, item.source, item.flag);
}

bool SnapshotBackupConfig(Platform* platform) {
    Platform& p = platform ? *platform : DefaultPlatform();
    std::string folder = p.DataFolder();
    return p.CopyOver(folder + kBackupConfigName, folder + kBackupSnapshotName);
}

} // namespace backup
