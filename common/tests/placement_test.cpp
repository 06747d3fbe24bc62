// Placement geometry: outer sizes from client sizes, centring on the screen,
// and dialogs centred over their owner but kept on the work area.
#include <gtest/gtest.h>

#include "placement.h"

namespace {

using hv::Point;
using hv::Rect;
using hv::Size;

// A window at (100, 50) of 300 × 200 outside whose client area is 292 × 170
// (frame 8 wide, 30 high).
const Rect kWindow{100, 50, 400, 250};
const Size kClient{292, 170};

TEST(OuterSize, WithoutReferenceTheSizeIsTheClientSize)
{
    Size outer;
    ASSERT_TRUE(hv::OuterSizeFor(kWindow, kClient, nullptr, 640, 400, &outer));
    EXPECT_EQ(648, outer.cx);
    EXPECT_EQ(430, outer.cy);
}

TEST(OuterSize, WithoutReferenceZeroOrNegativeIsRefused)
{
    Size outer{-1, -1};
    for (auto wh : {Size{0, 400}, Size{640, 0}, Size{0, 0}, Size{-5, 10}})
        EXPECT_FALSE(hv::OuterSizeFor(kWindow, kClient, nullptr, wh.cx, wh.cy, &outer)) << wh.cx << "x" << wh.cy;
    EXPECT_EQ(-1, outer.cx);  // untouched
}

TEST(OuterSize, WithReferenceTheClientAreasDifferenceIsAdded)
{
    const Size ref{500, 300};
    Size outer;
    // 0 keeps the current outer size: the window takes the reference's client size.
    ASSERT_TRUE(hv::OuterSizeFor(kWindow, kClient, &ref, 0, 0, &outer));
    EXPECT_EQ(300 + (500 - 292), outer.cx);
    EXPECT_EQ(200 + (300 - 170), outer.cy);
    ASSERT_TRUE(hv::OuterSizeFor(kWindow, kClient, &ref, 640, 0, &outer));
    EXPECT_EQ(640 + (500 - 292), outer.cx);
    EXPECT_EQ(200 + (300 - 170), outer.cy);
}

TEST(CenterOn, TruncatesTowardZero)
{
    const Rect desktop{0, 0, 1280, 800};
    EXPECT_EQ(319, hv::CenterOn(desktop, {641, 400}).x);  // 639 / 2
    EXPECT_EQ(200, hv::CenterOn(desktop, {641, 400}).y);
    EXPECT_EQ(-10, hv::CenterOn(desktop, {1301, 900}).x);  // -21 / 2 = -10
    EXPECT_EQ(-50, hv::CenterOn(desktop, {1301, 900}).y);
}

TEST(CenterDialogOver, Cases)
{
    const Rect work{0, 0, 1280, 770};  // taskbar at the bottom
    struct Case {
        const char* what;
        Rect owner, dialog;
        Point want;
    } cases[] = {
        {"centred over the owner", {100, 100, 700, 500}, {0, 0, 200, 100}, {300, 250}},
        {"odd difference truncates", {100, 100, 701, 501}, {0, 0, 200, 100}, {300, 250}},
        {"starts left of the screen: x 0", {100, 100, 700, 500}, {-30, 10, 170, 110}, {0, 250}},
        {"starts above the screen: y 0", {100, 100, 700, 500}, {10, -5, 210, 95}, {300, 0}},
        {"right edge beyond the work area: flush right", {100, 100, 700, 500}, {1200, 10, 1400, 110}, {1080, 250}},
        {"bottom beyond the work area: flush bottom", {100, 100, 700, 500}, {10, 700, 210, 800}, {300, 670}},
        {"wider than the work area: x 0", {100, 100, 700, 500}, {0, 0, 1500, 100}, {0, 250}},
        {"taller than the work area: y 0", {100, 100, 700, 500}, {0, 0, 200, 900}, {300, 0}},
        {"owner near the left: never negative", {-400, 10, 100, 110}, {0, 0, 400, 300}, {0, 0}},
    };
    for (const Case& c : cases) {
        const Point p = hv::CenterDialogOver(work, c.owner, c.dialog);
        EXPECT_EQ(c.want.x, p.x) << c.what;
        EXPECT_EQ(c.want.y, p.y) << c.what;
    }
}

}  // namespace
