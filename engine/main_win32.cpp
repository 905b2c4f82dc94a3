// tovengine.exe: the backup engine. "/RegServer" and "/UnregServer" register it; "/Quit" ends the
// running one; "/BackupNow" starts a backup in the running one, as its tray menu does; otherwise
// (at logon, or "-Embedding" when COM starts it) it stays resident.
#include <windows.h>

#include <cstring>

#include "engine/engine_server_win32.h"

namespace {

bool Is(const char* arg, const char* name) {
    return (arg[0] == '/' || arg[0] == '-') && lstrcmpiA(arg + 1, name) == 0;
}

} // namespace

int main(int argc, char** argv) {
    bool embedding = false;
    for (int i = 1; i < argc; ++i) {
        if (Is(argv[i], "RegServer"))
            return engine::Register(true);
        if (Is(argv[i], "UnregServer"))
            return engine::Register(false);
        if (Is(argv[i], "Quit"))
            return engine::QuitRunning();
        if (Is(argv[i], "BackupNow"))
            return engine::BackUpNowRunning();
        if (Is(argv[i], "Embedding"))
            embedding = true;
    }
    return engine::RunServer(embedding);
}
