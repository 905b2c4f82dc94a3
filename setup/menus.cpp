// The two menus' items: result codes, and the appliance pages opened through the shell.
#include "setup/menus.h"

#include "res/resource.h"
#include "setup/screen_results.h"

namespace setup {
namespace {

struct MenuItem {
    int buttonId;
    int result;                                           // 0: the item opens a page instead
    std::string (*address)(const std::string& ipAddress); // the page, for result 0
};

constexpr MenuItem kMainMenu[] = {
    {IDC_MENU_SETUP, RESULT_MENU_SETUP, nullptr},
    {IDC_MENU_MANAGE, RESULT_MENU_DRIVES, nullptr},
    {IDC_BACK, RESULT_BACK, nullptr},
    {IDC_MENU_BACKUP, RESULT_MENU_BACKUP, nullptr},
};

constexpr MenuItem kDriveManagement[] = {
    {IDC_DM_SORT, RESULT_SORT_SETTINGS, nullptr},
    {IDC_DM_WEB, 0, WebSetupAddress},
    {IDC_DM_STATUS, RESULT_STATUS, nullptr},
    {IDC_DM_MEDIA, 0, MediaSharingAddress},
    {IDC_BACK, RESULT_BACK, nullptr},
};

template <size_t N>
const MenuItem* Find(const MenuItem (&items)[N], int buttonId) {
    for (const MenuItem& item : items) {
        if (item.buttonId == buttonId)
            return &item;
    }
    return nullptr;
}

} // namespace

std::string WebSetupAddress(const std::string& ipAddress) { return "http:\\\\" + ipAddress; }

std::string MediaSharingAddress(const std::string& ipAddress) {
    return "http://" + ipAddress + "/share/share_upnp_1.asp";
}

int ChooseMainMenuItem(int buttonId) {
    const MenuItem* item = Find(kMainMenu, buttonId);
    return item ? item->result : 0;
}

int ChooseDriveManagementItem(int buttonId, const std::string& ipAddress, Shell& shell) {
    const MenuItem* item = Find(kDriveManagement, buttonId);
    if (!item)
        return 0;
    // a page that cannot be opened has been reported by LaunchTarget; the screen stays either way
    if (item->address)
        LaunchTarget(item->address(ipAddress), shell);
    return item->result;
}

} // namespace setup
