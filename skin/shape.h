// Which pixels of a skin bitmap's edge band are transparent: the runs cut out of the window.
#pragma once

#include <cstdint>
#include <vector>

namespace skin {

// One run of magenta pixels on one bitmap line, columns first..last inclusive.
struct EdgeRun {
    int line; // bitmap line, 0 at the top
    int first;
    int last;
};

// The colour that marks transparency, as 0x00RRGGBB.
constexpr std::uint32_t kTransparentRgb = 0xFF00FF;

// Walks the bottom 21 and top 19 lines of a width x height bitmap (rows counted from the
// bottom: 0 to 20, then height - 19 up to height - 1), and in each line the columns 0 to 20 and
// width - 19 onwards; a run that starts inside the band is followed to its end. pixels holds
// width * height values 0x00RRGGBB, top line first.
std::vector<EdgeRun> FindEdgeRuns(const std::uint32_t* pixels, int width, int height);

// Whether FindEdgeRuns looks at bitmap line (0 at the top) of a bitmap of that height: only the
// pixels of these lines need to be given.
bool InEdgeBand(int line, int height);

} // namespace skin
