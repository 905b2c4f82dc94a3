// tovwizardhost.exe: runs one page of the backup wizard in a process of its own for the screen
// tests, over a data folder, drives and a documents folder the test gives.
//
//   tovwizardhost folders SEMAPHORE DATA_FOLDER SHARE_ROOT DOCUMENTS|- ROOT...
//   tovwizardhost schedule DATA_FOLDER SHARE_ROOT
//   tovwizardhost summary DATA_FOLDER SHARE_ROOT DRIVE_LETTER
// The folder page releases the named semaphore each time an item's sub-folders are in the tree;
// the schedule page prints "engine COMMAND" for each engine command. The exit code and the last
// line ("result N") are the page's result. The backup folder is "\My Backup".
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/log.h"
#include "backup/platform_win32.h"
#include "backup/wizard_folders_win32.h"
#include "backup/wizard_schedule_win32.h"
#include "skin/dialog_win32.h"

namespace {

bool HostSetting(const char* name, std::string* out) {
    if (std::string(name) != "backupFolder")
        return false;
    *out = "\\My Backup";
    return true;
}

class HostPlatform : public backup::Win32Platform {
public:
    explicit HostPlatform(const std::string& folder)
        : Win32Platform(&HostSetting), folder(folder) {}
    std::string DataFolder() override { return folder; }

private:
    std::string folder;
};

class HostSource : public backup::FolderSource {
public:
    std::string DocumentsFolder() override { return documents; }
    std::vector<std::string> Drives() override { return drives; }
    std::string documents;
    std::vector<std::string> drives;
};

class HostFolders : public backup::WizardFoldersScreen {
public:
    HostFolders(const std::string& root, backup::Platform* p, backup::FolderSource* s, HANDLE done)
        : WizardFoldersScreen(root, p, s), done(done) {}

protected:
    void FoldersLoaded(int) override { ReleaseSemaphore(done, 1, nullptr); }

private:
    HANDLE done;
};

class HostSchedule : public backup::WizardScheduleScreen {
public:
    using WizardScheduleScreen::WizardScheduleScreen;

protected:
    void SendEngineCommand(const char* command) override {
        std::printf("engine %s\n", command);
        std::fflush(stdout);
    }
};

int Usage() {
    std::fprintf(stderr, "usage: tovwizardhost folders|schedule|summary ...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return Usage();
    skin::RegisterCommonControls();
    const std::string page = argv[1];
    int result = -1;
    if (page == "folders" && argc >= 6) {
        HANDLE done = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, argv[2]);
        HostPlatform platform(argv[3]);
        HostSource source;
        if (std::string(argv[5]) != "-")
            source.documents = argv[5];
        for (int i = 6; i < argc; ++i)
            source.drives.push_back(argv[i]);
        HostFolders screen(argv[4], &platform, &source, done);
        result = screen.DoModal();
        if (done)
            CloseHandle(done);
    } else if (page == "schedule") {
        HostPlatform platform(argv[2]);
        HostSchedule screen(argv[3], "C:\\Program Files\\Kelvox", &platform);
        result = screen.DoModal();
    } else if (page == "summary" && argc >= 5) {
        HostPlatform platform(argv[2]);
        backup::WizardSummaryScreen screen(argv[3], argv[4], &platform);
        result = screen.DoModal();
    } else {
        return Usage();
    }
    std::printf("result %d\n", result);
    std::fflush(stdout);
    return result;
}
