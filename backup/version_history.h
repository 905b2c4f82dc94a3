// Where older versions of backed-up files lie on the appliance, and how many a share keeps.
#pragma once

#include "backup/app_data_file.h"

#include <cstdint>
#include <map>
#include <string>

namespace backup {

constexpr const char* kHistoryLevelsName = "histKel.txt";
constexpr int32_t kDefaultLevels = 5;

// "histKel.txt": kept versions per share root, one "root TAB count" line each, in key order.
class HistoryLevelsFile : public AppDataFile {
public:
    explicit HistoryLevelsFile(Platform* platform = nullptr);

    bool UseDefaultName() override;
    bool Parse() override;
    bool WriteContents(WriteHandle& handle) override;

    bool Load();
    // The value stored for a share root, or false.
    bool Lookup(const std::string& key, std::string* value) const;
    void Set(const std::string& key, const std::string& value) { values_[key] = value; }
    const std::map<std::string, std::string>& Values() const { return values_; }

private:
    // std::string orders by unsigned bytes, which is also the order of multibyte characters.
    std::map<std::string, std::string> values_;
};

class VersionHistory {
public:
    explicit VersionHistory(Platform* platform);
    virtual ~VersionHistory();
    VersionHistory(const VersionHistory&) = delete;
    VersionHistory& operator=(const VersionHistory&) = delete;

    // Virtual operations in the order the engine-side classes share.
    // path null: from the settings; otherwise from a path on the appliance.
    virtual bool Init(const char* path) = 0;
    virtual bool TrimToBackupFolder(const std::string& path, std::string* out) = 0;
    virtual void SetRootFromPath(const std::string& path) = 0;
    virtual void SetShareFromRoot() = 0;
    virtual int RootEnd(const std::string& path) = 0;

    int32_t ReadLevels();
    // False, with the file and the levels unchanged, when the file is there but cannot be read
    // or the save fails.
    bool SetLevels(int32_t n);
    std::string LevelFolder(int level) const;
    std::string PathAtLevel(const std::string& path, int level) const;
    bool VersionExists(const std::string& path, int level, FindData* out) const;
    bool HistoryFolder(std::string* out) const;
    std::string LocalPathFor(const std::string& backupPath) const;
    std::string Rebase(const std::string& prefix, const std::string& path) const;

    int32_t Levels() const { return levels_; }
    const std::string& BackupRoot() const { return backupRoot_; }
    const std::string& ShareRoot() const { return shareRoot_; }

protected:
    Platform* platform_;
    int32_t levels_ = kDefaultLevels;
    std::string backupRoot_;
    std::string shareRoot_;
};

// The history of this computer's backups on one share: built from the settings, or from any path
// below the computer's backup folder on the appliance.
class ShareVersionHistory : public VersionHistory {
public:
    explicit ShareVersionHistory(Platform* platform = nullptr);
    explicit ShareVersionHistory(const std::string& path, Platform* platform = nullptr);

    bool Init(const char* path) override;
    bool TrimToBackupFolder(const std::string& path, std::string* out) override;
    void SetRootFromPath(const std::string& path) override;
    void SetShareFromRoot() override;
    int RootEnd(const std::string& path) override;

    bool Initialised() const { return initialised_; }

private:
    bool initialised_ = false;
};

} // namespace backup
