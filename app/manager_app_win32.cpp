// Start-up of tovManager: switches, log, language library, install directory, single instance.
#include "app/manager_app.h"

#include <windows.h>

#include "app/globals.h"
#include "app/language.h"
#include "app/log.h"
#include "app/settings.h"
#include "app/settings_rules.h"
#include "res/resource.h"
#include "skin/dialog_win32.h"
#include "skin/look.h"
#include "skin/resources_win32.h"

namespace {

ManagerApp* g_current = nullptr;

// The library of the "Language" value, made the source of dialogs, strings and button bitmaps;
// null when the program's own resources stay in use.
HMODULE ChooseLanguage() {
    const AppSettings::RawValue value =
        AppSettings::ReadRaw(AppSettings::Root::LocalMachine, "Language");
    if (value.sized)
        WriteLog(LOG_DETAIL, "Read Language Size %d bytes", static_cast<int>(value.size));
    std::string text;
    if (value.read) {
        text = AppSettings::TextFromBytes(value.data);
        WriteLog(LOG_DETAIL, "Read Language Value -->%s<--", text.c_str());
    }
    const std::string name = AppSettings::TrimWhite(text);
    app::SetLanguageName(name);
    skin::SetInterfaceLanguage(name);
    WriteLog(LOG_DETAIL, "%s", app::LANGUAGE_ENGLISH_LINE);

    const app::LanguageEntry* entry = app::FindLanguage(name);
    if (!entry) {
        WriteLog(LOG_DETAIL, "%s", app::LANGUAGE_ENGLISH_LINE);
        return nullptr;
    }
    // A library that is missing or broken must not bring up a system error box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(entry->library);
    SetErrorMode(oldMode);
    if (!module)
        return nullptr;
    skin::SetResourceModule(module);
    WriteLog(LOG_DETAIL, "%s", entry->logLine);
    return module;
}

void ReadInstallDirectory() {
    const std::string dir = AppSettings::ReadInstallDirectory();
    app::SetInstallDirectory(dir.empty() ? app::DEFAULT_INSTALL_DIRECTORY : dir);
}

void ReleaseLanguage(HMODULE module) {
    // Nothing may look up a resource in a library that is gone.
    skin::SetResourceModule(nullptr);
    if (module)
        FreeLibrary(module);
}

} // namespace

ManagerApp::ManagerApp() {
    if (!g_current)
        g_current = this;
}

ManagerApp::~ManagerApp() {
    if (g_current == this)
        g_current = nullptr;
}

ManagerApp* ManagerApp::Current() { return g_current; }

bool ManagerApp::InitInstance() {
    const char* commandLine = GetCommandLineA();
    const app::StartSwitches switches = app::ParseSwitches(commandLine ? commandLine : "");
    shareSetup = switches.shareSetup;
    backupMenu = switches.backupMenu;
    manage = switches.manage;
    backupNow = switches.backupNow;
    dashBoard = switches.dashBoard;
    missBackup = switches.missBackup;
    app::SetFirstDrag(switches.firstDrag);
    const app::StartMode mode = app::ChooseStartMode(switches);
    const char* instanceName = app::InstanceName(mode);

    InitLog(switches.debug ? 0xFFFF : 0, LOG_PATH);
    WriteLog(LOG_TRACE, "\n\n---------------------------------------------------------------");
    WriteLog(LOG_TRACE, "Starting TOV Appliction");

    HMODULE language = ChooseLanguage();
    ReadInstallDirectory();

    // The name is the lock: whoever created the mapping holds it until its handle is closed.
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, instanceName);
    const DWORD error = GetLastError();
    if (!mapping) {
        WriteLog(LOG_ERROR, "--- FAILED: Create single instance object <%s> error %lu",
                 instanceName, static_cast<unsigned long>(error));
        const std::string text = skin::LoadString(IDS_APP_INIT_FAILED);
        const std::string caption = skin::LoadString(IDS_APP_TITLE);
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
        ReleaseLanguage(language);
        return false;
    }

    // The screens' progress bars, date pickers and trees are the system's common controls; without
    // their classes a screen cannot be created, which the flow then reports.
    if (!skin::RegisterCommonControls())
        WriteLog(LOG_ERROR, "--- FAILED: Register the common controls error %lu",
                 static_cast<unsigned long>(GetLastError()));

    RunStartMode(mode, error == ERROR_ALREADY_EXISTS);

    ReleaseLanguage(language);
    CloseHandle(mapping);
    return false;
}
