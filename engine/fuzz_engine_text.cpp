// Fuzz entry: the texts the engine parses (commands, its memory file, clean prefixes, and a run
// over a selection file whose lines come from the input).
#include "backup/memory_platform.h"
#include "engine/clean.h"
#include "engine/engine_core.h"
#include "engine/memory_file_system.h"
#include "engine/schedule_clock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

class FuzzHost : public engine::EngineHost {
public:
    engine::FileSystem& Files() override { return fs; }
    backup::Platform& DataFiles() override { return data; }
    void Log(const std::string&, const std::string&) override {}
    void Publish(const backup::ProgressRecord&, bool) override {}
    bool Cancelled() override { return false; }
    std::string Today() override { return "01012005"; }
    std::string ComputerName() override { return "PC"; }
    std::string JournalPath() override { return "C:\\j.txt"; }
    engine::MemoryFileSystem fs;
    backup::MemoryPlatform data;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const engine::Command c = engine::ParseCommand(text.c_str(), static_cast<int>(size) + 1);
    engine::AcceptablePrefix(c.argument, "PC");
    engine::ParseMemory(text);

    FuzzHost host;
    host.fs.AddRoot("C:");
    host.fs.AddRoot("\\\\S\\P");
    host.fs.AddFile("C:\\A\\f.txt", "f", 1);
    host.fs.AddFile("C:\\j.txt", text, 1);
    host.data.files[host.data.folder + "KelBackConfig.txt"].bytes = text;
    host.data.files[host.data.folder + "histKel.txt"].bytes = text;
    backup::ProgressRecord record;
    engine::RunBackup(host, &record);
    if (c.kind == engine::CommandKind::Clean)
        engine::CleanPrefix(host, c.argument);
    return 0;
}
