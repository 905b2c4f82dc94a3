// Fuzz target: any bytes as a selection file, loaded, looked up and written back.
#include "backup/backup_config.h"
#include "backup/memory_platform.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    backup::MemoryPlatform p;
    p.settings["backupFolder"] = "\\My Backup";
    const std::string path = p.folder + backup::kBackupConfigName;
    p.files[path].bytes.assign(reinterpret_cast<const char*>(data), size);
    backup::ShareBackupConfig c("\\\\S\\P", &p);
    for (const backup::BackupEntry& e : c.Entries()) {
        // What the parser hands out never holds a separator.
        if (e.source.find_first_of("\t\n\r") != std::string::npos ||
            e.destination.find_first_of("\t\n\r") != std::string::npos)
            std::abort();
        c.FindEntry(e.source);
        c.FindIncludedBelow(e.source);
    }
    auto h = c.RewriteKeepingOthers();
    if (!h || !h->Close())
        std::abort();
    // What was written back reads back whole, as the same entries.
    backup::BackupConfig again(path, &p);
    if ((!again.Load() && !again.Entries().empty()) || again.Entries().size() != c.Entries().size())
        std::abort();
    for (size_t i = 0; i < c.Entries().size(); ++i) {
        if (again.Entries()[i].source != c.Entries()[i].source ||
            again.Entries()[i].destination != c.Entries()[i].destination ||
            again.Entries()[i].flag != c.Entries()[i].flag)
            std::abort();
    }
    return 0;
}
