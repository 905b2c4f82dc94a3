// The Main menu's and Drive management's items: what choosing each one does.
#pragma once

#include <string>

#include "setup/launch.h"

namespace setup {

// The appliance's own pages that Drive management opens. The set-up page's address begins with
// two backslashes, which the browser takes as it always has.
std::string WebSetupAddress(const std::string& ipAddress);
std::string MediaSharingAddress(const std::string& ipAddress);

// A menu item is chosen by its button id: the screen ends with the returned result, or stays
// open on 0 (a web page was opened, or the id is no item of the screen).
int ChooseMainMenuItem(int buttonId);
int ChooseDriveManagementItem(int buttonId, const std::string& ipAddress, Shell& shell);

} // namespace setup
