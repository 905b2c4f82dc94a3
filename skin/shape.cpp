// Finds the transparent runs in the edge band of a skin bitmap.
#include "skin/shape.h"

namespace skin {
namespace {

void ScanLine(const std::uint32_t* row, int line, int width, std::vector<EdgeRun>& runs) {
    int x = 0;
    while (x < width) {
        if ((row[x] & 0xFFFFFF) == kTransparentRgb) {
            int end = x;
            while (end + 1 < width && (row[end + 1] & 0xFFFFFF) == kTransparentRgb) {
                ++end;
            }
            runs.push_back({line, x, end});
            x = end + 1;
        } else {
            ++x;
        }
        // the middle of a line is never searched, only what a run carries the walk over
        if (x > 20 && x < width - 19) {
            x = width - 19;
        }
    }
}

} // namespace

bool InEdgeBand(int line, int height) {
    // rows counted from the bottom: 0 to 20, then height - 19 to height - 1
    const int r = height - 1 - line;
    return line >= 0 && line < height && (r <= 20 || r >= height - 19);
}

std::vector<EdgeRun> FindEdgeRuns(const std::uint32_t* pixels, int width, int height) {
    std::vector<EdgeRun> runs;
    if (!pixels || width <= 0 || height <= 0) {
        return runs;
    }
    for (int r = 0; r < height; ++r) {
        if (r > 20 && r < height - 19) {
            r = height - 19;
        }
        const int line = height - 1 - r;
        ScanLine(pixels + static_cast<std::size_t>(line) * width, line, width, runs);
    }
    return runs;
}

} // namespace skin
