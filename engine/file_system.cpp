// The texts the engine's log gives file-system statuses.
#include "engine/file_system.h"

namespace engine {

const char* StatusText(FsStatus status) {
    switch (status) {
    case FsStatus::Ok:
        return "ok";
    case FsStatus::NotFound:
        return "not found";
    case FsStatus::Denied:
        return "access denied or in use";
    case FsStatus::Unreachable:
        return "not reachable";
    case FsStatus::TooLong:
        return "path too long";
    case FsStatus::Failed:
        break;
    }
    return "failed";
}

} // namespace engine
