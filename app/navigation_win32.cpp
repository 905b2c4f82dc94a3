// The screen flow on Windows: the application's fields and the real screens behind the navigator.
#include "app/manager_app.h"

#include <windows.h>

#include "app/navigation.h"
#include "app/settings.h"
#include "protocol/echo_probe.h"
#include "protocol/sockets.h"
#include "setup/locate_win32.h"
#include "setup/message_dialog_win32.h"
#include "setup/note_win32.h"
#include "setup/screen_results.h"

namespace {

// Set only by the frame's tests, which start the program outside the network lab: the flow then
// neither probes nor scans (the Locate screen answers as closed). Unset, nothing changes.
bool NetworkLeftOutForTests() {
    char value[8] = "";
    return GetEnvironmentVariableA("TOV_TEST_NO_NETWORK", value, sizeof value) > 0 &&
           value[0] == '1';
}

class WindowsScreens : public app::Screens {
public:
    int ShowMessage(const std::string& device, uint32_t code) override {
        return setup::ShowMessageDialog(device, code);
    }

    app::LocateOutcome ShowLocate() override {
        if (offline)
            return {setup::RESULT_CLOSE, "", ""};
        setup::LocateDialog locate;
        const int result = locate.DoModal();
        return {result, locate.SelectedHostName(), locate.SelectedIpAddress()};
    }

    int ShowNote(const std::string& hostName, const std::string& ipAddress) override {
        setup::NoteScreen note(hostName, ipAddress);
        return note.DoModal();
    }

    std::string ReadSetting(const char* name) override {
        std::string text;
        AppSettings::ReadString(AppSettings::Root::CurrentUser, name, &text);
        return text;
    }

    bool StartSockets() override {
        uint32_t error = 0;
        return SocketsStart(&error);
    }
    void StopSockets() override { SocketsRelease(); }

    bool ProbeAnswers(const std::string& address) override {
        if (offline)
            return false;
        return EchoProbe().Probe(address.c_str()) == PROBE_ANSWERED;
    }

    void Wait(unsigned milliseconds) override { Sleep(milliseconds); }

private:
    const bool offline = NetworkLeftOutForTests();
};

} // namespace

int ManagerApp::RunStartMode(app::StartMode mode, bool alreadyRunning) {
    WindowsScreens screens;
    app::Navigator navigator({CurrentHostName, CurrentIP, backupNow}, screens);
    return navigator.RunStartMode(mode, alreadyRunning);
}
