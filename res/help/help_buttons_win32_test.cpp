// Each screen's Help, in this process: the shell opens the screen's own help file from the
// install folder, and that file is there and is a compiled help file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "app/globals.h"
#include "backup/backup_menu_win32.h"
#include "backup/memory_platform.h"
#include "backup/restore_type_win32.h"
#include "backup/restore_files_win32.h"
#include "lab/uidriver/gallery_run_win32.h"
#include "lab/uidriver/help_opened_win32.h"
#include "res/resource.h"
#include "setup/account_screens_win32.h"
#include "setup/completion.h"
#include "setup/screen_run_win32.h"
#include "sort/sort_win32.h"

namespace {

using uidriver_test::BinDir;

// The first four bytes of a file, "" when it cannot be read.
std::string Magic(const std::string& path) {
    char bytes[4] = {};
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return "";
    const std::size_t n = std::fread(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    return std::string(bytes, n);
}

TEST(HelpButtons, EachScreenOpensItsOwnHelpFileFromTheInstallFolder) {
    // as the installer leaves it: the folder, with its closing backslash
    app::SetInstallDirectory(BinDir());
    backup::MemoryPlatform platform;
    const backup::CommandSender ignore = [](const char*) {};
    const std::string noShare = "C:\\tovhelp-test\\share";

    struct Case {
        const char* what;
        int dialogId;
        const char* file; // the file the screen's help string names
        std::function<int()> show;
    };
    const Case cases[] = {
        {"Drag and Sort", IDD_SORT_SETTINGS, "drag_sort.chm",
         [] { return dragsort::SortSettingsScreen().DoModal(); }},
        {"Advanced settings", IDD_ADVANCED, "help_versions.chm",
         [&] { return backup::AdvancedScreen("NAS1", nullptr, &platform, ignore).DoModal(); }},
        {"File Maintenance", IDD_CLEAN_UP, "help_file.chm",
         [&] { return backup::CleanUpScreen("NAS1", &platform, ignore).DoModal(); }},
        {"restore type", IDD_RESTORE_TYPE, "help_restore_type.chm",
         [&] { return backup::RestoreTypeScreen(noShare).DoModal(); }},
        {"restore files", IDD_RESTORE_FILES, "help_restore.chm",
         [&] { return backup::RestoreFilesScreen("S", noShare).DoModal(); }},
        {"Choose account", IDD_CHOOSE_ACCOUNT, "help_user_acct.chm",
         [] { return setup::ChooseAccountScreen("NAS1", setup::CREATE_PUBLIC).DoModal(); }},
        {"public name", IDD_NAME_PASSWORD, "help_name.chm",
         [] {
             return setup::NamePasswordScreen("NAS1", "127.0.0.1", setup::CREATE_PUBLIC).DoModal();
         }},
        {"private name and password", IDD_NAME_PASSWORD, "help_name_pswd.chm",
         [] {
             return setup::NamePasswordScreen("NAS1", "127.0.0.1", setup::CREATE_PRIVATE).DoModal();
         }},
        {"account purpose", IDD_ACCOUNT_PURPOSE, "help_folders.chm",
         [] {
             return setup::PurposeScreen("NAS1", "127.0.0.1", setup::CREATE_PRIVATE, "anne",
                                         "secret")
                 .DoModal();
         }},
    };
    uidriver::OpenedFiles opened;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // the install folder ends in a backslash and the screen's string begins with one
        char full[MAX_PATH] = "";
        GetFullPathNameA((BinDir() + "\\" + c.file).c_str(), MAX_PATH, full, nullptr);
        setup_test::ScreenRun run(c.show);
        ASSERT_TRUE(run.WaitShown(c.dialogId));
        ASSERT_TRUE(run.Visible(IDC_HELP_BUTTON));
        ASSERT_TRUE(run.Click(IDC_HELP_BUTTON));
        // the shell opens the file by its full name: the doubled backslash goes
        EXPECT_EQ(opened.WaitNext(setup_test::kScreenDeadlineMs), full);
        EXPECT_EQ(Magic(full), "ITSF") << full;
        opened.CloseViewers();
        ASSERT_TRUE(run.Key("Alt+F4"));
        EXPECT_EQ(run.Result(), 100);
    }
}

} // namespace
