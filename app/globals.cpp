// Process-wide values set at start-up.
#include "app/globals.h"

namespace app {
namespace {
std::string g_languageName = "English";
std::string g_installDirectory = DEFAULT_INSTALL_DIRECTORY;
bool g_firstDrag = false;
} // namespace

const std::string& LanguageName() { return g_languageName; }
void SetLanguageName(const std::string& name) { g_languageName = name; }
const std::string& InstallDirectory() { return g_installDirectory; }
void SetInstallDirectory(const std::string& dir) { g_installDirectory = dir; }
bool FirstDrag() { return g_firstDrag; }
void SetFirstDrag(bool on) { g_firstDrag = on; }

} // namespace app
