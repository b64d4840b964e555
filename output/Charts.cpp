#include "output/Charts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/Cp932.h"

namespace quorlet3 {
namespace {

// The top of a value axis and its tick step: 1, 2 or 5 times a power of ten, at most 5 ticks.
std::pair<long long, long long> AxisTop(long long max) {
    if (max <= 0) {
        return {1, 1};
    }
    long long step = 1;
    for (;;) {
        for (int factor : {1, 2, 5}) {
            const long long s = step * factor;
            if ((max + s - 1) / s <= 5) {
                return {(max + s - 1) / s * s, s};
            }
        }
        step *= 10;
    }
}

// A chart of few bars or cells would grow far past its natural size on a wide page.
void MaxWidth(HtmlText& page, int pixels) {
    if (pixels > 0) {
        page << " style=\"max-width:" << pixels << "px\"";
    }
}

}  // namespace

void WriteBarChart(HtmlText& page, const BarChart& chart) {
    const int n = static_cast<int>(chart.values.size());
    const int slot = n <= 24 ? 30 : 23;
    const int left = 44;
    const int top = 26;
    const int plot = 180;
    const int width = left + n * slot + 12;
    const int height = top + plot + 36;
    const long long max = n == 0 ? 0 : *std::max_element(chart.values.begin(), chart.values.end());
    const auto [axisTop, step] = AxisTop(max);
    const auto value = [&chart](int i) { return chart.values[static_cast<size_t>(i)]; };
    const auto label = [&chart](int i) -> std::string_view { return chart.labels[static_cast<size_t>(i)]; };
    int busiest = 0;
    for (int i = 1; i < n; ++i) {
        busiest = value(i) > value(busiest) ? i : busiest;
    }

    page << "<figure>\n<figcaption>" << chart.title << "　合計 <strong id=\"" << chart.id << "-total\">" << chart.total
         << "</strong> 回</figcaption>\n";
    page << "<svg class=\"chart\" id=\"" << chart.id << "\" viewBox=\"0 0 " << width << ' ' << height << '"';
    MaxWidth(page, chart.maxWidth);
    page << " role=\"img\" aria-labelledby=\"" << chart.id << "-t " << chart.id << "-d\">\n";
    page << "<title id=\"" << chart.id << "-t\">" << chart.title << "</title>\n<desc id=\"" << chart.id << "-d\">合計 "
         << chart.total << " 回";
    if (max > 0) {
        page << "、最多 " << label(busiest) << chart.unit << "（" << max << " 回）";
    }
    page << "。";
    for (int i = 0; i < n; ++i) {
        page << (i == 0 ? "" : "、") << label(i) << chart.unit << ' ' << value(i);
    }
    page << "</desc>\n";
    for (long long tick = 0; tick <= axisTop; tick += step) {
        const double y =
            top + plot - static_cast<double>(plot) * static_cast<double>(tick) / static_cast<double>(axisTop);
        page << "<line class=\"grid\" x1=\"" << left << "\" x2=\"" << width - 8 << "\" y1=\"" << Coord{y} << "\" y2=\""
             << Coord{y} << "\"/><text class=\"ay\" x=\"" << left - 5 << "\" y=\"" << Coord{y + 4} << "\">" << tick
             << "</text>\n";
    }
    page << "<text class=\"ay\" x=\"" << left - 5 << "\" y=\"" << top - 14 << "\">回</text>\n";
    for (int i = 0; i < n; ++i) {
        const double h = static_cast<double>(plot) * static_cast<double>(value(i)) / static_cast<double>(axisTop);
        const int x = left + i * slot + 3;
        page << "<rect class=\"bar\" x=\"" << x << "\" y=\"" << Coord{top + plot - h} << "\" width=\"" << slot - 6
             << "\" height=\"" << Coord{h} << "\"><title>" << label(i) << chart.unit << ": " << value(i)
             << " 回</title></rect>";
        if (value(i) > 0) {
            page << "<text class=\"val\" x=\"" << x + (slot - 6) / 2 << "\" y=\"" << Coord{top + plot - h - 3} << "\">"
                 << value(i) << "</text>";
        }
        page << "<text class=\"ax\" x=\"" << x + (slot - 6) / 2 << "\" y=\"" << top + plot + 15 << "\">"
             << (chart.ticks.empty() ? label(i) : std::string_view(chart.ticks[static_cast<size_t>(i)])) << "</text>\n";
    }
    page << "<line class=\"axis\" x1=\"" << left << "\" x2=\"" << width - 8 << "\" y1=\"" << top + plot << "\" y2=\""
         << top + plot << "\"/>\n";
    page << "<text class=\"ax\" x=\"" << left + n * slot / 2 << "\" y=\"" << height - 3 << "\">" << chart.axisCaption
         << "</text>\n</svg>\n</figure>\n";
}

int Level(long long value, long long max) {
    if (value <= 0 || max <= 0) {
        return 0;
    }
    __extension__ using Wide = __int128;  // value * 5 may pass 64 bits
    return static_cast<int>((static_cast<Wide>(value) * 5 + max - 1) / max);
}

void WriteHeatMap(HtmlText& page, const HeatMap& map) {
    const int cell = 20;
    const int left = 40;
    const int top = 18;
    const int columns = static_cast<int>(map.columns.size());
    const int rows = static_cast<int>(map.rows.size());
    const int width = left + columns * cell + 4;
    const int height = top + rows * cell + 22;
    const auto value = [&](int column, int row) {
        const size_t i = static_cast<size_t>(column) * map.rows.size() + static_cast<size_t>(row);
        return i < map.values.size() ? map.values[i] : 0;
    };
    long long max = 0;
    int busy = 0;
    for (const long long v : map.values) {
        max = std::max(max, v);
        busy += v > 0 ? 1 : 0;
    }
    page << "<figure>\n<figcaption>" << map.title << "　合計 <strong id=\"" << map.id << "-total\">" << map.total
         << "</strong> 回</figcaption>\n";
    page << "<svg class=\"chart\" id=\"" << map.id << "\" viewBox=\"0 0 " << width << ' ' << height << '"';
    MaxWidth(page, map.maxWidth);
    page << " role=\"img\" aria-labelledby=\"" << map.id << "-t " << map.id << "-d\">\n<title id=\"" << map.id
         << "-t\">" << map.title << "</title>\n<desc id=\"" << map.id << "-d\">" << map.description << "合計 "
         << map.total << " 回、アクセスのあった枠 " << busy << "、1 枠の最多 " << max << " 回。</desc>\n";
    for (int column = 0; column < columns; ++column) {
        page << "<text class=\"ax\" x=\"" << left + column * cell + cell / 2 << "\" y=\"" << top - 5 << "\">"
             << map.columns[static_cast<size_t>(column)] << "</text>";
    }
    page << '\n';
    for (int row = 0; row < rows; ++row) {
        const std::string_view rowLabel = map.rows[static_cast<size_t>(row)];
        page << "<text class=\"ay\" x=\"" << left - 5 << "\" y=\"" << top + row * cell + 14 << "\">" << rowLabel
             << "</text>\n";
        for (int column = 0; column < columns; ++column) {
            const long long v = value(column, row);
            page << "<rect class=\"cell l" << Level(v, max) << "\" x=\"" << left + column * cell + 1 << "\" y=\""
                 << top + row * cell + 1 << "\" width=\"18\" height=\"18\"><title>";
            const size_t i = static_cast<size_t>(column) * map.rows.size() + static_cast<size_t>(row);
            if (i < map.cellTitles.size()) {
                page << map.cellTitles[i];
            } else {
                page << map.columnNames[static_cast<size_t>(column)] << ' ' << rowLabel;
            }
            page << ": " << v << "</title></rect>";
        }
        page << '\n';
    }
    page << "<text class=\"ax\" x=\"" << left + columns * cell / 2 << "\" y=\"" << height - 4 << "\">"
         << map.axisCaption << "</text>\n";
    page << "</svg>\n<ul class=\"legend\" aria-label=\"色の目安\"><li><span class=\"sw l0\"></span>0</li>";
    // Each level's range of counts, from the level formula.
    long long from = 1;
    for (int level = 1; level <= 5 && max > 0; ++level) {
        long long to = from;
        while (to < max && Level(to + 1, max) == level) {
            ++to;
        }
        if (Level(from, max) == level) {
            page << "<li><span class=\"sw l" << level << "\"></span>" << from;
            if (to > from) {
                page << "～" << to;
            }
            page << "</li>";
            from = to + 1;
        }
    }
    page << "</ul>\n</figure>\n";
}

SectorShape ShapeOf(const Pie& pie, const PieSector& s) {
    SectorShape shape{};
    shape.cx = (pie.left + pie.right) / 2.0;
    shape.cy = (pie.top + pie.bottom) / 2.0;
    shape.r = (pie.right - pie.left) / 2.0;
    shape.full = s.span >= 2.0 * std::numbers::pi - 1e-9;
    const double end = s.start + s.span;
    shape.x0 = shape.cx + shape.r * std::sin(s.start);
    shape.y0 = shape.cy - shape.r * std::cos(s.start);
    shape.x1 = shape.cx + shape.r * std::sin(end);
    shape.y1 = shape.cy - shape.r * std::cos(end);
    shape.largeArc = s.span > std::numbers::pi;
    return shape;
}

std::vector<std::string> LegendEntries(const std::string& legend) {
    const std::string utf8 = CrLfToLf(DecodeCp932ToUtf8(legend));
    std::vector<std::string> entries;
    size_t start = 0;
    while (start < utf8.size()) {
        const size_t end = std::min(utf8.find("\n\n", start), utf8.size());
        std::string entry = utf8.substr(start, end - start);
        std::replace(entry.begin(), entry.end(), '\t', ' ');
        if (!entry.empty()) {
            entries.push_back(std::move(entry));
        }
        start = end + 2;
    }
    return entries;
}

void WritePie(HtmlText& page, std::string_view id, std::string_view title, const Pie& pie, const PieLegend& legend) {
    std::string alternative(title);
    for (size_t k = 0; k < legend.entries.size(); ++k) {
        alternative += (k == 0 ? "：" : "、") + legend.entries[k];
    }
    page << "<figure>\n<svg class=\"pie\" id=\"" << id << "\" viewBox=\"" << pie.left - 4 << ' ' << pie.top - 4 << ' '
         << pie.right - pie.left + 8 << ' ' << pie.bottom - pie.top + 8 << "\" role=\"img\" aria-label=\"";
    page.Escaped(alternative);
    page << "\">\n<title>" << title << "</title>\n";
    for (const PieSector& s : pie.sectors) {
        const size_t k = static_cast<size_t>(std::find(legend.colours.begin(), legend.colours.end(), s.colour) -
                                             legend.colours.begin());
        const SectorShape shape = ShapeOf(pie, s);
        if (shape.full) {
            page << "<circle cx=\"" << Coord{shape.cx} << "\" cy=\"" << Coord{shape.cy} << "\" r=\"" << Coord{shape.r};
        } else {
            page << "<path d=\"M" << Coord{shape.cx} << ' ' << Coord{shape.cy} << 'L' << Coord{shape.x0} << ' '
                 << Coord{shape.y0} << 'A' << Coord{shape.r} << ' ' << Coord{shape.r} << " 0 "
                 << (shape.largeArc ? 1 : 0) << " 1 " << Coord{shape.x1} << ' ' << Coord{shape.y1} << 'Z';
        }
        page << "\" fill=\"" << Colour(s.colour) << "\">";
        if (k < legend.entries.size()) {
            page << "<title>";
            page.Escaped(legend.entries[k]);
            page << " (" << legend.counts[k] << " 回)</title>";
        }
        page << (shape.full ? "</circle>\n" : "</path>\n");
    }
    page << "</svg>\n<figcaption>" << title << "</figcaption>\n<ul class=\"legend\">";
    for (size_t k = 0; k < legend.entries.size() && k < legend.colours.size(); ++k) {
        page << "<li><span class=\"sw\" style=\"background:" << Colour(legend.colours[k]) << "\"></span>";
        page.Escaped(legend.entries[k]);
        page << "（" << legend.counts[k] << " 回）</li>";
    }
    page << "</ul>\n</figure>\n";
}

}  // namespace quorlet3
