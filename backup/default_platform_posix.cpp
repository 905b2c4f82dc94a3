// The default platform away from Windows: an empty in-memory one, so the portable code links.
#include "backup/memory_platform.h"

namespace backup {

Platform& DefaultPlatform() {
    static MemoryPlatform platform;
    return platform;
}

} // namespace backup
