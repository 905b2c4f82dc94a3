// Restoring one version of a backed-up file on Windows: the copy with progress and cancel, the
// folders on the way, and the replacement of the file that is there.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "backup/platform.h"

namespace backup {

// The copy's progress: the file's size and the bytes written so far. Called once before the
// first byte and after every chunk.
using CopyProgress = std::function<void(uint64_t total, uint64_t transferred)>;

// A restored file is written beside its target under this suffix and takes the target's place
// only once complete.
constexpr const char* kPartSuffix = ".tovpart";
constexpr DWORD kCopyChunkBytes = 64 * 1024;

// The test seam: with TOV_RESTORE_HOLD set to an event name, a copy signals that event after its
// first chunk and then holds until it is cancelled (or the event named by the value followed by
// "-go" is signalled), so that a test can act in the middle of a copy.
constexpr const char* kHoldVariable = "TOV_RESTORE_HOLD";

// Copies src to dst as CopyFileEx does (dst created or replaced, the source's last-write time
// and attributes), in chunks of kCopyChunkBytes, calling progress and checking cancel between
// chunks; works the same where CopyFileEx ignores its routine and flag (Wine). A copy that is
// cancelled or fails removes dst. The result is 0, ERROR_REQUEST_ABORTED for a cancel, or the
// system's error code.
DWORD CopyInChunks(const std::string& src, const std::string& dst, const CopyProgress& progress,
                   const std::atomic<bool>* cancel);

// Creates one directory; true also when it is there already.
bool MakeDirectory(const std::string& path);

// Restores the version at level of dir + "\" + name to RestoreTarget(dir, name, prefix). The
// copy goes to the target's name + kPartSuffix and replaces the target only when complete, so a
// cancel or a failure leaves an existing target as it was; with retryReadOnly a read-only target
// is replaced too and keeps its attributes. 0 on success, else the system's error code.
DWORD RestoreFile(const std::string& dir, const std::string& name, int level,
                  const CopyProgress& progress, const std::atomic<bool>* cancel,
                  const std::string& prefix, bool retryReadOnly, Platform* platform = nullptr);

// A version's last-write time in the user's default language and local time: "M/d/yyyy" and
// "h:mm tt" joined by a blank.
std::string VersionText(uint64_t lastWriteTime);
// The replace question's "Friday, March 14, 2025, 10:02 PM" of a last-write time, local time.
std::string ModifiedTextOf(uint64_t lastWriteTime);

} // namespace backup
