// The 548-byte progress record the backup engine publishes in shared memory, little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace backup {

constexpr size_t kProgressRecordSize = 548;
constexpr size_t kProgressTextSize = 260;

// Names of the shared objects; the engine and the client create or open the same ones.
constexpr const char* kProgressMappingName = "TOV_IPC_FILE_PROGRESS";
constexpr const char* kProgressEventName = "TOV_IPC_EVENT_PROGRESS";
constexpr const char* kProgressMutexName = "TOV_IPC_COM_MUTEX";

struct ProgressRecord {
    uint32_t finished = 0;      // offset 0: non-zero once the run is over
    int32_t filesCompleted = 0; // 4
    uint64_t bytesCopied = 0;   // 8
    std::string folder;         // 16, 260 bytes with its zero
    std::string file;           // 276, 260 bytes with its zero
    // The engine's own part, which the progress screen does not read:
    int32_t skipped = 0; // 536: files that could not be backed up so far
    int32_t state = -1;  // 540: -1 while running, then 0 complete, 1 failed, 2 incomplete
    uint32_t run = 0;    // 544: counts the runs since the engine started
};

// Texts longer than 259 bytes are cut.
void EncodeProgress(const ProgressRecord& record, unsigned char* out);
ProgressRecord DecodeProgress(const unsigned char* in);

} // namespace backup
