// The doctor on Windows: Windows Sockets errors, and the drive the program remembers in the
// current user's product key.
#include "tovctl/doctor_measure.h"

#include "app/settings.h"

#include <winsock2.h>

namespace doctor {

bool IsConnectionRefused(uint32_t error) { return error == WSAECONNREFUSED; }

bool RememberedAppliance(std::string* address, std::string* hostName) {
    *address = AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentIP");
    *hostName = AppSettings::ReadTrimmed(AppSettings::Root::CurrentUser, "CurrentHostName");
    return !address->empty();
}

} // namespace doctor
