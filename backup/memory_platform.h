// An in-memory platform for the portable tests, fuzzers and benchmarks, with faults to order.
#pragma once

#include "backup/platform.h"

#include <map>
#include <set>
#include <string>

namespace backup {

class MemoryPlatform : public Platform {
public:
    struct File {
        std::string bytes;
        uint32_t attributes = kAttrNormal;
        uint32_t sizeHigh = 0; // pretends the file is 4 GiB or more
    };

    std::string DataFolder() override { return folder; }
    std::unique_ptr<ReadHandle> OpenRead(const std::string& path) override;
    std::unique_ptr<WriteHandle> OpenWrite(const std::string& path, uint32_t attributes,
                                           uint32_t disposition, bool append) override;
    bool CopyOver(const std::string& src, const std::string& dst) override;
    bool Find(const std::string& path, FindData* out) override;
    bool UserSetting(const char* name, std::string* out) override;
    std::string ComputerName() override { return computer; }
    bool Missing(const std::string& path) override { return files.count(path) == 0; }
    const LeadBytes& CodePage() override { return leadBytes; }

    // The content of a file, or "<missing>".
    std::string Content(const std::string& path) const;

    std::string folder = "C:\\Data\\Kelvox\\TOV\\";
    std::map<std::string, File> files;
    std::map<std::string, std::string> settings;
    std::string computer = "OFFICE1";
    std::map<std::string, FindData> found;
    LeadBytes leadBytes; // single-byte unless a test marks some

    // Faults: a read that delivers fewer bytes, a write that fails once this many bytes went
    // through, and a replace that fails.
    bool shortRead = false;
    long failWriteAfter = -1;
    bool failReplace = false;

private:
    friend class MemoryWriter;
    std::set<std::string> writing_;
};

} // namespace backup
