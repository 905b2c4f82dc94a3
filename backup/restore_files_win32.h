// The restore page (588): the backup folders of every computer on the share, the versions of a
// chosen file, and the restore of one version with progress, cancel and the replace question.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "backup/restore.h"
#include "skin/screen_win32.h"

namespace backup {

// Posted to the page: a folder's listing (a letter), the copy's percentage (wParam), the end of
// a restore (wParam = 0 or the system's error code), a click on the version tree.
constexpr UINT WM_RESTORE_FOLDER_LISTED = WM_APP + 0x80;
constexpr UINT WM_RESTORE_PROGRESS = WM_APP + 0x81;
constexpr UINT WM_RESTORE_DONE = WM_APP + 0x82;
constexpr UINT WM_RESTORE_VERSION_CLICK = WM_APP + 0x83;

// What a folder-tree item stands for (its lParam).
enum RestoreItemKind : LPARAM { kPlaceholderItem = 0, kFolderItem = 1, kFileItem = 2 };

// Ends with 102 (Done), 101 (Back) or 100.
class RestoreFilesScreen : public skin::Screen {
public:
    RestoreFilesScreen(const std::string& shareDriveLetter, const std::string& sortFolder);
    ~RestoreFilesScreen() override;

    // The folder-tree item's path on the appliance (the root's is share root + "\My Backup").
    std::string ItemPathOf(HTREEITEM item) const;

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnDestroy() override;
    HBRUSH ControlColour(HDC dc, HWND control) override;

    // The personal-documents folder + "\TOVRestore", or empty without a documents folder.
    virtual std::string TemporaryFolder();
    // Observation points for tests, on the page's thread.
    virtual void FolderListed(HTREEITEM /*item*/) {}
    virtual void VersionsListed() {}
    virtual void VersionChecked() {}
    virtual void ProgressShown(int /*percent*/) {}
    virtual void RestoreEnded(DWORD /*error*/) {}

private:
    struct Listing;

    HWND FolderTree() const;
    HWND VersionTree() const;

    void MakeImages();
    HTREEITEM AddItem(HTREEITEM parent, const std::string& text, RestoreItemKind kind);
    bool HasPlaceholder(HTREEITEM item) const;
    void RequestListing(HTREEITEM item);
    void StartNextListing();
    void TakeListing(LPARAM lParam);
    void OnFolderSelected(HTREEITEM item);
    void ClearVersions();
    void ListVersionsOf(HTREEITEM file);
    void OnVersionClick();
    int CheckedPosition() const;
    void ShowIdle();
    void ShowBusy();
    void Restore();
    void StartRestore(const std::string& dir, const std::string& name, int level,
                      const std::string& prefix);
    void ShowProgress(int percent);
    void EndRestore(DWORD error);
    void CancelRestore();
    void ShowTemporaryChoice();
    std::string String(int id) const;

    std::string driveLetter;
    std::string shareRoot;
    std::string temporaryFolder;
    HIMAGELIST images = nullptr;
    HTREEITEM root = nullptr;
    std::deque<HTREEITEM> pendingListings;
    bool listing = false;

    // the file whose versions are shown, and the versions in the tree's order
    std::string versionsDir, versionsName;
    std::vector<FileVersion> versions;
    HTREEITEM versionRoot = nullptr;
    std::vector<HTREEITEM> versionItems;
    std::vector<bool> versionChecks;

    bool restoring = false;
    int lastPercent = 0;
    std::shared_ptr<std::atomic<bool>> cancel;
};

} // namespace backup
