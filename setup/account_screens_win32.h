// The three account screens: Choose account (590), Name and password (593), Account purpose (607).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "setup/setup_thread_win32.h"
#include "skin/screen_win32.h"

namespace setup {

// What the three screens share: the title and appliance name, Back and the forward button, the
// help link, the busy state with its wait cursor, Enter, and the stop of a set-up whose screen
// goes.
class AccountScreen : public skin::Screen {
public:
    AccountScreen(UINT templateId, std::string applianceName);
    ~AccountScreen() override;
    AccountScreen(const AccountScreen&) = delete;
    AccountScreen& operator=(const AccountScreen&) = delete;

protected:
    // InitSkin and the placed controls, the appliance name.
    void Prepare(int dialogId);
    void EnableButton(int buttonId, int labelId, bool enabled);
    // Busy: the wait cursor, Back and the forward button disabled; and back.
    void SetBusy(bool busy);
    bool Busy() const { return busy; }
    // The help file named by a string, below the install directory.
    void OpenHelp(int fileStringId);
    // The instruction replaced by the busy text over the room of the controls hidden with it.
    void ShowBusyText();

    void OnEnter(int focusedId) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // The window goes: a set-up still running is told to stop waiting.
    void OnDestroy() override;

    std::string applianceName;
    // Set when the window goes; the screen's workers end before DoModal returns, so it outlives
    // them.
    HANDLE stop;

private:
    bool busy = false;
};

class ChooseAccountScreen : public AccountScreen {
public:
    ChooseAccountScreen(const std::string& applianceName, int function);
    int Function() const { return function; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    bool Checked(int id) const;
    int function;
};

class NamePasswordScreen : public AccountScreen {
public:
    NamePasswordScreen(const std::string& applianceName, const std::string& ipAddress,
                       int function);

    const std::string& AccountName() const { return accountName; }
    const std::string& Password() const { return password; }
    uint32_t ResultCode() const { return resultCode; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void ProposeWindowsUser();
    void StartUserList();
    void OnUserListReady(LPARAM lParam);
    void OnSelectionChange();
    void ApplyPasswordAnswer(int answer);
    void Forward();
    void StartExistingSetup();

    std::string ipAddress;
    int function;
    std::string accountName;
    std::string password;
    uint32_t resultCode = 0;
    bool noPassword = false;
};

class PurposeScreen : public AccountScreen {
public:
    PurposeScreen(const std::string& applianceName, const std::string& ipAddress, int function,
                  const std::string& accountName, const std::string& password);

    const std::string& AccountName() const { return accountName; }
    uint32_t ResultCode() const { return resultCode; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void Finish();

    std::string ipAddress;
    int function;
    std::string accountName;
    std::string password;
    uint32_t resultCode = 0;
};

// What the user-list thread hands the name screen.
struct UserList {
    uint32_t code = 0;
    std::vector<std::string> names;
    std::string first;    // the entry the screen selects
    int passwordNeed = 0; // the share-password answer for it
};

} // namespace setup
