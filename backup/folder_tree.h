// The backup wizard's folder page without its window: the check-box tree, its click rules, the
// item paths and the selection that Next writes.
#pragma once

#include "backup/backup_config.h"

#include <cstdint>
#include <string>
#include <vector>

namespace backup {

// The tree's state images.
enum class CheckState { Unchecked = 1, Checked = 2, Partly = 3 };

// The drive types the system reports (GetDriveType).
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveFixed = 3;
constexpr unsigned kDriveRemote = 4;
constexpr unsigned kDriveCdRom = 5;
constexpr unsigned kDriveRamDisk = 6;

// Whether a drive root ("C:\") of this type is listed: network drives, CD-ROM drives, RAM disks
// and A: and B: are not.
bool ListsDrive(const std::string& root, unsigned type);

// The roots of a logical drive string list (roots separated by zero bytes, ended by two).
std::vector<std::string> SplitDriveStrings(const char* strings, size_t size);

// Whether a directory entry becomes a folder item: directories other than those whose attributes
// are exactly directory + hidden + system (0x16), never "." and "..".
bool ListsFolder(const std::string& name, uint32_t attributes);

// The last component of a path ("C:\Users\Anne\My Documents" gives "My Documents").
std::string LastComponent(const std::string& path);

// One configured source of this share, as the selection file holds it.
struct ConfiguredSource {
    std::string source;
    int32_t flag = 0;
};

// The configured sources of one share: the entries whose destination lies below its root.
std::vector<ConfiguredSource> ConfiguredSourcesOf(const ShareBackupConfig& config);

class FolderTree {
public:
    static constexpr int kRoot = -1;

    struct Node {
        std::string text;
        // The full path of the folder (empty for a placeholder).
        std::string path;
        CheckState state = CheckState::Unchecked;
        // Whether the folder itself is backed up: always for Checked, never for Unchecked; a
        // Partly item is included when something below it was excluded, and not when something
        // below it was included.
        bool included = false;
        bool placeholder = false;
        // The user's click on this item or above it decided it and everything below it: the
        // configured sources below it no longer stand for unseen folders.
        bool decided = false;
        int parent = kRoot;
        std::vector<int> children;
    };

    explicit FolderTree(std::vector<ConfiguredSource> configured = {})
        : configured_(std::move(configured)) {}

    // The documents item (its text is the folder's name, its path the full path) and the drives;
    // each with a placeholder child. Their initial states come from the configured sources.
    int AddDocuments(const std::string& fullPath);
    int AddDrive(const std::string& root);
    // A folder below parent with a placeholder of its own; its state follows the parent and the
    // configured sources. An unchecked parent with an included child shows partly selected.
    int AddFolder(int parent, const std::string& name);

    // Whether the item's first child is the placeholder (it has never been expanded).
    bool NeverExpanded(int id) const;
    // Removes the placeholder child; its id is given back (-1 when there was none).
    int RemovePlaceholder(int id);

    // A click on the check box: the new state for the item and its loaded descendants, the
    // ancestors shown partly selected or unchecked. The items whose state changed, in order.
    std::vector<int> Toggle(int id);

    // The path of an item: the texts of the item and its ancestors joined with backslashes (a
    // drive text already ends in one), the documents item standing for its full path.
    std::string ItemPath(int id) const;

    // The selection in writing order, as (source, flag) pairs.
    std::vector<ConfiguredSource> Selection() const;

    const Node& At(int id) const { return nodes_[static_cast<size_t>(id)]; }
    const std::vector<int>& TopLevel() const { return top_; }
    size_t Size() const { return nodes_.size(); }
    // The item with this text among the children of parent (kRoot: the top level), or -1.
    int Child(int parent, const std::string& text) const;

private:
    int AddNode(int parent, const std::string& text, const std::string& path);
    void SetInitial(int id, bool parentIncluded);
    int Exact(const std::string& path) const;
    void Below(const std::string& path, bool* included, bool* excluded) const;
    void SetState(int id, CheckState state, bool included, std::vector<int>* changed);
    void Walk(const std::vector<int>& list, bool inside, std::vector<ConfiguredSource>* out,
              std::vector<bool>* used) const;
    void KeepConfiguredBelow(const std::string& path, std::vector<ConfiguredSource>* out,
                             std::vector<bool>* used) const;

    std::vector<ConfiguredSource> configured_;
    std::vector<Node> nodes_;
    std::vector<int> top_;
    int documents_ = -1;
};

// Writes the selection for the share: the entries of other shares stay as they were, this
// share's are replaced by the tree's. False when the file could not be replaced.
bool WriteSelection(ShareBackupConfig& config, const FolderTree& tree);

} // namespace backup
