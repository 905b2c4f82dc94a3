// The backup selection "KelBackConfig.txt": which folders go where on which appliance.
#pragma once

#include "backup/app_data_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace backup {

struct BackupEntry {
    std::string source;      // the folder on this computer
    std::string destination; // the folder on the appliance that receives it
    int32_t flag = 0;        // 0 included with everything below, 1 excluded; others kept as read
};

constexpr const char* kBackupConfigName = "KelBackConfig.txt";
constexpr const char* kBackupSnapshotName = "KelBackConfig_tmp.txt";

// Normalises the text of a selection file in place. buffer holds size bytes followed by at least
// five zero bytes; returns the new length (the text is then zero-terminated). Blank lines and
// white space around fields go, and any run of blanks and TABs between fields becomes one TAB.
uint32_t NormaliseSelectionText(char* buffer, uint32_t size);

// The line written for an entry: source, TAB, destination, and TAB and flag when it is not 0.
std::string EntryLine(const BackupEntry& entry);

class BackupConfig : public AppDataFile {
public:
    // No path: the shared file in the data folder. Loads at once.
    explicit BackupConfig(Platform* platform = nullptr);
    BackupConfig(const std::string& path, Platform* platform = nullptr);

    bool UseDefaultName() override;
    bool Parse() override;

    bool Load();
    void Clear() { entries_.clear(); }
    bool HasDestinationContaining(const std::string& text) const;
    int FindEntry(const std::string& source, const std::string& root) const;
    int FindIncludedBelow(const std::string& source, const std::string& root) const;

    const std::vector<BackupEntry>& Entries() const { return entries_; }

protected:
    bool ParseEntries();

    std::vector<BackupEntry> entries_;
};

class ShareBackupConfig : public BackupConfig {
public:
    explicit ShareBackupConfig(const std::string& shareRoot, Platform* platform = nullptr);
    ShareBackupConfig(const std::string& shareRoot, const std::string& path,
                      Platform* platform = nullptr);

    bool AppendItem(WriteHandle& handle, const BackupEntry& item) override;

    using BackupConfig::FindEntry;
    using BackupConfig::FindIncludedBelow;
    int FindEntry(const std::string& source) const { return FindEntry(source, prefix_); }
    int FindIncludedBelow(const std::string& source) const {
        return FindIncludedBelow(source, prefix_);
    }
    std::string DestinationFor(const std::string& source) const;
    // Empties the file, writes back every entry of other shares and returns the open handle for
    // this share's entries; the new content replaces the file when the handle is closed. Null
    // when the file cannot be opened, and the list is then unchanged.
    std::unique_ptr<WriteHandle> RewriteKeepingOthers();
    bool AddEntry(WriteHandle& handle, const std::string& source, int32_t flag);

    const std::string& ShareRoot() const { return shareRoot_; }
    const std::string& DestinationPrefix() const { return prefix_; }

private:
    void ComputePrefix();

    std::string shareRoot_;
    std::string prefix_;
};

// Copies the selection file over its snapshot in the same folder.
bool SnapshotBackupConfig(Platform* platform = nullptr);

// Plain substring search; an empty text is contained nowhere.
bool Contains(const std::string& text, const std::string& part);

// The decimal number at the start of text after leading white space, with an optional sign;
// 0 when there are no digits. Saturates instead of overflowing.
int32_t LeadingInt(const char* text, const char* end);

} // namespace backup
