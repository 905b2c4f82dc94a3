// The client side of the engine's progress channel.
#include "backup/progress_channel.h"

#include <cstring>

namespace backup {

bool ProgressChannel::Read() {
    if (!objects_->LockMutex(kMutexWaitMs))
        return false;
    unsigned char fresh[kProgressRecordSize];
    const bool ok = objects_->CopyView(fresh);
    objects_->UnlockMutex();
    if (ok)
        std::memcpy(copy_, fresh, kProgressRecordSize);
    return ok;
}

int ProgressChannel::Poll(ProgressView* view, uint32_t wait) {
    if (!objects_->WaitEvent(wait)) {
        Read();
        return Finished() ? POLL_FINISHED : POLL_NO_NEWS;
    }
    Read();
    if (view && !view->Stopping())
        view->Update(Last());
    return Finished() ? POLL_FINISHED : POLL_NEWS;
}

} // namespace backup
