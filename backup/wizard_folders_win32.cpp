// The backup wizard's folder page (581): the check-box tree of this computer's drives and
// folders, loaded as the user opens them, and the selection written on Next.
#include "backup/wizard_folders_win32.h"

#include <shlobj.h>

#include "app/log.h"
#include "res/resource.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/worker_win32.h"

namespace backup {

namespace {

// What a loader hands back: the item and the names of its sub-folders.
struct LoadedFolders {
    int node = 0;
    std::vector<std::string> names;
};

bool IsDriveRoot(const std::string& path) {
    return path.size() == 3 && path[1] == ':' && path[2] == '\\';
}

UINT StateBits(CheckState state) { return INDEXTOSTATEIMAGEMASK(static_cast<int>(state)); }

} // namespace

std::string FolderSource::DocumentsFolder() {
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path)))
        return std::string();
    return path;
}

std::vector<std::string> FolderSource::Drives() {
    char strings[260] = "";
    const DWORD n = GetLogicalDriveStringsA(sizeof strings, strings);
    std::vector<std::string> out;
    if (n == 0 || n > sizeof strings)
        return out;
    for (const std::string& root : SplitDriveStrings(strings, n)) {
        if (ListsDrive(root, GetDriveTypeA(root.c_str())))
            out.push_back(root);
    }
    return out;
}

std::vector<std::string> FolderSource::SubFolders(const std::string& path, bool root) {
    std::vector<std::string> names;
    std::string pattern = path;
    if (pattern.empty() || pattern.back() != '\\')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        // "." and ".." are left out by name: not every file system lists them first
        const bool listed = root ? ListsFolder(name, found.dwFileAttributes)
                                 : (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                       !name.empty() && name[0] != '.';
        if (listed)
            names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

WizardFoldersScreen::WizardFoldersScreen(const std::string& root, Platform* p, FolderSource* s)
    : Screen(IDD_WIZARD_FOLDERS), shareRoot(root), platform(p), source(s ? s : &ownSource) {}

WizardFoldersScreen::~WizardFoldersScreen() = default;

HWND WizardFoldersScreen::TreeWindow() const { return Item(IDC_BACKUP_TREE); }

bool WizardFoldersScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_WIZARD_FOLDERS);
    config = std::make_unique<ShareBackupConfig>(shareRoot, platform);
    tree = std::make_unique<FolderTree>(ConfiguredSourcesOf(*config));

    PrepareCheckBoxes(TreeWindow());

    const std::string documents = source->DocumentsFolder();
    bool documentsShown = false;
    for (const std::string& root : source->Drives()) {
        if (!documentsShown && !documents.empty() && root.find("C:") != std::string::npos) {
            tree->AddDocuments(documents);
            documentsShown = true;
        }
        const int drive = tree->AddDrive(root);
        for (const std::string& name : FolderSource::SubFolders(root, true))
            tree->AddFolder(drive, name);
    }
    items.assign(tree->Size(), nullptr);
    requested.assign(tree->Size(), false);
    for (int top : tree->TopLevel())
        Insert(top, TVI_ROOT);
    WriteLog(LOG_TRACE, "  Backup folders: %u items for <%s>", static_cast<unsigned>(tree->Size()),
             shareRoot.c_str());
    SetFocusTo(IDC_BACKUP_TREE);
    return false;
}

void PrepareCheckBoxes(HWND tv) {
    SetWindowLongA(tv, GWL_STYLE, GetWindowLongA(tv, GWL_STYLE) | TVS_CHECKBOXES);
    HIMAGELIST list =
        reinterpret_cast<HIMAGELIST>(SendMessageA(tv, TVM_GETIMAGELIST, TVSIL_STATE, 0));
    if (!list)
        return;
    int cx = 16, cy = 16;
    ImageList_GetIconSize(list, &cx, &cy);
    // the control brings blank, unchecked and checked; partly selected is a greyed check
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP image = CreateCompatibleBitmap(screen, cx, cy);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, image);
    RECT all{0, 0, cx, cy};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT box{1, 1, cx - 1, cy - 1};
    if (cx > 13) {
        box.left = (cx - 13) / 2;
        box.right = box.left + 13;
    }
    if (cy > 13) {
        box.top = (cy - 13) / 2;
        box.bottom = box.top + 13;
    }
    DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
    SelectObject(dc, old);
    DeleteDC(dc);
    const int partly = static_cast<int>(CheckState::Partly);
    if (ImageList_GetImageCount(list) > partly)
        ImageList_Replace(list, partly, image, nullptr);
    else
        ImageList_AddMasked(list, image, RGB(255, 0, 255));
    DeleteObject(image);
}

HTREEITEM WizardFoldersScreen::Insert(int node, HTREEITEM parent) {
    const FolderTree::Node& n = tree->At(node);
    TVINSERTSTRUCTA ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    ins.item.pszText = const_cast<char*>(n.text.c_str());
    ins.item.lParam = node;
    ins.item.stateMask = TVIS_STATEIMAGEMASK;
    ins.item.state = n.placeholder ? 0 : StateBits(n.state);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageA(TreeWindow(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    if (static_cast<size_t>(node) >= items.size()) {
        items.resize(static_cast<size_t>(node) + 1, nullptr);
        requested.resize(items.size(), false);
    }
    items[static_cast<size_t>(node)] = item;
    for (int child : n.children)
        Insert(child, item);
    return item;
}

void WizardFoldersScreen::ShowState(int node) {
    HTREEITEM item = items[static_cast<size_t>(node)];
    if (!item || tree->At(node).placeholder)
        return;
    TVITEMA tvi{};
    tvi.mask = TVIF_STATE;
    tvi.hItem = item;
    tvi.stateMask = TVIS_STATEIMAGEMASK;
    tvi.state = StateBits(tree->At(node).state);
    SendMessageA(TreeWindow(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tvi));
}

int WizardFoldersScreen::NodeOf(HTREEITEM item) const {
    if (!item)
        return -1;
    TVITEMA tvi{};
    tvi.mask = TVIF_PARAM;
    tvi.hItem = item;
    if (!SendMessageA(TreeWindow(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi)))
        return -1;
    const int node = static_cast<int>(tvi.lParam);
    return node >= 0 && static_cast<size_t>(node) < tree->Size() ? node : -1;
}

void WizardFoldersScreen::StartLoading(int node) {
    if (node < 0 || !tree->NeverExpanded(node) || requested[static_cast<size_t>(node)])
        return;
    requested[static_cast<size_t>(node)] = true;
    // The placeholder leaves the tree at once; the model keeps it until the sub-folders are
    // there, so that a Next meanwhile still keeps the configured sources it stands for.
    const int placeholder = tree->At(node).children.front();
    HTREEITEM shown = items[static_cast<size_t>(placeholder)];
    if (shown)
        SendMessageA(TreeWindow(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(shown));
    items[static_cast<size_t>(placeholder)] = nullptr;
    SendMessageA(TreeWindow(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(items[static_cast<size_t>(node)]));
    waiting.push_back(node);
    StartNextLoader();
}

void WizardFoldersScreen::StartNextLoader() {
    // one loader at a time: the next starts once the previous one has reported
    while (!loaderRunning && !waiting.empty()) {
        const int node = waiting.front();
        waiting.pop_front();
        const std::string path = tree->At(node).path;
        const bool root = IsDriveRoot(path);
        loaderRunning = StartWorker(0, [node, path, root](skin::WorkerLink& link) -> uint32_t {
            WriteLog(LOG_TRACE, "Folder Loader Thread Started...");
            LoadedFolders loaded;
            loaded.node = node;
            loaded.names = FolderSource::SubFolders(path, root);
            link.DeliverValue(WM_FOLDERS_LOADED, std::move(loaded));
            WriteLog(LOG_TRACE, "Folder Loader Thread Ended...");
            return 0;
        });
        if (!loaderRunning)
            WriteLog(LOG_ERROR, "--- FAILED: Could not start the folder loader for <%s>, error %lu",
                     path.c_str(), static_cast<unsigned long>(GetLastError()));
    }
}

void WizardFoldersScreen::TakeFolders(LPARAM lParam) {
    std::unique_ptr<skin::Parcel<LoadedFolders>> loaded = Link()->TakeValue<LoadedFolders>(lParam);
    if (!loaded)
        return;
    loaderRunning = false;
    const int node = loaded->value.node;
    tree->RemovePlaceholder(node);
    HTREEITEM parent = items[static_cast<size_t>(node)];
    for (const std::string& name : loaded->value.names)
        Insert(tree->AddFolder(node, name), parent);
    // a checked child shows its unchecked ancestors partly selected
    for (int a = node; a >= 0; a = tree->At(a).parent)
        ShowState(a);
    SendMessageA(TreeWindow(), TVM_EXPAND, TVE_TOGGLE, reinterpret_cast<LPARAM>(parent));
    WriteLog(LOG_TRACE, "  Backup folders: %u below <%s>",
             static_cast<unsigned>(loaded->value.names.size()), tree->At(node).path.c_str());
    FoldersLoaded(node);
    StartNextLoader();
}

LRESULT WizardFoldersScreen::OnTreeNotify(NMHDR* header) {
    switch (header->code) {
    case NM_CLICK:
    case NM_DBLCLK: {
        const DWORD at = GetMessagePos();
        TVHITTESTINFO hit{};
        hit.pt.x = static_cast<short>(LOWORD(at));
        hit.pt.y = static_cast<short>(HIWORD(at));
        ScreenToClient(TreeWindow(), &hit.pt);
        SendMessageA(TreeWindow(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        const int node = NodeOf(hit.hItem);
        if (node < 0)
            return 0;
        if (hit.flags & TVHT_ONITEMSTATEICON) {
            // applied after the control's own handling of the click, whose toggle it replaces
            PostMessageA(Hwnd(), WM_FOLDER_CHECK, static_cast<WPARAM>(node), 0);
            return header->code == NM_CLICK ? 1 : 0;
        }
        StartLoading(node);
        return 0;
    }
    case TVN_KEYDOWN: {
        const NMTVKEYDOWN* key = reinterpret_cast<NMTVKEYDOWN*>(header);
        if (key->wVKey == VK_SPACE) {
            HTREEITEM selected = reinterpret_cast<HTREEITEM>(
                SendMessageA(TreeWindow(), TVM_GETNEXTITEM, TVGN_CARET, 0));
            const int node = NodeOf(selected);
            if (node >= 0)
                PostMessageA(Hwnd(), WM_FOLDER_CHECK, static_cast<WPARAM>(node), 0);
            return 1;
        }
        return 0;
    }
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        // the items' handles and actions lie at the same places in both forms
        const NMTREEVIEWA* nm = reinterpret_cast<NMTREEVIEWA*>(header);
        const int node = NodeOf(nm->itemNew.hItem);
        if ((nm->action & TVE_EXPAND) && node >= 0 && tree->NeverExpanded(node)) {
            // never open on the placeholder: the item stays closed and its folders are read
            StartLoading(node);
            return 1;
        }
        return 0;
    }
    default:
        return 0;
    }
}

INT_PTR WizardFoldersScreen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom != IDC_BACKUP_TREE)
            break;
        SetWindowLongPtrA(Hwnd(), DWLP_MSGRESULT, OnTreeNotify(header));
        handled = true;
        return TRUE;
    }
    case WM_FOLDER_CHECK: {
        const int node = static_cast<int>(wParam);
        if (node >= 0 && static_cast<size_t>(node) < tree->Size()) {
            for (int changed : tree->Toggle(node))
                ShowState(changed);
            ShowState(node);
        }
        handled = true;
        return TRUE;
    }
    case WM_FOLDERS_LOADED:
        TakeFolders(lParam);
        handled = true;
        return TRUE;
    default:
        break;
    }
    return Screen::OnMessage(message, wParam, lParam, handled);
}

void WizardFoldersScreen::Next() {
    HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    WriteSelection(*config, *tree);
    SetCursor(before);
    EndDialog(setup::RESULT_NEXT);
}

void WizardFoldersScreen::OnEnter(int focusedId) {
    if (focusedId == IDC_BACK || focusedId == IDC_CANCEL || focusedId == IDC_NEXT)
        Press(focusedId);
    else
        Press(IDC_NEXT);
}

bool WizardFoldersScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_BACK:
        EndDialog(setup::RESULT_BACK);
        return true;
    case IDC_CANCEL:
        EndDialog(setup::RESULT_FINISHED);
        return true;
    case IDC_NEXT:
        Next();
        return true;
    default:
        return false;
    }
}

} // namespace backup
