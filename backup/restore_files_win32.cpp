// The restore page's trees, its folder loader, its version choice and its restore thread.
#include "backup/restore_files_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include "app/globals.h"
#include "app/log.h"
#include "backup/replace_question_win32.h"
#include "backup/restore_win32.h"
#include "backup/status_table.h"
#include "res/resource.h"
#include "setup/launch.h"
#include "setup/message_dialog_win32.h"
#include "setup/message_table.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace backup {

namespace {

constexpr int kFolderImage = 0;
constexpr int kOpenFolderImage = 1;
constexpr int kFileImage = 2;
// Where the "Restoring file:" label lies on the face; repainted with every new percentage.
constexpr RECT kRestoringArea = {100, 270, 300, 290};

bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool ItemChecked(HWND tree, HTREEITEM item) {
    const LRESULT state =
        SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK);
    return ((state & TVIS_STATEIMAGEMASK) >> 12) == 2;
}

void SetItemChecked(HWND tree, HTREEITEM item, bool on) {
    TVITEMA tv{};
    tv.mask = TVIF_STATE;
    tv.hItem = item;
    tv.stateMask = TVIS_STATEIMAGEMASK;
    tv.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

LPARAM KindOf(HWND tree, HTREEITEM item) {
    TVITEMA tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
        return kPlaceholderItem;
    return tv.lParam;
}

std::string TextOf(HWND tree, HTREEITEM item) {
    char text[MAX_PATH + 1] = "";
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

// The server's name of a share root \\server\share, for the replace question's heading.
std::string ServerOf(const std::string& shareRoot) {
    if (shareRoot.compare(0, 2, "\\\\") != 0)
        return shareRoot;
    const size_t end = shareRoot.find('\\', 2);
    return shareRoot.substr(2, end == std::string::npos ? std::string::npos : end - 2);
}

HICON ShellIcon(DWORD attributes, UINT extra) {
    SHFILEINFOA info{};
    const char* name = attributes & FILE_ATTRIBUTE_DIRECTORY ? "folder" : "file";
    if (!SHGetFileInfoA(name, attributes, &info, sizeof info,
                        SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_SMALLICON | extra))
        return nullptr;
    return info.hIcon;
}

} // namespace

// A folder's entries as the loader found them.
struct RestoreFilesScreen::Listing {
    HTREEITEM item = nullptr;
    std::vector<std::pair<std::string, bool>> entries; // name, is a folder
};

RestoreFilesScreen::RestoreFilesScreen(const std::string& shareDriveLetter,
                                       const std::string& sortFolder)
    : Screen(IDD_RESTORE_FILES), driveLetter(shareDriveLetter), shareRoot(sortFolder) {}

RestoreFilesScreen::~RestoreFilesScreen() {
    if (images)
        ImageList_Destroy(images);
}

HWND RestoreFilesScreen::FolderTree() const { return Item(IDC_FOLDER_TREE); }
HWND RestoreFilesScreen::VersionTree() const { return Item(IDC_VERSION_TREE); }

std::string RestoreFilesScreen::String(int id) const {
    return skin::LoadString(static_cast<UINT>(id));
}

std::string RestoreFilesScreen::TemporaryFolder() {
    char folder[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, folder)) || !folder[0])
        return std::string();
    return folder + String(STR_TEMPORARY_FOLDER);
}

void RestoreFilesScreen::MakeImages() {
    images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 0);
    if (!images)
        return;
    const HICON icons[3] = {ShellIcon(FILE_ATTRIBUTE_DIRECTORY, 0),
                            ShellIcon(FILE_ATTRIBUTE_DIRECTORY, SHGFI_OPENICON),
                            ShellIcon(FILE_ATTRIBUTE_NORMAL, 0)};
    for (HICON icon : icons) {
        ImageList_AddIcon(images, icon ? icon : LoadIcon(nullptr, IDI_APPLICATION));
        if (icon)
            DestroyIcon(icon);
    }
    SendMessageA(FolderTree(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    SendMessageA(VersionTree(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

bool RestoreFilesScreen::OnInitDialog() {
    InitSkin(IDB_BG_RESTORE);
    skin::PlaceControls(*this, IDD_RESTORE_FILES);
    SetItemText(IDC_RESTORE_ORIGINAL, String(127));
    SetItemText(IDC_RESTORE_TEMPORARY, String(128));
    ApplyJapaneseFont({IDC_RESTORE_ORIGINAL, IDC_RESTORE_TEMPORARY});
    skin::SetLabelText(*this, IDC_RESTORING, TextBeforePercentOne(String(STR_RESTORING)));
    SendDlgItemMessageA(Hwnd(), IDC_RESTORE_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageA(Hwnd(), IDC_RESTORE_PROGRESS, PBM_SETPOS, 1, 0);

    temporaryFolder = TemporaryFolder();
    skin::SetLabelText(*this, IDC_RESTORE_TEMP_FOLDER, temporaryFolder);
    SendDlgItemMessageA(Hwnd(), IDC_RESTORE_ORIGINAL, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(Hwnd(), IDC_RESTORE_TEMPORARY, BM_SETCHECK, BST_UNCHECKED, 0);
    EnableItem(IDC_RESTORE_TEMPORARY, !temporaryFolder.empty());
    ShowTemporaryChoice();

    // check boxes given after creation, or the checks set now would not show
    HWND versionsTree = VersionTree();
    SetWindowLongA(versionsTree, GWL_STYLE,
                   GetWindowLongA(versionsTree, GWL_STYLE) | TVS_CHECKBOXES);
    MakeImages();

    root = AddItem(TVI_ROOT, shareRoot, kFolderItem);
    RequestListing(root);
    ShowIdle();
    SetFocusTo(IDC_FOLDER_TREE);
    return false;
}

HTREEITEM RestoreFilesScreen::AddItem(HTREEITEM parent, const std::string& text,
                                      RestoreItemKind kind) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = const_cast<char*>(text.c_str());
    ins.item.lParam = kind;
    ins.item.iImage = kind == kFileItem ? kFileImage : kFolderImage;
    ins.item.iSelectedImage = kind == kFileItem ? kFileImage : kOpenFolderImage;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageA(FolderTree(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    if (item && kind == kFolderItem && parent != TVI_ROOT)
        AddItem(item, "", kPlaceholderItem);
    return item;
}

bool RestoreFilesScreen::HasPlaceholder(HTREEITEM item) const {
    HTREEITEM child = Next(FolderTree(), item, TVGN_CHILD);
    return child && KindOf(FolderTree(), child) == kPlaceholderItem;
}

std::string RestoreFilesScreen::ItemPathOf(HTREEITEM item) const {
    std::vector<std::string> texts;
    for (HTREEITEM at = item; at && at != root; at = Next(FolderTree(), at, TVGN_PARENT))
        texts.insert(texts.begin(), TextOf(FolderTree(), at));
    return ItemPath(shareRoot + String(STR_BACKUP_FOLDER), texts);
}

void RestoreFilesScreen::RequestListing(HTREEITEM item) {
    pendingListings.push_back(item);
    if (!listing)
        StartNextListing();
}

void RestoreFilesScreen::StartNextListing() {
    while (!pendingListings.empty() && !listing) {
        HTREEITEM item = pendingListings.front();
        pendingListings.pop_front();
        const std::string folder = ItemPathOf(item);
        // one loader at a time; it holds only its own copies and the link
        listing = StartWorker(0, [item, folder](skin::WorkerLink& link) -> uint32_t {
            WriteLog(LOG_TRACE, "Restore Folder Loader Thread Started...");
            Listing found;
            found.item = item;
            const std::string hidden = HiddenHistoryFolder(folder);
            WIN32_FIND_DATAA data;
            HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
            if (find != INVALID_HANDLE_VALUE) {
                do {
                    const EntryKind kind = ClassifyEntry(data.cFileName, data.dwFileAttributes);
                    if (kind == EntryKind::Skip)
                        continue;
                    // the computer's older versions are reached through the version list only
                    if (kind == EntryKind::Folder && !hidden.empty() &&
                        SamePath(folder + '\\' + data.cFileName, hidden))
                        continue;
                    found.entries.push_back({data.cFileName, kind == EntryKind::Folder});
                } while (FindNextFileA(find, &data));
                FindClose(find);
            }
            link.DeliverValue(WM_RESTORE_FOLDER_LISTED, std::move(found));
            WriteLog(LOG_TRACE, "Restore Folder Loader Thread Ended...");
            return 0;
        });
        if (!listing)
            WriteLog(LOG_ERROR, "--- FAILED: Could not start the folder loader for <%s>",
                     folder.c_str());
    }
}

void RestoreFilesScreen::TakeListing(LPARAM lParam) {
    std::unique_ptr<skin::Parcel<Listing>> found = Link()->TakeValue<Listing>(lParam);
    if (!found)
        return;
    listing = false;
    const Listing& l = found->value;
    for (const auto& entry : l.entries)
        AddItem(l.item, entry.first, entry.second ? kFolderItem : kFileItem);
    SendMessageA(FolderTree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(l.item));
    SendMessageA(FolderTree(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(l.item));
    FolderListed(l.item);
    StartNextListing();
}

void RestoreFilesScreen::OnFolderSelected(HTREEITEM item) {
    if (!item)
        return;
    const LPARAM kind = KindOf(FolderTree(), item);
    if (kind == kFileItem) {
        ListVersionsOf(item);
        return;
    }
    ClearVersions();
    if (kind == kFolderItem && HasPlaceholder(item)) {
        SendMessageA(FolderTree(), TVM_DELETEITEM, 0,
                     reinterpret_cast<LPARAM>(Next(FolderTree(), item, TVGN_CHILD)));
        RequestListing(item);
    }
}

void RestoreFilesScreen::ClearVersions() {
    SendMessageA(VersionTree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    versionRoot = nullptr;
    versionItems.clear();
    versionChecks.clear();
    versions.clear();
    versionsDir.clear();
    versionsName.clear();
    if (!restoring)
        EnableItem(IDC_RESTORE, false);
}

void RestoreFilesScreen::ListVersionsOf(HTREEITEM file) {
    ClearVersions();
    const std::string path = ItemPathOf(file);
    versionsDir = DirectoryOf(path);
    versionsName = NameOf(path);
    versions = ListVersions(versionsDir, versionsName);

    HWND tree = VersionTree();
    TVINSERTSTRUCTA ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.iImage = ins.item.iSelectedImage = kFileImage;
    ins.item.pszText = const_cast<char*>(versionsName.c_str());
    versionRoot = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    for (const FileVersion& v : versions) {
        const std::string text = VersionText(v.data.lastWriteTime);
        ins.hParent = versionRoot;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = const_cast<char*>(text.c_str());
        versionItems.push_back(reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins))));
    }
    versionChecks.assign(versionItems.size(), false);
    // the lowest level found is checked with the root
    SetItemChecked(tree, versionRoot, !versionItems.empty());
    for (size_t i = 0; i < versionItems.size(); ++i) {
        versionChecks[i] = i == 0;
        SetItemChecked(tree, versionItems[i], i == 0);
    }
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(versionRoot));
    if (!restoring)
        EnableItem(IDC_RESTORE, CheckedPosition() >= 0);
    VersionsListed();
}

void RestoreFilesScreen::OnVersionClick() {
    HWND tree = VersionTree();
    // the version whose box has just become checked is the only one checked
    int newlyChecked = -1;
    for (size_t i = 0; i < versionItems.size(); ++i) {
        if (ItemChecked(tree, versionItems[i]) && !versionChecks[i])
            newlyChecked = static_cast<int>(i);
    }
    bool any = false;
    for (size_t i = 0; i < versionItems.size(); ++i) {
        bool on = ItemChecked(tree, versionItems[i]);
        if (newlyChecked >= 0)
            on = static_cast<int>(i) == newlyChecked;
        SetItemChecked(tree, versionItems[i], on);
        versionChecks[i] = on;
        any = any || on;
    }
    if (versionRoot)
        SetItemChecked(tree, versionRoot, any);
    if (!restoring)
        EnableItem(IDC_RESTORE, any);
    VersionChecked();
}

int RestoreFilesScreen::CheckedPosition() const {
    for (size_t i = 0; i < versionChecks.size(); ++i) {
        if (versionChecks[i])
            return static_cast<int>(i);
    }
    return -1;
}

void RestoreFilesScreen::ShowIdle() {
    EnableItem(IDC_NEXT, true);
    EnableItem(IDC_BACK, true);
    EnableItem(IDC_RESTORE, CheckedPosition() >= 0);
    EnableItem(IDC_CANCEL, false);
}

void RestoreFilesScreen::ShowBusy() {
    EnableItem(IDC_NEXT, false);
    EnableItem(IDC_BACK, false);
    EnableItem(IDC_RESTORE, false);
    EnableItem(IDC_CANCEL, true);
}

void RestoreFilesScreen::ShowTemporaryChoice() {
    ShowItem(IDC_RESTORE_TEMP_FOLDER, Checked(Hwnd(), IDC_RESTORE_TEMPORARY));
}

void RestoreFilesScreen::Restore() {
    HTREEITEM selected = Next(FolderTree(), nullptr, TVGN_CARET);
    if (restoring || !selected || KindOf(FolderTree(), selected) != kFileItem)
        return;
    // the level is that of the version shown where the check is, not the position itself
    const int position = CheckedPosition();
    const int level = LevelAt(versions, position);
    if (level == 0 || versionsName.empty())
        return;
    const std::string prefix =
        Checked(Hwnd(), IDC_RESTORE_TEMPORARY) ? temporaryFolder : std::string();
    const std::string target = RestoreTarget(versionsDir, versionsName, prefix);

    WIN32_FIND_DATAA there;
    HANDLE find = target.empty() ? INVALID_HANDLE_VALUE : FindFirstFileA(target.c_str(), &there);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        if (!(there.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            const FindData& chosen = versions[static_cast<size_t>(position)].data;
            const uint64_t thereTime =
                (static_cast<uint64_t>(there.ftLastWriteTime.dwHighDateTime) << 32) |
                there.ftLastWriteTime.dwLowDateTime;
            const uint64_t thereSize =
                (static_cast<uint64_t>(there.nFileSizeHigh) << 32) | there.nFileSizeLow;
            ReplaceQuestion question(Hwnd());
            question.SetTexts(
                setup::DeviceHeading(String(setup::STR_DEVICE_HEADING), ServerOf(shareRoot)),
                versionsName, SizeModifiedText(thereSize, thereTime),
                SizeModifiedText(chosen.size, chosen.lastWriteTime));
            if (question.DoModal() != setup::RESULT_REPLACE)
                return;
        }
    }
    StartRestore(versionsDir, versionsName, level, prefix);
}

void RestoreFilesScreen::StartRestore(const std::string& dir, const std::string& name, int level,
                                      const std::string& prefix) {
    lastPercent = 0;
    cancel = std::make_shared<std::atomic<bool>>(false);
    SendDlgItemMessageA(Hwnd(), IDC_RESTORE_PROGRESS, PBM_SETPOS, 0, 0);
    restoring = true;
    ShowBusy();
    skin::SetLabelText(*this, IDC_RESTORING, FillPercentOne(String(STR_RESTORING), "0"));
    std::shared_ptr<std::atomic<bool>> flag = cancel;
    const bool started =
        StartWorker(0, [dir, name, level, prefix, flag](skin::WorkerLink& link) -> uint32_t {
            WriteLog(LOG_TRACE, "Restore File Thread Started...");
            int posted = -1;
            const DWORD error = RestoreFile(
                dir, name, level,
                [&link, &posted](uint64_t total, uint64_t done) {
                    const int percent = ProgressPercent(total, done);
                    if (percent >= 0 && percent != posted) {
                        posted = percent;
                        link.Post(WM_RESTORE_PROGRESS, static_cast<WPARAM>(percent));
                    }
                },
                flag.get(), prefix, true);
            link.Post(WM_RESTORE_DONE, error);
            WriteLog(LOG_TRACE, "Restore File Thread Ended...");
            return 0;
        });
    if (!started) {
        WriteLog(LOG_ERROR, "--- FAILED: Could not start the restore thread");
        EndRestore(ERROR_NOT_ENOUGH_MEMORY);
    }
}

void RestoreFilesScreen::ShowProgress(int percent) {
    if (!restoring)
        return;
    SendDlgItemMessageA(Hwnd(), IDC_RESTORE_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    if (percent > lastPercent) {
        lastPercent = percent;
        skin::SetLabelText(*this, IDC_RESTORING, RestoringText(String(STR_RESTORING), percent));
        InvalidateRect(Hwnd(), &kRestoringArea, TRUE);
    }
    ProgressShown(percent);
}

void RestoreFilesScreen::EndRestore(DWORD error) {
    restoring = false;
    ShowIdle();
    RestoreEnded(error);
    if (error)
        setup::ShowMessageDialog("", setup::MSG_RESTORE_FAILED, Hwnd());
}

void RestoreFilesScreen::CancelRestore() {
    if (!restoring || !IsWindowEnabled(Item(IDC_CANCEL)))
        return;
    if (setup::ShowMessageDialog("", setup::MSG_STOP_RESTORE, Hwnd()) != setup::RESULT_YES)
        return;
    if (restoring && cancel) {
        cancel->store(true);
        EnableItem(IDC_CANCEL, false);
    }
}

void RestoreFilesScreen::OnEnter(int focusedId) {
    // the focused button, when it may be pressed; elsewhere Enter does nothing
    if (focusedId && FindButton(focusedId) && IsWindowEnabled(Item(focusedId)))
        Press(focusedId);
}

bool RestoreFilesScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_RESTORE_ORIGINAL:
    case IDC_RESTORE_TEMPORARY:
        ShowTemporaryChoice();
        return true;
    case IDC_BACK:
        if (!restoring)
            EndDialog(setup::RESULT_BACK);
        return true;
    case IDC_NEXT:
        if (!restoring)
            EndDialog(setup::RESULT_NEXT);
        return true;
    case IDC_RESTORE:
        Restore();
        return true;
    case IDC_CANCEL:
        CancelRestore();
        return true;
    case IDC_HELP_BUTTON:
    case IDC_HELP_LINK:
        setup::OpenTarget(app::InstallDirectory() + String(STR_RESTORE_HELP_FILE),
                          setup::SystemShell());
        return true;
    default:
        return false;
    }
}

INT_PTR RestoreFilesScreen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
    case WM_RESTORE_FOLDER_LISTED:
        TakeListing(lParam);
        handled = true;
        return TRUE;
    case WM_RESTORE_PROGRESS:
        ShowProgress(static_cast<int>(wParam));
        handled = true;
        return TRUE;
    case WM_RESTORE_DONE:
        EndRestore(static_cast<DWORD>(wParam));
        handled = true;
        return TRUE;
    case WM_RESTORE_VERSION_CLICK:
        OnVersionClick();
        handled = true;
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
        if (nm->idFrom == IDC_FOLDER_TREE) {
            if (nm->code == TVN_SELCHANGEDA || nm->code == TVN_SELCHANGEDW) {
                OnFolderSelected(reinterpret_cast<const NMTREEVIEWA*>(lParam)->itemNew.hItem);
                handled = true;
                return TRUE;
            }
            if (nm->code == NM_DBLCLK) {
                // a folder listed empty is listed again
                HTREEITEM item = Next(FolderTree(), nullptr, TVGN_CARET);
                if (item && KindOf(FolderTree(), item) == kFolderItem &&
                    !Next(FolderTree(), item, TVGN_CHILD)) {
                    ClearVersions();
                    RequestListing(item);
                }
                handled = true;
                return TRUE;
            }
            if (nm->code == TVN_ITEMEXPANDINGA || nm->code == TVN_ITEMEXPANDINGW) {
                const NMTREEVIEWA* tv = reinterpret_cast<const NMTREEVIEWA*>(lParam);
                // a folder not listed yet opens by a click on it, not by its button
                const BOOL refuse = (tv->action & TVE_EXPAND) && HasPlaceholder(tv->itemNew.hItem);
                SetWindowLongPtrA(Hwnd(), DWLP_MSGRESULT, refuse);
                handled = true;
                return TRUE;
            }
        } else if (nm->idFrom == IDC_VERSION_TREE) {
            // the tree changes the box after telling: look once it has
            if (nm->code == NM_CLICK ||
                ((nm->code == TVN_KEYDOWN) &&
                 reinterpret_cast<const NMTVKEYDOWN*>(lParam)->wVKey == VK_SPACE))
                PostMessageA(Hwnd(), WM_RESTORE_VERSION_CLICK, 0, 0);
        }
        break;
    }
    default:
        break;
    }
    return Screen::OnMessage(message, wParam, lParam, handled);
}

void RestoreFilesScreen::OnDestroy() {
    // a copy still running stops and removes its partial file; the dialog awaits it
    if (cancel)
        cancel->store(true);
    pendingListings.clear();
}

HBRUSH RestoreFilesScreen::ControlColour(HDC dc, HWND) {
    // the options lie on the grey panel of this page
    SetTextColor(dc, RGB(51, 51, 51));
    SetBkColor(dc, RGB(230, 230, 230));
    return GreyBrush();
}

} // namespace backup
