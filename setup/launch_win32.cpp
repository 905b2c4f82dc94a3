// The Windows shell behind LaunchTarget: ShellExecute "open", the system's error text, a message
// box.
#include "setup/launch.h"

#include <windows.h>

#include <shellapi.h>

namespace setup {
namespace {

class WindowsShell : public Shell {
public:
    intptr_t Open(const std::string& target) override {
        HINSTANCE result =
            ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<intptr_t>(result);
    }

    std::string LastErrorText() override {
        const DWORD error = GetLastError();
        char* buffer = nullptr;
        const DWORD length =
            FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                           reinterpret_cast<char*>(&buffer), 0, nullptr);
        std::string text = length && buffer ? std::string(buffer, length) : std::string();
        if (buffer)
            LocalFree(buffer);
        return text;
    }

    void ShowError(const std::string& text) override {
        MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
    }
};

} // namespace

Shell& SystemShell() {
    static WindowsShell shell;
    return shell;
}

} // namespace setup
