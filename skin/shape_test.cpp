// Tests of the edge-band search that shapes the skinned windows.
#include "skin/shape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace skin {
namespace {

struct Bitmap {
    int w, h;
    std::vector<std::uint32_t> px;
    Bitmap(int width, int height) : w(width), h(height), px(width * height, 0xFFFFFF) {}
    void Set(int x, int y, std::uint32_t c = kTransparentRgb) { px[y * w + x] = c; }
    void Fill(int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                Set(x, y);
            }
        }
    }
};

// Every pixel the runs remove.
std::set<std::pair<int, int>> Removed(const std::vector<EdgeRun>& runs) {
    std::set<std::pair<int, int>> s;
    for (const EdgeRun& r : runs) {
        for (int x = r.first; x <= r.last; ++x) {
            EXPECT_TRUE(s.insert({x, r.line}).second) << "pixel removed twice";
        }
    }
    return s;
}

TEST(EdgeRuns, CornersWithinTheBandAreCutAndTheMiddleStays) {
    Bitmap b(650, 364);
    b.Fill(0, 0, 9, 9);     // top left
    b.Fill(640, 0, 649, 9); // top right
    b.Fill(0, 354, 9, 363); // bottom left
    b.Fill(640, 354, 649, 363);
    b.Fill(300, 150, 320, 170); // the middle
    b.Fill(300, 0, 310, 5);     // top edge, but outside the searched columns
    auto removed = Removed(FindEdgeRuns(b.px.data(), b.w, b.h));
    EXPECT_EQ(removed.size(), 400u);
    EXPECT_TRUE(removed.count({0, 0}));
    EXPECT_TRUE(removed.count({649, 363}));
    EXPECT_TRUE(removed.count({645, 5}));
    EXPECT_FALSE(removed.count({310, 160}));
    EXPECT_FALSE(removed.count({305, 2}));
}

TEST(EdgeRuns, SearchesBottom21AndTop19Lines) {
    Bitmap b(100, 100);
    // a magenta column at x = 0 down the whole height
    for (int y = 0; y < 100; ++y) {
        b.Set(0, y);
    }
    std::set<int> lines;
    for (const EdgeRun& r : FindEdgeRuns(b.px.data(), b.w, b.h)) {
        lines.insert(r.line);
    }
    // rows 0..20 from the bottom are lines 99..79; rows 81..99 are lines 18..0
    EXPECT_EQ(lines.size(), 40u);
    EXPECT_TRUE(lines.count(79));
    EXPECT_FALSE(lines.count(78));
    EXPECT_TRUE(lines.count(18));
    EXPECT_FALSE(lines.count(19));
    // the band that readers of the pixels need to fill is exactly the searched one
    for (int y = -1; y <= 100; ++y) {
        EXPECT_EQ(InEdgeBand(y, 100), lines.count(y) == 1) << y;
    }
}

TEST(EdgeRuns, SearchesLeft21AndRight19Columns) {
    Bitmap b(100, 50);
    for (int x = 0; x < 100; x += 2) {
        b.Set(x, 0); // every other pixel of the top line
    }
    std::set<int> cols;
    for (const EdgeRun& r : FindEdgeRuns(b.px.data(), b.w, b.h)) {
        EXPECT_EQ(r.first, r.last);
        cols.insert(r.first);
    }
    EXPECT_TRUE(cols.count(20));
    EXPECT_FALSE(cols.count(22));
    EXPECT_FALSE(cols.count(80)); // width - 20
    EXPECT_TRUE(cols.count(82));
    EXPECT_TRUE(cols.count(98));
    EXPECT_EQ(cols.size(), 11u + 9u);
}

TEST(EdgeRuns, ARunStartedInTheBandIsFollowedAcrossTheMiddle) {
    Bitmap b(200, 60);
    b.Fill(10, 3, 150, 3);  // starts inside the left band, ends in the middle
    b.Fill(160, 3, 170, 3); // in the middle, after the run: skipped
    b.Fill(185, 3, 199, 3); // right band, reaching the last column
    auto runs = FindEdgeRuns(b.px.data(), b.w, b.h);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].first, 10);
    EXPECT_EQ(runs[0].last, 150);
    EXPECT_EQ(runs[1].first, 185);
    EXPECT_EQ(runs[1].last, 199);
}

TEST(EdgeRuns, OnlyExactMagentaIsTransparent) {
    Bitmap b(60, 60);
    b.Set(0, 0, 0xFE00FF);
    b.Set(1, 0, 0xFF01FF);
    b.Set(2, 0, 0xFF00FF);
    b.Set(3, 0, 0xAAFF00FF); // the top byte is not part of the colour
    auto runs = FindEdgeRuns(b.px.data(), b.w, b.h);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].first, 2);
    EXPECT_EQ(runs[0].last, 3);
}

TEST(EdgeRuns, SmallAndEmptyBitmaps) {
    EXPECT_TRUE(FindEdgeRuns(nullptr, 10, 10).empty());
    Bitmap b(5, 3);
    b.Fill(0, 0, 4, 2);
    auto runs = FindEdgeRuns(b.px.data(), b.w, b.h);
    // every line once, whole width
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(Removed(runs).size(), 15u);
}

} // namespace
} // namespace skin
