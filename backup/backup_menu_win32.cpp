// The Backup and restore menu and the Advanced settings page over the skin, the selection file,
// the kept-versions file, the product key and the engine link.
#include "backup/backup_menu_win32.h"

#include "app/globals.h"
#include "app/settings.h"
#include "backup/backup_engine.h"
#include "res/resource.h"
#include "setup/launch.h"
#include "setup/screen_results.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"

namespace backup {
namespace {

constexpr UINT STR_ON = 109;
constexpr UINT STR_OFF = 110;
constexpr UINT STR_VERSIONS_HELP = 217; // "\help_versions.chm"

class RegistryTagStore : public TagStore {
public:
    void Read(bool* exists, bool* read, std::vector<unsigned char>* data) override {
        AppSettings::RawValue value = AppSettings::ReadRaw(AppSettings::Root::CurrentUser, "tagOn");
        *exists = value.sized;
        *read = value.read;
        *data = std::move(value.data);
    }
    bool Write(uint32_t value) override {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, AppSettings::KEY, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        const DWORD dword = value;
        const LONG status = RegSetValueExA(key, "tagOn", 0, REG_DWORD,
                                           reinterpret_cast<const BYTE*>(&dword), sizeof dword);
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }
};

CommandSender EngineLink(CommandSender send) {
    if (send)
        return send;
    return [](const char* command) { BackupEngine::SendCommand(command); };
}

void Check(HWND dialog, int id, bool on) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OpenHelp(UINT stringId) {
    setup::LaunchTarget(app::InstallDirectory() + skin::LoadString(stringId));
}

} // namespace

TagStore& UserTagStore() {
    static RegistryTagStore store;
    return store;
}

BackupMenuScreen::BackupMenuScreen(const std::string& hostName, const std::string& shareRoot,
                                   Platform* platform, CommandSender send)
    : Screen(IDD_BACKUP_MENU), hostName_(hostName), shareRoot_(shareRoot), platform_(platform),
      send_(EngineLink(std::move(send))) {}

bool BackupMenuScreen::OnInitDialog() {
    InitSkin(IDB_BG_DRIVE_MANAGEMENT);
    skin::PlaceControls(*this, IDD_BACKUP_MENU);
    skin::SetLabelText(*this, IDC_DEVICE, hostName_);
    EnableItem(IDC_BM_BACKUP_NOW, HasSelectionFor(BackupConfig(platform_), shareRoot_));
    SetFocusTo(IDC_BM_SETTINGS);
    return false;
}

void BackupMenuScreen::Choose(int buttonId) {
    const MenuChoice choice = ChooseBackupMenuItem(buttonId);
    if (!choice.result)
        return;
    if (choice.sendsBackup)
        send_(ENGINE_BACKUP);
    EndDialog(choice.result);
}

void BackupMenuScreen::OnEnter(int focusedId) { Choose(focusedId); }

bool BackupMenuScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED || !ChooseBackupMenuItem(id).result)
        return false;
    // a click that reaches the disabled Back Up Now (a posted one) does nothing
    if (!IsWindowEnabled(Item(id)))
        return true;
    Choose(id);
    return true;
}

void BackupMenuScreen::MoveFocus(bool previous) {
    HWND from = GetFocus();
    if (from != Hwnd() && !IsChild(Hwnd(), from))
        from = nullptr;
    if (HWND to = GetNextDlgTabItem(Hwnd(), from, previous ? TRUE : FALSE))
        SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(to), TRUE);
}

bool BackupMenuScreen::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN) {
        switch (msg.wParam) {
        case VK_DOWN:
        case VK_RIGHT:
            MoveFocus(false);
            return true;
        case VK_UP:
        case VK_LEFT:
            MoveFocus(true);
            return true;
        default:
            break;
        }
    }
    return Screen::PreTranslateMessage(msg);
}

AdvancedScreen::AdvancedScreen(const std::string& hostName, TagStore* tags, Platform* platform,
                               CommandSender send)
    : Screen(IDD_ADVANCED), hostName_(hostName), store_(tags ? tags : &UserTagStore()),
      platform_(platform), send_(EngineLink(std::move(send))) {}

AdvancedScreen::~AdvancedScreen() = default;

bool AdvancedScreen::OnInitDialog() {
    InitSkin(IDB_BG_GENERAL);
    skin::PlaceControls(*this, IDD_ADVANCED);
    SetItemText(IDC_TAGS_ON, skin::LoadString(STR_ON));
    SetItemText(IDC_TAGS_OFF, skin::LoadString(STR_OFF));
    ApplyJapaneseFont({IDC_TAGS_ON, IDC_TAGS_OFF});
    // a missing switch reads as on and is stored as 1 at once
    tags_.reset(new FolderTagSetting(*store_));
    Check(Hwnd(), IDC_TAGS_ON, tags_->On());
    Check(Hwnd(), IDC_TAGS_OFF, !tags_->On());
    history_.reset(new ShareVersionHistory(platform_));
    for (int entry = 0; entry < kVersionChoices; ++entry)
        SendDlgItemMessageA(Hwnd(), IDC_VERSIONS, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(VersionChoiceText(entry).c_str()));
    SendDlgItemMessageA(Hwnd(), IDC_VERSIONS, CB_SETCURSEL,
                        static_cast<WPARAM>(VersionChoiceFor(history_->Levels())), 0);
    SetFocusTo(IDC_NEXT);
    return false;
}

void AdvancedScreen::Save() {
    const int entry =
        static_cast<int>(SendDlgItemMessageA(Hwnd(), IDC_VERSIONS, CB_GETCURSEL, 0, 0));
    SaveAdvancedSettings(Checked(Hwnd(), IDC_TAGS_ON), entry, *tags_, *history_, send_);
    EndDialog(setup::RESULT_FINISHED);
}

void AdvancedScreen::OnEnter(int focusedId) {
    if (focusedId == IDC_BACK)
        EndDialog(setup::RESULT_BACK);
    else if (focusedId == IDC_HELP_BUTTON)
        OpenHelp(STR_VERSIONS_HELP);
    else
        Save();
}

bool AdvancedScreen::OnCommand(int id, int code, HWND control) {
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_BACK:
        EndDialog(setup::RESULT_BACK);
        return true;
    case IDC_NEXT:
        Save();
        return true;
    case IDC_HELP_BUTTON:
    case IDC_HELP_LINK:
        OpenHelp(STR_VERSIONS_HELP);
        return true;
    default:
        return false;
    }
}

} // namespace backup
