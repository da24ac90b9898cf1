// Writing SVG pictures compactly: world points (y up) mapped to whole units of the picture
// (y down), path data in relative steps with the command letters left out where SVG allows, and
// text made safe for XML. Big pictures stay small this way: one path element holds thousands of
// shapes, and each point costs a few bytes.
#pragma once

#include "collision.h"
#include "maths.h"

#include <cstdint>
#include <string>

// Where a piece of the world lands in the picture: the world point origin goes to the picture
// point (0, 0), one world unit is scale picture units, and y is flipped.
struct SvgFrame {
    Vec2 origin;
    float scale = 1.0f;
};

// Path data under construction, and the point the next step starts from.
struct SvgPath {
    std::string data;
    IVec2 current;
    IVec2 subpathStart;
    char lastCommand = 0;
};

// The picture point of a world point, rounded to whole picture units.
IVec2 svgPoint(const SvgFrame& frame, Vec2 world);

// Starts a new subpath at a picture point.
void svgMoveTo(SvgPath& path, IVec2 point);
// A straight line from the current point to a picture point; nothing when they are the same.
void svgLineTo(SvgPath& path, IVec2 point);
// Closes the current subpath back to its start.
void svgClose(SvgPath& path);

// A closed polygon through world points.
void svgPolygon(SvgPath& path, const SvgFrame& frame, const Vec2* points, int32_t count);
// An oriented box as a closed polygon through its four corners.
void svgBox(SvgPath& path, const SvgFrame& frame, const Platform& box);
// A circle as two arcs: a ring when stroked, a disc when filled.
void svgCircle(SvgPath& path, IVec2 centre, int32_t radius);
// An open polyline through world points; nothing for fewer than two distinct points.
void svgPolyline(SvgPath& path, const SvgFrame& frame, const Vec2* points, size_t count);

// The text made safe to stand in an XML document: the characters XML gives a meaning (&, <, >, ")
// replaced by references, and control characters and bytes that are not UTF-8 by question marks.
std::string svgEscape(const std::string& text);
