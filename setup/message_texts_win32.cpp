// String-table texts from the resource module and system texts from FormatMessage.
#include "setup/message_texts_win32.h"

#include <windows.h>

#include "skin/resources_win32.h"

namespace setup {

std::string WindowsMessageTexts::String(int id) { return skin::LoadString(static_cast<UINT>(id)); }

std::string WindowsMessageTexts::SystemText(uint32_t code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer),
        0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : std::string();
    if (buffer)
        LocalFree(buffer);
    return text;
}

} // namespace setup
