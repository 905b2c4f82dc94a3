// Benchmarks of the selection file at 10,000 entries: loading, looking up and rewriting.
#include "backup/backup_config.h"
#include "backup/memory_platform.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kEntries = 10000;

std::string Source(int i) { return "C:\\Users\\Shared\\Folder " + std::to_string(i); }

// Half the entries belong to the share being edited, half to another one.
void Fill(backup::MemoryPlatform* p) {
    p->settings["backupFolder"] = "\\My Backup";
    std::string text;
    for (int i = 0; i < kEntries; ++i) {
        const char* root = i % 2 ? "\\\\T\\Q" : "\\\\S\\P";
        text += Source(i) + "\t" + root + "\\My Backup\\OFFICE1\\C\\Users\\Shared\\Folder " +
                std::to_string(i) + (i % 7 == 0 ? "\t1" : "") + "\r\n";
    }
    p->files[p->folder + backup::kBackupConfigName].bytes = text;
}

void BM_Load(benchmark::State& state) {
    backup::MemoryPlatform p;
    Fill(&p);
    backup::ShareBackupConfig c("\\\\S\\P", &p);
    for (auto _ : state) {
        bool ok = c.Load();
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

// The worst cases: the first entry (scanned last) and a source that is not there.
void BM_FindEntry(benchmark::State& state) {
    backup::MemoryPlatform p;
    Fill(&p);
    backup::ShareBackupConfig c("\\\\S\\P", &p);
    const std::string first = Source(0), absent = "D:\\Nowhere";
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.FindEntry(first));
        benchmark::DoNotOptimize(c.FindEntry(absent));
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_FindEntry)->Unit(benchmark::kMicrosecond);

void BM_FindIncludedBelow(benchmark::State& state) {
    backup::MemoryPlatform p;
    Fill(&p);
    backup::ShareBackupConfig c("\\\\S\\P", &p);
    for (auto _ : state)
        benchmark::DoNotOptimize(c.FindIncludedBelow("D:\\"));
}
BENCHMARK(BM_FindIncludedBelow)->Unit(benchmark::kMicrosecond);

// What the folder page does on Next: keep the other share's entries, write this share's again.
void BM_Rewrite(benchmark::State& state) {
    backup::MemoryPlatform p;
    Fill(&p);
    for (auto _ : state) {
        state.PauseTiming();
        Fill(&p);
        backup::ShareBackupConfig c("\\\\S\\P", &p);
        state.ResumeTiming();
        auto h = c.RewriteKeepingOthers();
        for (int i = 0; i < kEntries; i += 2)
            c.AddEntry(*h, Source(i), i % 7 == 0 ? 1 : 0);
        bool ok = h->Close();
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_Rewrite)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
