// The backup engine link on Windows: each command is one self-contained COM call to the engine's
// local server, and every failure stays here.
#include "backup/backup_engine.h"

#include <windows.h>
#include <ole2.h>

#include <cstring>

#include "app/log.h"

namespace backup {

// The engine's interface as the client calls it: IDispatch's seven entries, then SendCommand at
// position 7 of the function table, taking single-byte text and its length with the zero. It
// must not be local to this file: with no class here that implements it, the compiler would take
// every call through it for unreachable.
struct IEngineCommands : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE SendCommand(const char* text, int length) = 0;
};

namespace {

// {BF647682-2FED-49CE-9429-912485AC040C}
const CLSID kEngineClass = {
    0xBF647682, 0x2FED, 0x49CE, {0x94, 0x29, 0x91, 0x24, 0x85, 0xAC, 0x04, 0x0C}};
// {A3C89DB2-11AA-43B2-BFB4-CBC19BBA3574}
const IID kEngineInterface = {
    0xA3C89DB2, 0x11AA, 0x43B2, {0xBF, 0xB4, 0xCB, 0xC1, 0x9B, 0xBA, 0x35, 0x74}};

// A failed step of the call, with the HRESULT that ended it.
struct ComError {
    HRESULT code;
};

// The description the object left for the failure, if it supports error information.
void LogErrorInfo(IUnknown* object, HRESULT code) {
    ISupportErrorInfo* support = nullptr;
    bool described = false;
    if (SUCCEEDED(
            object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)))) {
        if (support->InterfaceSupportsErrorInfo(kEngineInterface) == S_OK) {
            IErrorInfo* info = nullptr;
            if (GetErrorInfo(0, &info) == S_OK && info) {
                BSTR text = nullptr;
                if (SUCCEEDED(info->GetDescription(&text)) && text) {
                    char narrow[512] = "";
                    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow - 1, nullptr,
                                        nullptr);
                    WriteLog(LOG_ERROR, "--- ERROR: Backup engine: 0x%08lX %s",
                             static_cast<unsigned long>(code), narrow);
                    described = true;
                    SysFreeString(text);
                }
                info->Release();
            }
        }
        support->Release();
    }
    if (!described)
        WriteLog(LOG_ERROR, "--- ERROR: Backup engine: 0x%08lX", static_cast<unsigned long>(code));
}

void Send(const char* command) {
    IUnknown* unknown = nullptr;
    IEngineCommands* engine = nullptr;
    try {
        // local server among the contexts: created as IUnknown, run, then asked for the interface
        HRESULT hr = CoCreateInstance(kEngineClass, nullptr, 0x17, IID_IUnknown,
                                      reinterpret_cast<void**>(&unknown));
        if (FAILED(hr) && hr != E_NOINTERFACE)
            throw ComError{hr};
        if (unknown) {
            hr = OleRun(unknown);
            if (FAILED(hr))
                throw ComError{hr};
            unknown->QueryInterface(kEngineInterface, reinterpret_cast<void**>(&engine));
            unknown->Release();
            unknown = nullptr;
        }
        if (!engine)
            throw ComError{E_UNEXPECTED};
        hr = engine->SendCommand(command, static_cast<int>(std::strlen(command)) + 1);
        if (FAILED(hr)) {
            LogErrorInfo(engine, hr);
            throw ComError{hr};
        }
        WriteLog(LOG_TRACE, "  Backup engine command <%s> sent", command);
    } catch (const ComError& e) {
        WriteLog(LOG_ERROR, "--- FAILED: Backup engine command <%s>: 0x%08lX", command,
                 static_cast<unsigned long>(e.code));
    } catch (...) {
        WriteLog(LOG_ERROR, "--- FAILED: Backup engine command <%s>", command);
    }
    if (unknown)
        unknown->Release();
    if (engine)
        engine->Release();
}

} // namespace

void BackupEngine::SendCommand(const char* command) {
    if (!command)
        return;
    const HRESULT init = CoInitialize(nullptr);
    try {
        Send(command);
    } catch (...) {
    }
    if (SUCCEEDED(init))
        CoUninitialize();
}

} // namespace backup
