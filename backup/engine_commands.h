// The six text commands the backup engine understands.
#pragma once

namespace backup {

constexpr const char* ENGINE_BACKUP = "backup";
constexpr const char* ENGINE_CANCEL = "cancel";
constexpr const char* ENGINE_RESCHEDULE = "reschedule";
constexpr const char* ENGINE_FORCE_CHANGE = "settings force_change";
constexpr const char* ENGINE_CLEAN_ALL = "settings clean_all";
// Followed by the backup root that ends in a backslash.
constexpr const char* ENGINE_CLEAN_PREFIX = "clean ";

} // namespace backup
