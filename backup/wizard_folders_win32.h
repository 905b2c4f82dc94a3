// The backup wizard's folder page (581): the check-box tree of this computer's drives and
// folders, loaded as the user opens them, and the selection written on Next.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "backup/folder_tree.h"
#include "backup/platform.h"
#include "skin/screen_win32.h"

namespace backup {

// A loader's sub-folders of one item, posted with a letter that holds them.
constexpr UINT WM_FOLDERS_LOADED = WM_APP + 0x80;
// A check-box click, applied once the tree has handled the click itself.
constexpr UINT WM_FOLDER_CHECK = WM_APP + 0x81;

// What the page reads of this computer; the tests give it drives and a documents folder of their
// own.
class FolderSource {
public:
    virtual ~FolderSource() = default;
    // The full path of the user's documents folder, or empty.
    virtual std::string DocumentsFolder();
    // The roots of the drives the page lists (network, CD-ROM and RAM drives and A: and B: left
    // out).
    virtual std::vector<std::string> Drives();
    // The names of the sub-folders of a folder (path ends in a backslash for a drive); for a
    // drive root the hidden system folders are left out. Runs on the loader's thread too.
    static std::vector<std::string> SubFolders(const std::string& path, bool root);
};

// Gives a tree its check boxes before it is filled (Wine shows checks given earlier as unchecked)
// and adds the partly selected image (3) to the control's own unchecked and checked ones.
void PrepareCheckBoxes(HWND tree);

class WizardFoldersScreen : public skin::Screen {
public:
    // source null: this computer's own.
    explicit WizardFoldersScreen(const std::string& shareRoot, Platform* platform = nullptr,
                                 FolderSource* source = nullptr);
    ~WizardFoldersScreen() override;

    const FolderTree& Tree() const { return *tree; }

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // After the sub-folders of an item have been put in the tree (tests wait for it).
    virtual void FoldersLoaded(int /*node*/) {}

private:
    HWND TreeWindow() const;
    HTREEITEM Insert(int node, HTREEITEM parent);
    void ShowState(int node);
    int NodeOf(HTREEITEM item) const;
    LRESULT OnTreeNotify(NMHDR* header);
    void StartLoading(int node);
    void StartNextLoader();
    void TakeFolders(LPARAM lParam);
    void Next();

    std::string shareRoot;
    Platform* platform;
    FolderSource ownSource;
    FolderSource* source;
    std::unique_ptr<ShareBackupConfig> config;
    std::unique_ptr<FolderTree> tree;
    std::vector<HTREEITEM> items; // by node
    std::vector<bool> requested;  // by node: its sub-folders have been asked for
    std::deque<int> waiting;      // items whose sub-folders are still to be read
    bool loaderRunning = false;
};

} // namespace backup
