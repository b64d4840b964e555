// SVG picture of the browser share, drawn from the same geometry as the share dialog.
#include "output/ShareSvg.h"

#include <cstdio>
#include <sstream>

#include "output/Charts.h"
#include "share/ShareDrawing.h"

namespace quorlet3 {
namespace {

void WritePie(std::ostringstream& svg, const Pie& pie) {
    for (const PieSector& s : pie.sectors) {
        const SectorShape shape = ShapeOf(pie, s);
        if (shape.full) {
            svg << "  <circle cx=\"" << shape.cx << "\" cy=\"" << shape.cy << "\" r=\"" << shape.r << "\" fill=\""
                << Colour(s.colour) << "\" stroke=\"black\"/>\n";
            continue;
        }
        svg << "  <path d=\"M " << shape.cx << ' ' << shape.cy << " L " << shape.x0 << ' ' << shape.y0 << " A "
            << shape.r << ' ' << shape.r << " 0 " << (shape.largeArc ? 1 : 0) << " 1 " << shape.x1 << ' ' << shape.y1
            << " Z\" fill=\"" << Colour(s.colour) << "\" stroke=\"black\"/>\n";
    }
}

// One text element per legend entry, each beside its swatch (entries stand 30 px apart).
void WriteLegend(std::ostringstream& svg, const std::string& legend, int x, int y) {
    for (const std::string& entry : LegendEntries(legend)) {
        HtmlText text;
        text.Escaped(entry);
        svg << "  <text x=\"" << x << "\" y=\"" << y << "\">" << text.str() << "</text>\n";
        y += 30;
    }
}

}  // namespace

std::string ShareSvg(const ShareCounters& counters) {
    const ShareDrawing drawing = ComputeShareDrawing(counters);
    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"448\" height=\"414\" viewBox=\"0 0 448 414\""
        << " font-family=\"IPAPGothic, sans-serif\" font-size=\"12\">\n"
        << "  <rect width=\"448\" height=\"414\" fill=\"white\"/>\n";
    WritePie(svg, drawing.versionPie);
    WritePie(svg, drawing.familyPie);
    for (const Swatch& s : drawing.swatches) {
        svg << "  <rect x=\"" << s.x << "\" y=\"" << s.y << "\" width=\"" << s.size << "\" height=\"" << s.size
            << "\" fill=\"" << Colour(s.colour) << "\"/>\n";
    }
    WriteLegend(svg, drawing.versionLegend, 50, 217);
    WriteLegend(svg, drawing.familyLegend, 280, 217);
    svg << "</svg>\n";
    return svg.str();
}

bool WriteShareSvg(const std::string& path, const ShareCounters& counters) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const std::string svg = ShareSvg(counters);
    const bool written = std::fwrite(svg.data(), 1, svg.size(), file) == svg.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace quorlet3
