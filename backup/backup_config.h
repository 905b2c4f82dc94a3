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

// Where a rewrite keeps the lines of a selection file that it cannot read as entries: beside the
// file, its name with "_bad" before ".txt" ("KelBackConfig_bad.txt").
std::string UnreadableLinesPath(const std::string& path);

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
    bool WriteContents(WriteHandle& handle) override;
    // The handle must be closed or dropped before this object goes: when the new content does
    // not replace the file, the list goes back to what the file holds.
    std::unique_ptr<WriteHandle> OpenForWrite(uint32_t attributes, uint32_t disposition,
                                              bool append) override;

    bool Load();
    void Clear() { entries_.clear(); }
    bool HasDestinationContaining(const std::string& text) const;
    int FindEntry(const std::string& source, const std::string& root) const;
    int FindIncludedBelow(const std::string& source, const std::string& root) const;

    const std::vector<BackupEntry>& Entries() const { return entries_; }

protected:
    // Parses the normalised lines from the cursor into out. A malformed line ends the parse
    // unless bad is given: then the line goes there (an empty one is dropped) and the parse reads
    // on. *loaded, when given, counts the entries before the first malformed line. Result: every
    // line was an entry.
    bool ParseEntries(std::vector<BackupEntry>* out, std::vector<std::string>* bad = nullptr,
                      size_t* loaded = nullptr);
    // Whether destination lies below root (see ContainsPath) in this computer's code page.
    bool Holds(const std::string& destination, const std::string& root) const;
    // A writer that sets the list to fileList when its content does not replace the file.
    std::unique_ptr<WriteHandle> KeepListInStep(std::unique_ptr<WriteHandle> inner,
                                                std::vector<BackupEntry> fileList);

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
    // this share's entries; the new content replaces the file when the handle is closed. The
    // file is read again first, every line of it: entries of other shares past a malformed line
    // stay too, and the malformed lines are kept in UnreadableLinesPath. Null when the file
    // exists but cannot be read, when those lines cannot be kept, or when it cannot be opened;
    // the file and the list are then unchanged.
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

// Whether root stands in path as a whole: it begins on a character and is followed by a
// backslash or the end (or ends in one itself), so "\\S\P" is not found in "\\S\PX\..." and
// no match starts on the second byte of a character. An empty root is contained nowhere.
bool ContainsPath(const LeadBytes& codePage, const std::string& path, const std::string& root);

// The decimal number at the start of text after leading white space, with an optional sign;
// 0 when there are no digits. Saturates instead of overflowing.
int32_t LeadingInt(const char* text, const char* end);

} // namespace backup
