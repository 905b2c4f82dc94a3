// The screen flow on Windows: the application's fields and the real screens behind the navigator.
#include "app/manager_app.h"

#include <windows.h>

#include "app/log.h"
#include "app/navigation.h"
#include "app/settings.h"
#include "protocol/sockets.h"
#include "setup/message_table.h"
#include "setup/screen_results.h"
#include "skin/resources_win32.h"

namespace {

class WindowsTexts : public setup::MessageTexts {
public:
    std::string String(int id) override { return skin::LoadString(static_cast<UINT>(id)); }
    std::string SystemText(uint32_t code) override {
        char* buffer = nullptr;
        const DWORD length =
            FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                           reinterpret_cast<char*>(&buffer), 0, nullptr);
        std::string text = length && buffer ? std::string(buffer, length) : std::string();
        if (buffer)
            LocalFree(buffer);
        return text;
    }
};

// The screens as far as they exist. Until the message dialog arrives, notices (the codes with
// only an OK button) show in a system message box with the dialog's texts; screens still to come
// answer as if closed, which ends the flow as before.
class WindowsScreens : public app::Screens {
public:
    int ShowMessage(const std::string& device, uint32_t code) override {
        const setup::MessageEntry entry = setup::LookUpMessage(code);
        if (entry.leftShown)
            return setup::RESULT_CLOSE;
        WindowsTexts texts;
        const std::string heading =
            device.empty() ? std::string()
                           : setup::DeviceHeading(texts.String(setup::STR_DEVICE_HEADING), device);
        const setup::PreparedMessage shown = setup::PrepareMessage(code, heading, texts);
        MessageBoxA(nullptr, shown.message.c_str(), shown.heading.c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
        return setup::PressMessageButton(shown.question, setup::MessageButton::Right).result;
    }

    app::LocateOutcome ShowLocate() override { return {setup::RESULT_CLOSE, "", ""}; }
    int ShowNote(const std::string&, const std::string&) override { return setup::RESULT_CLOSE; }

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

    // Not asked yet: an answer would lead to the Note screen, which is still to come.
    bool ProbeAnswers(const std::string&) override { return false; }

    void Wait(unsigned milliseconds) override { Sleep(milliseconds); }
};

} // namespace

int ManagerApp::RunStartMode(app::StartMode mode, bool alreadyRunning) {
    WindowsScreens screens;
    app::Navigator navigator({CurrentHostName, CurrentIP, backupNow}, screens);
    return navigator.RunStartMode(mode, alreadyRunning);
}
