// SVG picture of the browser share, drawn from the same geometry as the share dialog.
#include "output/ShareSvg.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>

#include "platform/Cp932.h"
#include "share/ShareDrawing.h"

namespace quorlet3 {
namespace {

std::string Colour(const Rgb& c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red & 0xff, c.green & 0xff, c.blue & 0xff);
    return text;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '\t':
                out += ' ';
                break;
            default:
                out += c;
        }
    }
    return out;
}

void WritePie(std::ostringstream& svg, const Pie& pie) {
    const double cx = (pie.left + pie.right) / 2.0;
    const double cy = (pie.top + pie.bottom) / 2.0;
    const double r = (pie.right - pie.left) / 2.0;
    auto x = [&](double a) { return cx + r * std::sin(a); };
    auto y = [&](double a) { return cy - r * std::cos(a); };
    for (const PieSector& s : pie.sectors) {
        if (s.span >= 2.0 * std::numbers::pi - 1e-9) {
            svg << "  <circle cx=\"" << cx << "\" cy=\"" << cy << "\" r=\"" << r << "\" fill=\"" << Colour(s.colour)
                << "\" stroke=\"black\"/>\n";
            continue;
        }
        const double end = s.start + s.span;
        svg << "  <path d=\"M " << cx << ' ' << cy << " L " << x(s.start) << ' ' << y(s.start) << " A " << r << ' ' << r
            << " 0 " << (s.span > std::numbers::pi ? 1 : 0) << " 1 " << x(end) << ' ' << y(end) << " Z\" fill=\""
            << Colour(s.colour) << "\" stroke=\"black\"/>\n";
    }
}

// One text element per legend entry, each beside its swatch (entries stand 30 px apart).
void WriteLegend(std::ostringstream& svg, const std::string& legend, int x, int y) {
    const std::string utf8 = CrLfToLf(DecodeCp932ToUtf8(legend));
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = utf8.find("\n\n", start);
        const std::string entry = utf8.substr(start, end == std::string::npos ? std::string::npos : end - start);
        svg << "  <text x=\"" << x << "\" y=\"" << y << "\">" << Escaped(entry) << "</text>\n";
        y += 30;
        if (end == std::string::npos) {
            break;
        }
        start = end + 2;
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
