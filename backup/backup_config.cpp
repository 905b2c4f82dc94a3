// The backup selection "KelBackConfig.txt": which folders go where on which appliance.
#include "backup/backup_config.h"

#include "app/log.h"

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

// Passes writes through; when the new content does not replace the file (a failed close, or a
// writer dropped unclosed), the list becomes what the file still holds.
class ListKeepingWriter : public WriteHandle {
public:
    ListKeepingWriter(std::unique_ptr<WriteHandle> inner, std::vector<BackupEntry>* list,
                      std::vector<BackupEntry> fileList)
        : inner_(std::move(inner)), list_(list), fileList_(std::move(fileList)) {}
    ~ListKeepingWriter() override {
        if (!closed_)
            *list_ = std::move(fileList_);
    }
    bool Write(const char* data, size_t n) override { return inner_->Write(data, n); }
    bool SeekToEnd() override { return inner_->SeekToEnd(); }
    bool Close() override {
        if (closed_)
            return false;
        closed_ = true;
        bool ok = inner_->Close();
        if (!ok)
            *list_ = std::move(fileList_);
        return ok;
    }

private:
    std::unique_ptr<WriteHandle> inner_;
    std::vector<BackupEntry>* list_;
    std::vector<BackupEntry> fileList_;
    bool closed_ = false;
};

} // namespace

std::string UnreadableLinesPath(const std::string& path) {
    // ".txt" is plain ASCII below 0x40 at its start, so it cannot be the tail of a character.
    if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".txt") == 0)
        return path.substr(0, path.size() - 4) + "_bad.txt";
    return path + "_bad";
}

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

bool ContainsPath(const LeadBytes& codePage, const std::string& path, const std::string& root) {
    if (root.empty())
        return false;
    bool rootEnds = codePage.EndsInBackslash(root);
    for (size_t at = codePage.Find(path, root); at != std::string::npos;
         at = codePage.Find(path, root, at + 1)) {
        size_t after = at + root.size();
        size_t end = at;
        while (end < after)
            end = codePage.CharEnd(path, end);
        if (end != after)
            continue; // root ends on the first byte of a character
        if (rootEnds || after == path.size() || path[after] == '\\')
            return true;
    }
    return false;
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

bool BackupConfig::WriteContents(WriteHandle& handle) {
    for (const BackupEntry& e : entries_) {
        if (!WriteLine(handle, EntryLine(e)))
            return false;
    }
    return true;
}

std::unique_ptr<WriteHandle> BackupConfig::OpenForWrite(uint32_t attributes, uint32_t disposition,
                                                        bool append) {
    std::unique_ptr<WriteHandle> h = AppDataFile::OpenForWrite(attributes, disposition, append);
    if (!h)
        return nullptr;
    return KeepListInStep(std::move(h), entries_);
}

std::unique_ptr<WriteHandle> BackupConfig::KeepListInStep(std::unique_ptr<WriteHandle> inner,
                                                          std::vector<BackupEntry> fileList) {
    return std::make_unique<ListKeepingWriter>(std::move(inner), &entries_, std::move(fileList));
}

bool BackupConfig::Holds(const std::string& destination, const std::string& root) const {
    return ContainsPath(platform_->CodePage(), destination, root);
}

bool BackupConfig::Load() {
    Clear();
    bool ok = Read() && ParseEntries(&entries_);
    ReleaseBuffer();
    return ok;
}

bool BackupConfig::ParseEntries(std::vector<BackupEntry>* out, std::vector<std::string>* bad,
                                size_t* loaded) {
    const char* b = buffer_.get();
    const char* end = b + size_;
    bool whole = true;
    if (loaded)
        *loaded = 0;
    for (;;) {
        const char* line = b + cursor_;
        const char* lf = static_cast<const char*>(std::memchr(line, '\n', end - line));
        const char* tab =
            lf ? static_cast<const char*>(std::memchr(line, '\t', lf - line)) : nullptr;
        if (!tab) {
            if (whole && loaded)
                *loaded = out->size();
            if (!bad || !lf)
                return false;
            whole = false;
            if (lf > line)
                bad->emplace_back(line, lf);
            if (!NextLine())
                return false;
            continue;
        }
        BackupEntry e;
        e.source.assign(line, tab);
        const char* tab2 = static_cast<const char*>(std::memchr(tab + 1, '\t', lf - (tab + 1)));
        if (tab2) {
            e.destination.assign(tab + 1, tab2);
            e.flag = LeadingInt(tab2 + 1, lf);
        } else {
            e.destination.assign(tab + 1, lf);
        }
        out->push_back(std::move(e));
        if (!NextLine()) {
            if (whole && loaded)
                *loaded = out->size();
            return whole;
        }
    }
}

bool BackupConfig::HasDestinationContaining(const std::string& text) const {
    for (const BackupEntry& e : entries_) {
        if (Holds(e.destination, text))
            return true;
    }
    return false;
}

int BackupConfig::FindEntry(const std::string& source, const std::string& root) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->source == source && Holds(it->destination, root))
            return it->flag == 0 ? 1 : -1;
    }
    return 0;
}

int BackupConfig::FindIncludedBelow(const std::string& source, const std::string& root) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->source.compare(0, source.size(), source) == 0 && Holds(it->destination, root))
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
    return prefix_ + platform_->CodePage().Without(source, ':');
}

std::unique_ptr<WriteHandle> ShareBackupConfig::RewriteKeepingOthers() {
    // What the file holds now, every line of it: the list may be older than the file, and it
    // ends at the first malformed line, while entries of other appliances may follow that line.
    std::vector<BackupEntry> all;
    std::vector<std::string> bad;
    size_t loaded = 0;
    if (Read()) {
        ParseEntries(&all, &bad, &loaded);
    } else if (!WasMissing()) {
        ReleaseBuffer();
        WriteLog(LOG_ERROR, "--- FAILED: Cannot read <%s>; it is left as it was", path_.c_str());
        return nullptr;
    }
    ReleaseBuffer();
    std::vector<BackupEntry> fileList(all.begin(), all.begin() + loaded);

    std::unique_ptr<WriteHandle> h = AppDataFile::OpenForWrite(kAttrNormal, kCreateAlways, false);
    if (!h)
        return nullptr;
    if (!bad.empty()) {
        // Kept before the file can lose them: the writer above holds the file meanwhile.
        std::string side = UnreadableLinesPath(path_);
        std::unique_ptr<WriteHandle> s = platform_->OpenWrite(side, kAttrNormal, kOpenAlways, true);
        bool kept = s && s->SeekToEnd();
        for (size_t i = 0; kept && i < bad.size(); ++i)
            kept = WriteLine(*s, bad[i]);
        if (!kept || !s->Close()) {
            WriteLog(LOG_ERROR, "--- FAILED: Cannot keep the unreadable lines of <%s> in <%s>",
                     path_.c_str(), side.c_str());
            return nullptr;
        }
        WriteLog(LOG_ERROR, "--- ERROR: %u unreadable lines of <%s> kept in <%s>",
                 static_cast<unsigned>(bad.size()), path_.c_str(), side.c_str());
    }
    std::vector<BackupEntry> kept;
    for (BackupEntry& e : all) {
        if (Holds(e.destination, shareRoot_))
            continue;
        WriteLine(*h, EntryLine(e));
        kept.push_back(std::move(e));
    }
    entries_ = std::move(kept);
    return KeepListInStep(std::move(h), std::move(fileList));
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
