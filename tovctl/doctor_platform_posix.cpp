// The doctor on POSIX: socket errors are errno values, and no drive is remembered here (the
// remembered address is given with --remembered).
#include "tovctl/doctor_measure.h"

#include <cerrno>

namespace doctor {

bool IsConnectionRefused(uint32_t error) { return error == ECONNREFUSED; }

bool RememberedAppliance(std::string*, std::string*) { return false; }

} // namespace doctor
