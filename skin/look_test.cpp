// Tests of the label font rule, the common keys and the drag rule.
#include "skin/look.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

TEST(LabelFontRule, VerdanaOrJapaneseTwoUnitsSmaller) {
    LabelFont f = ChooseLabelFont(13, false, false, "English");
    EXPECT_EQ(f.face, "Verdana");
    EXPECT_EQ(f.height, 13);
    EXPECT_EQ(f.weight, 400);
    f = ChooseLabelFont(15, true, true, "Japanese");
    EXPECT_EQ(f.face, "MS UI Gothic");
    EXPECT_EQ(f.height, 13);
    EXPECT_EQ(f.weight, 700);
    EXPECT_TRUE(f.underline);
    // exact and case-sensitive, as the language value is compared
    EXPECT_EQ(ChooseLabelFont(13, false, false, "japanese").face, "Verdana");
    EXPECT_EQ(ChooseLabelFont(13, false, false, "").face, "Verdana");
}

TEST(CommonKeys, EscIgnoredEnterPerScreenAltF4Closes) {
    EXPECT_EQ(ClassifyKey(false, 0x1B, false), KeyAction::Ignore);
    EXPECT_EQ(ClassifyKey(false, 0x0D, false), KeyAction::Enter);
    EXPECT_EQ(ClassifyKey(true, 0x73, true), KeyAction::Close);
    // F4 alone, Tab and arrows go to the dialog manager
    EXPECT_EQ(ClassifyKey(false, 0x73, false), KeyAction::Pass);
    EXPECT_EQ(ClassifyKey(true, 0x73, false), KeyAction::Pass);
    EXPECT_EQ(ClassifyKey(false, 0x09, false), KeyAction::Pass);
    EXPECT_EQ(ClassifyKey(false, 0x28, false), KeyAction::Pass);
    EXPECT_EQ(ClassifyKey(true, 0x12, true), KeyAction::Pass);
}

TEST(Drag, WindowFollowsTheCursorAcrossSteps) {
    DragTracker d;
    EXPECT_FALSE(d.Dragging());
    d.Begin(100, 200, 10, 20); // cursor on screen at (110, 220)
    ASSERT_TRUE(d.Dragging());
    // cursor to (115, 230): relative to the unmoved window (15, 30)
    DragTracker::Move m = d.Step(15, 30, 96, 650, 364);
    EXPECT_EQ(m.left, 105);
    EXPECT_EQ(m.top, 210);
    EXPECT_FALSE(m.resize);
    // cursor to (100, 200): relative to the window at (105, 210)
    m = d.Step(-5, -10, 96, 650, 364);
    EXPECT_EQ(m.left, 90);
    EXPECT_EQ(m.top, 180);
    d.End();
    EXPECT_FALSE(d.Dragging());
}

TEST(Drag, AtOtherResolutionsTheWindowTakesTheBitmapSize) {
    DragTracker d;
    d.Begin(0, 0, 5, 5);
    DragTracker::Move m = d.Step(6, 5, 120, 650, 364);
    EXPECT_TRUE(m.resize);
    EXPECT_EQ(m.width, 650);
    EXPECT_EQ(m.height, 364);
    EXPECT_EQ(m.left, 1);
}

} // namespace
} // namespace skin
