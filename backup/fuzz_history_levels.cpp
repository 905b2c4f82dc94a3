// Fuzz target: any bytes as the kept-versions file, read, changed and written back.
#include "backup/memory_platform.h"
#include "backup/version_history.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    backup::MemoryPlatform p;
    p.settings["sortFolder"] = "\\\\S\\P";
    p.settings["backupFolder"] = "\\My Backup";
    const std::string path = p.folder + backup::kHistoryLevelsName;
    p.files[path].bytes.assign(reinterpret_cast<const char*>(data), size);
    backup::ShareVersionHistory h(&p);
    if (!h.SetLevels(3) || h.ReadLevels() != 3)
        std::abort();
    // A path of any shape taken from the input must not upset the path arithmetic.
    std::string any(reinterpret_cast<const char*>(data), size < 300 ? size : 300);
    backup::ShareVersionHistory fromPath(any, &p);
    backup::FindData d;
    for (int level = 1; level <= 10; ++level)
        fromPath.VersionExists(any, level, &d);
    fromPath.LocalPathFor(any);
    fromPath.Rebase("C:\\R", any);
    std::string out;
    fromPath.TrimToBackupFolder(any, &out);
    fromPath.HistoryFolder(&out);
    return 0;
}
