// Drawing the template sheet. Relies on the chunk template table for everything it shows and on
// the SVG helpers for the shapes.
#include "template_sheet.h"

#include "chunk_templates.h"
#include "svg.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// ---- Data --------------------------------------------------------------------------------------

// What each template is for, by its index; a template added later is shown by number only.
static const char* const templateNames[] = {
    "flat run",        "climb",          "drop",    "ramp up", "ramp down",
    "climb with step", "drop with step", "step up", "window",  "low bar",
};
static const int32_t namedTemplates = (int32_t)(sizeof(templateNames) / sizeof(templateNames[0]));

// The part of the world each panel shows, relative to the template's origin: every template fits
// except the tops of the tallest columns, which are cut off with a note of where they end.
static const Vec2 windowLow(-40.0f, -380.0f);
static const Vec2 windowHigh(640.0f, 500.0f);

static const int32_t columns = 5;
static const float gap = 40.0f;
static const float headerHeight = 190.0f;
static const float titleHeight = 64.0f;
static const float chartHeight = 300.0f;
// A weight of 1 would be this tall; the largest weights are about a third of that.
static const float barScale = 500.0f;
static const float barWidth = 50.0f;
static const float barPitch = 66.0f;

static const char style[] =
    "text{font-family:sans-serif}"
    ".h{font-size:44px;font-weight:bold;fill:#222}"
    ".n{font-size:40px;font-weight:bold;fill:#222}"
    ".c{font-size:28px;fill:#222}.k{font-size:24px;fill:#555;text-anchor:middle}"
    ".w{fill:#f4f7f9;stroke:#bcc;stroke-width:2}"
    ".g{fill:none;stroke:#bcc;stroke-width:2;stroke-dasharray:10 8}"
    ".p{fill:#222}.f{fill:#888}.m{fill:#f0a000;stroke:#a05000;stroke-width:2}"
    ".mh{fill:none;stroke:#f0a000;stroke-width:4}"
    ".a{fill:#2a9d2a}.b{fill:#d33}.q{fill:#1f6fd1}";

// ---- Helpers -----------------------------------------------------------------------------------

static std::string pathElement(const char* classes, const SvgPath& path, const char* extra = "") {
    if (path.data.empty())
        return "";
    return std::string("<path class=\"") + classes + "\"" + extra + " d=\"" + path.data + "\"/>\n";
}

static std::string text(const char* classes, float x, float y, const std::string& content) {
    return std::string("<text class=\"") + classes + "\" x=\"" + std::to_string(std::lround(x)) +
           "\" y=\"" + std::to_string(std::lround(y)) + "\">" + svgEscape(content) + "</text>\n";
}

static std::string circle(const char* classes, IVec2 centre, int32_t radius) {
    return std::string("<circle class=\"") + classes + "\" cx=\"" + std::to_string(centre.x) +
           "\" cy=\"" + std::to_string(centre.y) + "\" r=\"" + std::to_string(radius) + "\"/>\n";
}

static std::string templateTitle(int32_t index) {
    std::string title = std::to_string(index);
    if (index < namedTemplates)
        title += "  " + std::string(templateNames[index]);
    return title;
}

// The template drawn to scale in the panel's window, the origin and exit marked, and a note over
// each platform the window cuts off.
static void writeTemplate(const ChunkTemplate& chunk, std::ostream& out) {
    SvgFrame frame{Vec2(windowLow.x, windowHigh.y), 1.0f};
    Vec2 size = windowHigh - windowLow;
    out << "<rect class=\"w\" width=\"" << std::lround(size.x) << "\" height=\""
        << std::lround(size.y) << "\"/>\n";
    SvgPath ground;
    svgMoveTo(ground, svgPoint(frame, Vec2(windowLow.x, 0.0f)));
    svgLineTo(ground, svgPoint(frame, Vec2(windowHigh.x, 0.0f)));
    out << pathElement("g", ground);

    SvgPath platforms, fills, markers, rings;
    std::string notes;
    for (int32_t i = 0; i < chunk.platforms.count; i++) {
        const Platform& box = *chunk.platforms.data[i];
        svgBox(platforms, frame, box);
        float top = std::max(topLeft(box).y, topRight(box).y);
        if (top > windowHigh.y) {
            IVec2 at = svgPoint(frame, Vec2(box.centre.x, windowHigh.y));
            notes += text("c", (float)at.x + box.width / 2.0f + 8.0f, (float)at.y + 34.0f,
                          "\xe2\x86\x91 to y = " + std::to_string(std::lround(top)));
        }
    }
    for (int32_t i = 0; i < chunk.fillPolygons.count; i++) {
        const FillPolygon& fill = *chunk.fillPolygons.data[i];
        std::vector<Vec2> points;
        for (int32_t n = 0; n < fill.count; n++)
            points.push_back(fill.origin + fill.points[n]);
        svgPolygon(fills, frame, points.data(), (int32_t)points.size());
    }
    // A ring around each marker, which is small beside the platforms.
    for (int32_t i = 0; i < chunk.ledgeMarkers.count; i++) {
        const Platform& box = chunk.ledgeMarkers.data[i]->box;
        svgBox(markers, frame, box);
        svgCircle(rings, svgPoint(frame, box.centre), 18);
    }
    out << pathElement("f", fills, " clip-path=\"url(#w)\"")
        << pathElement("p", platforms, " clip-path=\"url(#w)\"") << pathElement("m", markers)
        << pathElement("mh", rings) << notes;

    IVec2 origin = svgPoint(frame, Vec2(0.0f, 0.0f));
    IVec2 exit = svgPoint(frame, chunk.exit);
    out << circle("a", origin, 12)
        << text("c", (float)origin.x + 16.0f, (float)origin.y - 16.0f, "origin");
    out << circle("b", exit, 12) << text("c", (float)exit.x - 50.0f, (float)exit.y - 20.0f, "exit");
}

// The chance of each template following this one: a bar per template, its percentage on top.
static void writeWeights(const ChunkTemplate& chunk, float top, std::ostream& out) {
    float base = top + chartHeight - 40.0f;
    out << text("c", 0.0f, top + 34.0f, "followed by:");
    SvgPath bars;
    std::string labels;
    for (int32_t i = 0; i < chunkTemplateCount; i++) {
        float left = 20.0f + barPitch * (float)i;
        float centre = left + barWidth / 2.0f;
        float weight = chunk.weights[i];
        labels += text("k", centre, base + 30.0f, std::to_string(i));
        if (!(weight > 0.0f))
            continue;
        int32_t height = std::max(1, (int32_t)std::lround(weight * barScale));
        IVec2 corner((int32_t)std::lround(left), (int32_t)std::lround(base) - height);
        svgMoveTo(bars, corner);
        svgLineTo(bars, IVec2(corner.x + (int32_t)barWidth, corner.y));
        svgLineTo(bars, IVec2(corner.x + (int32_t)barWidth, corner.y + height));
        svgLineTo(bars, IVec2(corner.x, corner.y + height));
        svgClose(bars);
        char percent[16];
        snprintf(percent, sizeof(percent), "%.0f%%", (double)weight * 100.0);
        labels += text("k", centre, (float)corner.y - 8.0f, percent);
    }
    out << pathElement("q", bars) << labels;
}

// A key to the shapes and marks, drawn with the same classes as the panels.
static void writeLegend(std::ostream& out) {
    out << text("h", gap, 70.0f, "Taldrift chunk templates (to scale, y up; origin at the left)");
    float y = 140.0f;
    float x = gap;
    out << "<path class=\"p\" d=\"M" << x << ' ' << y - 26 << "h56v26h-56z\"/>\n"
        << text("c", x + 68.0f, y, "platform");
    x += 230.0f;
    out << "<path class=\"f\" d=\"M" << x << ' ' << y << "h56l-56-26z\"/>\n"
        << text("c", x + 68.0f, y, "fill triangle");
    x += 280.0f;
    out << "<path class=\"m\" d=\"M" << x + 14 << ' ' << y - 14 << "h8v8h-8z\"/>\n"
        << "<path class=\"mh\" d=\"M" << x << ' ' << y - 10
        << "a18 18 0 1 0 36 0a18 18 0 1 0-36 0\"/>\n"
        << text("c", x + 48.0f, y, "ledge marker");
    x += 280.0f;
    out << circle("a", IVec2((int32_t)x + 12, (int32_t)y - 10), 12)
        << text("c", x + 32.0f, y, "origin (where the chunk starts)");
    x += 480.0f;
    out << circle("b", IVec2((int32_t)x + 12, (int32_t)y - 10), 12)
        << text("c", x + 32.0f, y, "exit (where the next chunk's origin goes)");
    x += 610.0f;
    out << "<path class=\"g\" d=\"M" << x << ' ' << y - 10 << "h56\"/>\n"
        << text("c", x + 68.0f, y, "the origin's height");
}

// ---- Public functions --------------------------------------------------------------------------

void writeTemplateSheet(std::ostream& out) {
    Vec2 window = windowHigh - windowLow;
    float panelWidth = window.x;
    float panelHeight = titleHeight + window.y + chartHeight;
    int32_t count = chunkTemplates.count;
    int32_t rows = (count + columns - 1) / columns;
    long width = std::lround(gap + (float)columns * (panelWidth + gap));
    long height = std::lround(headerHeight + (float)rows * (panelHeight + gap));

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << ' ' << height << "\">\n"
        << "<style>" << style << "</style>\n"
        << "<defs><clipPath id=\"w\"><rect width=\"" << std::lround(window.x) << "\" height=\""
        << std::lround(window.y) << "\"/></clipPath></defs>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    writeLegend(out);
    for (int32_t i = 0; i < count; i++) {
        float left = gap + (float)(i % columns) * (panelWidth + gap);
        float top = headerHeight + (float)(i / columns) * (panelHeight + gap);
        out << "<g class=\"template\" transform=\"translate(" << std::lround(left) << ','
            << std::lround(top) << ")\">\n";
        out << text("n", 0.0f, 44.0f, templateTitle(i));
        out << "<g transform=\"translate(0," << std::lround(titleHeight) << ")\">\n";
        writeTemplate(*chunkTemplates.data[i], out);
        out << "</g>\n";
        writeWeights(*chunkTemplates.data[i], titleHeight + window.y, out);
        out << "</g>\n";
    }
    out << "</svg>\n";
}
