// The backup data files' platform on Windows: shared files with open access, saved in one step.
#pragma once

#include "backup/platform.h"

#include <string>

#include <windows.h>

namespace backup {

// Security attributes whose descriptor has a present but null DACL: every user of the computer
// gets full access, so the engine and other users' sessions can rewrite the files. Not inherited.
class OpenAccessAttributes {
public:
    OpenAccessAttributes();
    OpenAccessAttributes(const OpenAccessAttributes&) = delete;
    OpenAccessAttributes& operator=(const OpenAccessAttributes&) = delete;
    SECURITY_ATTRIBUTES* get() { return &sa_; }

private:
    SECURITY_DESCRIPTOR sd_;
    SECURITY_ATTRIBUTES sa_;
};

class Win32Platform : public Platform {
public:
    // Reads a per-user setting the way the backup files do (260-byte buffer).
    using SettingReader = bool (*)(const char* name, std::string* out);

    explicit Win32Platform(SettingReader reader = nullptr) : reader_(reader) {}

    std::string DataFolder() override;
    std::unique_ptr<ReadHandle> OpenRead(const std::string& path) override;
    std::unique_ptr<WriteHandle> OpenWrite(const std::string& path, uint32_t attributes,
                                           uint32_t disposition, bool append) override;
    bool CopyOver(const std::string& src, const std::string& dst) override;
    bool Find(const std::string& path, FindData* out) override;
    bool UserSetting(const char* name, std::string* out) override;
    std::string ComputerName() override;
    bool Missing(const std::string& path) override;
    // The lead bytes of codePage, or of the system's ANSI code page when it is 0.
    const LeadBytes& CodePage() override;

    // For tests: the next writers fail their write once this many bytes went through (-1: never).
    long failWriteAfter = -1;
    // For tests: the code page that names are written in (0: the system's). One thread only.
    unsigned codePage = 0;

private:
    SettingReader reader_;
    unsigned leadBytesOf_ = ~0u;
    LeadBytes leadBytes_;
};

// The lead bytes of a Windows code page (CP_ACP for the system's), as IsDBCSLeadByteEx tells.
LeadBytes CodePageLeadBytes(unsigned codePage);

} // namespace backup
