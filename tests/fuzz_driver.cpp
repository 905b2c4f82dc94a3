// Runs a libFuzzer entry point without libFuzzer: over a corpus folder, then a fixed stream of
// pseudo-random inputs, so that the host test run keeps every fuzz target built and exercised.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        for (auto& e : std::filesystem::recursive_directory_iterator(argv[i], ec)) {
            if (!e.is_regular_file())
                continue;
            std::ifstream in(e.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++runs;
        }
    }
    // Fixed seed: a failure here reproduces on every run.
    std::mt19937 rng(12345);
    std::vector<uint8_t> buf;
    for (int n = 0; n < 20000; ++n) {
        size_t len = rng() % (n % 10 == 0 ? 5000 : 300);
        buf.resize(len);
        for (auto& b : buf)
            b = static_cast<uint8_t>(rng() % 4 == 0 ? "\n\t \r0:\\erdsgu"[rng() % 13] : rng());
        LLVMFuzzerTestOneInput(buf.data(), buf.size());
        ++runs;
    }
    std::printf("%zu inputs run\n", runs);
    return 0;
}
