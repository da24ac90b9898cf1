// Tests for the SVG helpers the simulator's pictures share: compact path data, the mapping from
// the world to the picture, and text made safe for XML.
#include "svg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(SvgPath, StepsAreRelativeAndLeaveOutWhatSvgAllows) {
    struct Case {
        const char* name;
        std::vector<IVec2> points; // the first is a move, the rest lines
        bool close;
        const char* expected;
    };
    const Case cases[] = {
        {"horizontal and vertical steps", {{10, 20}, {30, 20}, {30, 50}}, false, "M10 20h20v30"},
        {"a repeated command is written once", {{0, 0}, {5, 5}, {10, 10}}, false, "M0 0l5 5 5 5"},
        {"a minus sign separates by itself", {{0, 0}, {-5, -5}, {-10, 0}}, false, "M0 0l-5-5-5 5"},
        {"a line to the current point is left out", {{3, 4}, {3, 4}, {3, 9}}, false, "M3 4v5"},
        {"closed box", {{0, 0}, {4, 0}, {4, 2}, {0, 2}}, true, "M0 0h4v2h-4z"},
        {"negative start", {{-3, -4}, {-3, 0}}, false, "M-3-4v4"},
    };
    for (const Case& c : cases) {
        SvgPath path;
        svgMoveTo(path, c.points[0]);
        for (size_t i = 1; i < c.points.size(); i++)
            svgLineTo(path, c.points[i]);
        if (c.close)
            svgClose(path);
        EXPECT_EQ(path.data, c.expected) << c.name;
    }
}

TEST(SvgPath, SubpathsStartAbsoluteAndCloseBackToTheirStart) {
    SvgPath path;
    svgMoveTo(path, IVec2(10, 10));
    svgLineTo(path, IVec2(20, 10));
    svgLineTo(path, IVec2(20, 20));
    svgClose(path);
    // After z the current point is the subpath's start, so a line from there is relative to it.
    svgLineTo(path, IVec2(10, 15));
    svgMoveTo(path, IVec2(100, 100));
    svgLineTo(path, IVec2(100, 90));
    EXPECT_EQ(path.data, "M10 10h10v10zv5M100 100v-10");
}

TEST(SvgFrame, FlipsYAndRoundsToWholeUnits) {
    SvgFrame frame{Vec2(100.0f, 50.0f), 1.0f};
    EXPECT_EQ(svgPoint(frame, Vec2(100.0f, 50.0f)), IVec2(0, 0));
    EXPECT_EQ(svgPoint(frame, Vec2(103.4f, 40.6f)), IVec2(3, 9));
    EXPECT_EQ(svgPoint(frame, Vec2(99.4f, 60.6f)), IVec2(-1, -11));
    SvgFrame half{Vec2(0.0f, 0.0f), 0.5f};
    EXPECT_EQ(svgPoint(half, Vec2(30.0f, -30.0f)), IVec2(15, 15));
    // Far along a long run the unit is still kept.
    SvgFrame far{Vec2(1000000.0f, 0.0f), 1.0f};
    EXPECT_EQ(svgPoint(far, Vec2(1000003.0f, 0.0f)), IVec2(3, 0));
}

TEST(SvgShapes, BoxesFollowTheirCornersAndPolylinesNeedTwoPoints) {
    SvgFrame frame{Vec2(0.0f, 0.0f), 1.0f};
    SvgPath box;
    svgBox(box, frame, makePlatform(Vec2(10.0f, 5.0f), 20.0f, 10.0f, 0.0f));
    // Top-left (0, 10) is picture (0, -10); then along the top, down the right, back.
    EXPECT_EQ(box.data, "M0-10h20v10h-20z");

    SvgPath turned;
    svgBox(turned, frame, makePlatform(Vec2(0.0f, 0.0f), 20.0f, 10.0f, 1.5707964f));
    // A quarter turn counter-clockwise: the top edge now runs up the left side.
    EXPECT_EQ(turned.data, "M-5 10v-20h10v20z");

    SvgPath line;
    const Vec2 same[2] = {Vec2(1.0f, 1.0f), Vec2(1.2f, 0.9f)};
    svgPolyline(line, frame, same, 2);
    EXPECT_EQ(line.data, "");
    const Vec2 points[3] = {Vec2(1.0f, 1.0f), Vec2(1.2f, 0.9f), Vec2(5.0f, 1.0f)};
    svgPolyline(line, frame, points, 3);
    EXPECT_EQ(line.data, "M1-1h4");
}

TEST(SvgEscape, LeavesOnlyWhatAnXmlDocumentMayHold) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"plain/path.txt", "plain/path.txt"},
        {"a<b&c>\"d\"", "a&lt;b&amp;c&gt;&quot;d&quot;"},
        {"tab\there\nnewline\x7f", "tab?here?newline?"},
        {"caf\xc3\xa9 \xe2\x86\x91", "caf\xc3\xa9 \xe2\x86\x91"},
        {"bad\xff byte", "bad? byte"},
        {"cut short \xe2\x86", "cut short ??"},
        {"overlong \xc0\xaf", "overlong ??"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(svgEscape(c.text), c.expected) << c.text;
}
