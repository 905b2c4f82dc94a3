// A stand-in tovManager.exe for the engine's tests: it appends its command line to
// "launches.txt" beside itself and releases the semaphore "TOV_TEST_MANAGER_STARTED".
#include <windows.h>

#include <string>

int main() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string file = path;
    file = file.substr(0, file.find_last_of('\\')) + "\\launches.txt";
    const std::string line = std::string(GetCommandLineA()) + "\r\n";
    HANDLE h = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD done = 0;
        WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &done, nullptr);
        CloseHandle(h);
    }
    HANDLE started = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, "TOV_TEST_MANAGER_STARTED");
    if (started) {
        ReleaseSemaphore(started, 1, nullptr);
        CloseHandle(started);
    }
    return 0;
}
