// Resource look-ups through the language library or the program's own module.
#include "skin/resources_win32.h"

namespace skin {
namespace {
HMODULE g_resourceModule = nullptr;
} // namespace

void SetResourceModule(HMODULE module) { g_resourceModule = module; }

HMODULE ResourceModule() { return g_resourceModule ? g_resourceModule : ProgramModule(); }

HMODULE ProgramModule() { return GetModuleHandleA(nullptr); }

std::string LoadString(UINT id) {
    // LoadString cannot tell the length in advance; the longest texts are well under 4 KB.
    char buffer[4096];
    int n = LoadStringA(ResourceModule(), id, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, n) : std::string();
}

} // namespace skin
