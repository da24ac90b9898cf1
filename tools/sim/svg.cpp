// Compact SVG path data and the small formatting helpers the pictures share.
#include "svg.h"

#include <cmath>

// ---- Helpers -----------------------------------------------------------------------------------

// Appends a number to path data. A minus sign separates numbers by itself; so does a command
// letter, so a space is needed only between a digit and a number without sign.
static void appendNumber(std::string& data, int32_t value) {
    if (value >= 0 && !data.empty()) {
        char last = data.back();
        if (last >= '0' && last <= '9')
            data += ' ';
    }
    data += std::to_string(value);
}

// Appends a command; a command repeating the last one may be left out in SVG path data.
static void appendCommand(SvgPath& path, char command) {
    if (path.lastCommand == command)
        return;
    path.data += command;
    path.lastCommand = command;
}

// ---- Public functions --------------------------------------------------------------------------

IVec2 svgPoint(const SvgFrame& frame, Vec2 world) {
    // In double: far along a long run a float difference would lose the unit the picture keeps.
    double x = ((double)world.x - (double)frame.origin.x) * (double)frame.scale;
    double y = ((double)frame.origin.y - (double)world.y) * (double)frame.scale;
    return IVec2((int32_t)std::lround(x), (int32_t)std::lround(y));
}

void svgMoveTo(SvgPath& path, IVec2 point) {
    // Absolute, so a subpath never depends on where the one before it ended.
    path.lastCommand = 0;
    appendCommand(path, 'M');
    appendNumber(path.data, point.x);
    appendNumber(path.data, point.y);
    // After M, further pairs would be absolute lines; every line below names its own command.
    path.lastCommand = 0;
    path.current = point;
    path.subpathStart = point;
}

void svgLineTo(SvgPath& path, IVec2 point) {
    int32_t dx = point.x - path.current.x;
    int32_t dy = point.y - path.current.y;
    if (dx == 0 && dy == 0)
        return;
    if (dy == 0) {
        appendCommand(path, 'h');
        appendNumber(path.data, dx);
    } else if (dx == 0) {
        appendCommand(path, 'v');
        appendNumber(path.data, dy);
    } else {
        appendCommand(path, 'l');
        appendNumber(path.data, dx);
        appendNumber(path.data, dy);
    }
    path.current = point;
}

void svgClose(SvgPath& path) {
    path.data += 'z';
    path.lastCommand = 0;
    path.current = path.subpathStart;
}

void svgPolygon(SvgPath& path, const SvgFrame& frame, const Vec2* points, int32_t count) {
    if (count < 1)
        return;
    svgMoveTo(path, svgPoint(frame, points[0]));
    for (int32_t i = 1; i < count; i++)
        svgLineTo(path, svgPoint(frame, points[i]));
    svgClose(path);
}

void svgBox(SvgPath& path, const SvgFrame& frame, const Platform& box) {
    const Vec2 corners[4] = {topLeft(box), topRight(box), bottomRight(box), bottomLeft(box)};
    svgPolygon(path, frame, corners, 4);
}

void svgCircle(SvgPath& path, IVec2 centre, int32_t radius) {
    svgMoveTo(path, IVec2(centre.x - radius, centre.y));
    std::string r = std::to_string(radius);
    std::string d = std::to_string(2 * radius);
    path.data += "a" + r + " " + r + " 0 1 0 " + d + " 0a" + r + " " + r + " 0 1 0 -" + d + " 0";
    path.lastCommand = 0;
}

void svgPolyline(SvgPath& path, const SvgFrame& frame, const Vec2* points, size_t count) {
    if (count < 2)
        return;
    IVec2 start = svgPoint(frame, points[0]);
    // Written only once a second distinct point shows there is a line to draw.
    bool started = false;
    for (size_t i = 1; i < count; i++) {
        IVec2 p = svgPoint(frame, points[i]);
        if (!started) {
            if (p == start)
                continue;
            svgMoveTo(path, start);
            started = true;
        }
        svgLineTo(path, p);
    }
}

// The length of the well-formed UTF-8 sequence starting at text[i], or 0 when there is none.
static size_t utf8Length(const std::string& text, size_t i) {
    unsigned char lead = (unsigned char)text[i];
    size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xC2 && lead <= 0xDF ? 2
                                                   : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; k++) {
        if (((unsigned char)text[i + k] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

std::string svgEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        unsigned char byte = (unsigned char)c;
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (byte < 0x20 || byte == 0x7F) {
            // Control characters are not allowed in XML at all.
            out += '?';
        } else if (byte >= 0x80) {
            // A file name need not be UTF-8, and the document must be.
            size_t length = utf8Length(text, i);
            if (length == 0) {
                out += '?';
            } else {
                out.append(text, i, length);
                i += length - 1;
            }
        } else {
            out += c;
        }
    }
    return out;
}
