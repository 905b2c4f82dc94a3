// The Backup and restore menu (580), Advanced settings (584), File Maintenance (596) and the
// please-wait page (642).
#pragma once

#include <memory>
#include <string>

#include "backup/backup_menu.h"
#include "backup/platform.h"
#include "skin/screen_win32.h"

namespace backup {

// The current user's "tagOn" in the product key.
TagStore& UserTagStore();

// Ends with 130 (Set Backup), 131 (Restore Files), 132 (status), 133 (File Maintenance), 141
// (Back Up Now, after "backup" was sent), 101 (Main Menu) or 100. Back Up Now is enabled only
// when the selection holds folders for this share root.
class BackupMenuScreen : public skin::Screen {
public:
    // The platform (the selection's) and the sender default to the system's and the engine link.
    BackupMenuScreen(const std::string& hostName, const std::string& shareRoot,
                     Platform* platform = nullptr, CommandSender send = nullptr);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void Choose(int buttonId);
    void MoveFocus(bool previous);

    std::string hostName_;
    std::string shareRoot_;
    Platform* platform_;
    CommandSender send_;
};

// The kept versions and the folder-tag switch. Ends with 103 (Save), 101 (Back) or 100.
class AdvancedScreen : public skin::Screen {
public:
    AdvancedScreen(const std::string& hostName, TagStore* tags = nullptr,
                   Platform* platform = nullptr, CommandSender send = nullptr);
    ~AdvancedScreen() override;

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void Save();

    std::string hostName_;
    TagStore* store_;
    Platform* platform_;
    CommandSender send_;
    std::unique_ptr<FolderTagSetting> tags_;
    std::unique_ptr<ShareVersionHistory> history_;
};

// Delete Historical Versions and Sync Backup to Computer, each asked first and run on the
// please-wait page; the page stays open after either. Ends with 101 (Back) or 100.
class CleanUpScreen : public skin::Screen, private CleanUpPage {
public:
    CleanUpScreen(const std::string& hostName, Platform* platform = nullptr,
                  CommandSender send = nullptr);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    bool Operate(int buttonId);
    int Confirm(uint32_t code) override;
    int RunPleaseWait(const std::string& command) override;
    std::string SyncCommand() override;

    std::string hostName_;
    Platform* platform_;
    CommandSender send_;
};

// Sends one command on its first timer tick and waits for it on this thread; ends with 103 (OK,
// enabled once the command has returned) or 100 (X). Esc and Alt+F4 do nothing.
class PleaseWaitScreen : public skin::Screen, private PleaseWaitView {
public:
    PleaseWaitScreen(const std::string& command, CommandSender send, HWND parent = nullptr);

protected:
    bool OnInitDialog() override;
    void OnEnter(int focusedId) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    void OnClose() override {}

private:
    void SetBody(int stringId) override;
    void EnableOk() override;
    void StopTicking() override;
    void Send(const std::string& command) override;

    CommandSender send_;
    PleaseWait wait_;
};

} // namespace backup
