// engine_bench.exe: the timings bench-engine prints. One measurement per run:
//   run DATA           "backup" to the engine with DATA as its data folder, until the run ends
//   walk DIR...        a bare FindFirstFile/FindNextFile walk of the trees
//   cancel DATA        "cancel" in the middle of a large file, until the run ends
//   latency            records published as the engine publishes them, to the progress screen
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "backup/backup_engine.h"
#include "backup/progress_channel.h"
#include "backup/progress_record.h"
#include "backup/progress_screen_win32.h"

namespace {

double Ms(const LARGE_INTEGER& from) {
    LARGE_INTEGER now, f;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) /
           static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

backup::ProgressRecord WaitFinished() {
    backup::ProgressChannel& channel = backup::ProcessProgressChannel();
    while (channel.Poll(nullptr, 1000) != backup::POLL_FINISHED) {
    }
    return channel.Last();
}

long Walk(const std::string& folder) {
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &d);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    long n = 0;
    do {
        const std::string name = d.cFileName;
        if (name == "." || name == "..")
            continue;
        ++n;
        if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            n += Walk(folder + "\\" + name);
    } while (FindNextFileA(h, &d));
    FindClose(h);
    return n;
}

int Latency() {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        backup::kProgressRecordSize, backup::kProgressMappingName);
    auto* view = static_cast<unsigned char*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, backup::kProgressRecordSize));
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, backup::kProgressEventName);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, backup::kProgressMutexName);
    constexpr int kSamples = 30;
    static LARGE_INTEGER published[kSamples + 1];
    static double seen[kSamples + 1];
    HANDLE shownEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    auto publish = [&](int files, bool finished) {
        backup::ProgressRecord r;
        r.filesCompleted = files;
        r.finished = finished;
        WaitForSingleObject(mutex, INFINITE);
        backup::EncodeProgress(r, view);
        ReleaseMutex(mutex);
        published[files] = Now();
        SetEvent(event);
    };
    publish(0, false);
    struct Publisher {
        static DWORD WINAPI Main(void* p) {
            (*static_cast<std::function<void()>*>(p))();
            return 0;
        }
    };
    std::function<void()> run = [&] {
        for (int i = 1; i <= kSamples; ++i) {
            // between the screen's ticks at varying places
            Sleep(180 + (i * 37) % 200);
            publish(i, i == kSamples);
            WaitForSingleObject(shownEvent, 5000);
        }
    };
    backup::BackupProgressScreen screen(
        "NAS1", "\\\\NAS1\\anne", "S:", nullptr, [](const char*) {},
        [&](bool complete) {
            const backup::ProgressRecord r = backup::ProcessProgressChannel().Last();
            if (r.filesCompleted > 0 && r.filesCompleted <= kSamples && !seen[r.filesCompleted])
                seen[r.filesCompleted] = Ms(published[r.filesCompleted]);
            SetEvent(shownEvent);
            if (complete)
                PostMessageA(GetActiveWindow(), WM_CLOSE, 0, 0);
        });
    HANDLE thread = CreateThread(nullptr, 0, &Publisher::Main, &run, 0, nullptr);
    screen.DoModal();
    WaitForSingleObject(thread, INFINITE);
    double worst = 0, sum = 0;
    int n = 0;
    for (int i = 1; i <= kSamples; ++i) {
        if (seen[i] > 0) {
            worst = seen[i] > worst ? seen[i] : worst;
            sum += seen[i];
            ++n;
        }
    }
    std::printf("latency-max-ms %.1f mean-ms %.1f samples %d\n", worst, n ? sum / n : 0.0, n);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string mode = argv[1];
    if (mode == "walk") {
        const LARGE_INTEGER start = Now();
        long n = 0;
        for (int i = 2; i < argc; ++i)
            n += Walk(argv[i]);
        std::printf("walk-ms %.1f entries %ld\n", Ms(start), n);
        return 0;
    }
    if (mode == "latency")
        return Latency();
    if (mode == "rawcopy" && argc == 4) {
        const LARGE_INTEGER start = Now();
        std::vector<char> buffer(512 * 1024);
        std::function<void(const std::string&, const std::string&)> copy =
            [&](const std::string& from, const std::string& to) {
                CreateDirectoryA(to.c_str(), nullptr);
                WIN32_FIND_DATAA d;
                HANDLE h = FindFirstFileA((from + "\\*").c_str(), &d);
                do {
                    const std::string name = d.cFileName;
                    if (name == "." || name == "..")
                        continue;
                    if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                        copy(from + "\\" + name, to + "\\" + name);
                        continue;
                    }
                    HANDLE in = CreateFileA((from + "\\" + name).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
                    HANDLE out = CreateFileA((to + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, 0, nullptr);
                    DWORD got = 0, put = 0;
                    while (ReadFile(in, buffer.data(), (DWORD)buffer.size(), &got, nullptr) && got)
                        WriteFile(out, buffer.data(), got, &put, nullptr);
                    CloseHandle(in);
                    CloseHandle(out);
                } while (FindNextFileA(h, &d));
                FindClose(h);
            };
        copy(argv[2], argv[3]);
        std::printf("rawcopy-ms %.1f\n", Ms(start));
        return 0;
    }
    if (argc < 3)
        return 2;
    SetEnvironmentVariableA("TOV_ENGINE_DATA", argv[2]);
    backup::ProcessProgressChannel();
    if (mode == "run") {
        // the resident engine and this process's COM are ready before the clock starts
        backup::BackupEngine::SendCommand("reschedule");
        const LARGE_INTEGER start = Now();
        backup::BackupEngine::SendCommand("backup");
        const backup::ProgressRecord r = WaitFinished();
        std::printf("run-ms %.1f files %d bytes %llu state %d\n", Ms(start), r.filesCompleted,
                    static_cast<unsigned long long>(r.bytesCopied), r.state);
        return 0;
    }
    if (mode == "cancel") {
        backup::BackupEngine::SendCommand("reschedule");
        backup::BackupEngine::SendCommand("backup");
        backup::ProgressChannel& channel = backup::ProcessProgressChannel();
        for (;;) {
            if (channel.Poll(nullptr, 1000) == backup::POLL_FINISHED) {
                std::printf("cancel-ms none (the run ended first)\n");
                return 1;
            }
            if (channel.Last().bytesCopied > 64ull * 1024 * 1024)
                break;
        }
        const LARGE_INTEGER start = Now();
        backup::BackupEngine::SendCommand("cancel");
        const backup::ProgressRecord r = WaitFinished();
        std::printf("cancel-ms %.1f state %d\n", Ms(start), r.state);
        return 0;
    }
    return 2;
}
