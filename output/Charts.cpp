#include "output/Charts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "encoding/Cp932.h"

namespace quorlet3 {
namespace {

constexpr double kLabelFont = 11;  // axis labels and captions, as the page's style sets them
constexpr double kValueFont = 9;   // the counts over the bars

// The top of a value axis and its tick step: 1, 2 or 5 times a power of ten, at most 5 ticks.
std::pair<long long, long long> AxisTop(long long max) {
    if (max <= 0) {
        return {1, 1};
    }
    long long step = 1;
    for (;;) {
        for (long long factor : {1, 2, 5}) {
            const long long s = step * factor;
            if ((max + s - 1) / s <= 5) {
                return {(max + s - 1) / s * s, s};
            }
        }
        step *= 10;
    }
}

// A chart's width limits: a chart of few bars or cells would grow far past its natural
// size on a wide page, and any chart shrunk to much below it would shrink its labels past
// reading; a narrower page scrolls the chart instead.
void WidthLimits(HtmlText& page, int maxPixels, double naturalWidth) {
    page << " style=\"min-width:" << static_cast<int>(std::ceil(naturalWidth * 0.8)) << "px";
    if (maxPixels > 0) {
        page << ";max-width:" << maxPixels << "px";
    }
    page << '"';
}

// A label under a chart: its text and where it begins and ends.
struct PlacedLabel {
    std::string_view text;
    double x;  // the anchor
    double from, to;
};

// Keeps, left to right, each label that clears the one kept before it by a small gap.
std::vector<PlacedLabel> ThatFit(const std::vector<PlacedLabel>& labels) {
    std::vector<PlacedLabel> kept;
    for (const PlacedLabel& label : labels) {
        if (label.text.empty() || (!kept.empty() && label.from < kept.back().to + 3)) {
            continue;
        }
        kept.push_back(label);
    }
    return kept;
}

// Every label when all fit, else every second, third... from the first: the fewest left
// out at an even step, so that the labels shown keep a rhythm.
std::vector<PlacedLabel> EvenlyThatFit(const std::vector<PlacedLabel>& labels) {
    for (size_t stride = 1; stride < labels.size(); ++stride) {
        std::vector<PlacedLabel> every;
        for (size_t i = 0; i < labels.size(); i += stride) {
            every.push_back(labels[i]);
        }
        std::vector<PlacedLabel> kept = ThatFit(every);
        if (kept.size() == static_cast<size_t>(std::count_if(every.begin(), every.end(),
                                                             [](const PlacedLabel& l) { return !l.text.empty(); }))) {
            return kept;
        }
    }
    return ThatFit(labels);
}

}  // namespace

std::string AxisLabel(long long value, long long axisTop) {
    struct Unit {
        long long size;
        std::string_view name;
    };
    // An axis that reaches ten times a unit is written in that unit throughout.
    static constexpr Unit kUnits[] = {{100'000'000, "億"}, {10'000, "万"}};
    for (const Unit& unit : kUnits) {
        if (axisTop >= 10 * unit.size) {
            if (value == 0) {
                return "0";
            }
            const long long tenths = value / (unit.size / 10);
            std::string text = GroupedText(tenths / 10);
            if (tenths % 10 != 0) {
                text += '.';
                text += static_cast<char>('0' + tenths % 10);
            }
            return text + std::string(unit.name);
        }
    }
    return GroupedText(value);
}

double TextWidth(std::string_view utf8, double fontSize) {
    double ems = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0xC0) {
            ems += 1.0;  // a wide character, however many bytes follow
        } else if (byte < 0x80) {
            ems += (c == ',' || c == '.' || c == ':' || c == ' ') ? 0.34 : 0.64;
        }
    }
    return ems * fontSize;
}

void WriteBarChart(HtmlText& page, const BarChart& chart) {
    const int n = static_cast<int>(chart.values.size());
    const int slot = n <= 24 ? 30 : n <= 31 ? 23 : 16;
    const int plot = 180;
    const long long max = n == 0 ? 0 : *std::max_element(chart.values.begin(), chart.values.end());
    const auto [axisTop, step] = AxisTop(max);
    const auto value = [&chart](int i) { return chart.values[static_cast<size_t>(i)]; };
    const auto label = [&chart](int i) -> std::string_view { return chart.labels[static_cast<size_t>(i)]; };
    int busiest = 0;
    for (int i = 1; i < n; ++i) {
        busiest = value(i) > value(busiest) ? i : busiest;
    }

    // The value axis takes the room its widest tick needs.
    std::vector<std::string> ticks;
    double tickWidth = TextWidth("回", kLabelFont);
    for (long long tick = 0; tick <= axisTop; tick += step) {
        ticks.push_back(AxisLabel(tick, axisTop));
        tickWidth = std::max(tickWidth, TextWidth(ticks.back(), kLabelFont));
    }
    const double left = std::ceil(tickWidth) + 12;
    // The counts over the bars stand upright when every one fits its bar's slot; else all
    // are turned to read upwards, with room above the plot for the longest.
    std::vector<std::string> counts(static_cast<size_t>(n));
    double widestCount = 0;
    for (int i = 0; i < n; ++i) {
        if (value(i) > 0) {
            counts[static_cast<size_t>(i)] = GroupedText(value(i));
            widestCount = std::max(widestCount, TextWidth(counts[static_cast<size_t>(i)], kValueFont));
        }
    }
    const bool turned = widestCount > slot - 4;
    const double top = turned ? std::max(26.0, std::ceil(widestCount) + 10) : 26;
    const double base = top + plot;
    const auto barX = [&](int i) { return left + i * slot + 3; };
    const double barWidth = slot - 6;

    // Under each bar its tick (or label), and the second row's groups from the bar's left
    // edge; a label that would touch the one before it is left out.
    std::vector<PlacedLabel> row1;
    std::vector<PlacedLabel> row2;
    for (int i = 0; i < n; ++i) {
        const std::string_view text =
            chart.ticks.empty() ? label(i) : std::string_view(chart.ticks[static_cast<size_t>(i)]);
        const double centre = barX(i) + barWidth / 2;
        const double half = TextWidth(text, kLabelFont) / 2;
        row1.push_back({text, centre, centre - half, centre + half});
        if (static_cast<size_t>(i) < chart.groups.size()) {
            const std::string_view group = chart.groups[static_cast<size_t>(i)];
            row2.push_back({group, barX(i), barX(i), barX(i) + TextWidth(group, kLabelFont)});
        }
    }
    row1 = EvenlyThatFit(row1);
    row2 = ThatFit(row2);
    double right = left + n * slot + 12;
    for (const PlacedLabel& placed : row1) {
        right = std::max(right, placed.to + 4);
    }
    for (const PlacedLabel& placed : row2) {
        right = std::max(right, placed.to + 4);
    }
    const double width = std::ceil(right);
    const double height = base + (chart.groups.empty() ? 36 : 50);

    page << "<figure>\n<figcaption>" << chart.title << "　合計 <strong id=\"" << chart.id << "-total\">"
         << Grouped{chart.total} << "</strong> 回</figcaption>\n";
    page << "<svg class=\"chart\" id=\"" << chart.id << "\" viewBox=\"0 0 " << Coord{width} << ' ' << Coord{height}
         << '"';
    WidthLimits(page, chart.maxWidth, width);
    page << " role=\"img\" aria-labelledby=\"" << chart.id << "-t " << chart.id << "-d\">\n";
    page << "<title id=\"" << chart.id << "-t\">" << chart.title << "</title>\n<desc id=\"" << chart.id << "-d\">合計 "
         << Grouped{chart.total} << " 回";
    if (max > 0) {
        page << "、最多 " << label(busiest) << chart.unit << "（" << Grouped{max} << " 回）";
    }
    page << "。";
    for (int i = 0; i < n; ++i) {
        page << (i == 0 ? "" : "、") << label(i) << chart.unit << ' ' << Grouped{value(i)};
    }
    page << "</desc>\n";
    for (size_t k = 0; k < ticks.size(); ++k) {
        const double y = base - static_cast<double>(plot) * static_cast<double>(static_cast<long long>(k) * step) /
                                    static_cast<double>(axisTop);
        page << "<line class=\"grid\" x1=\"" << Coord{left} << "\" x2=\"" << Coord{width - 8} << "\" y1=\"" << Coord{y}
             << "\" y2=\"" << Coord{y} << "\"/><text class=\"ay\" x=\"" << Coord{left - 5} << "\" y=\"" << Coord{y + 4}
             << "\">" << ticks[k] << "</text>\n";
    }
    page << "<text class=\"ay\" x=\"" << Coord{left - 5} << "\" y=\"" << Coord{top - 14} << "\">回</text>\n";
    for (int i = 0; i < n; ++i) {
        const double h = static_cast<double>(plot) * static_cast<double>(value(i)) / static_cast<double>(axisTop);
        const double x = barX(i);
        const double centre = x + barWidth / 2;
        page << "<rect class=\"bar\" x=\"" << Coord{x} << "\" y=\"" << Coord{base - h} << "\" width=\""
             << Coord{barWidth} << "\" height=\"" << Coord{h} << "\"><title>" << label(i) << chart.unit << ": "
             << Grouped{value(i)} << " 回</title></rect>";
        if (value(i) > 0) {
            const double y = base - h - 3;
            page << "<text class=\"val";
            if (turned) {
                page << " up\" transform=\"rotate(-90 " << Coord{centre} << ' ' << Coord{y} << ")";
            }
            page << "\" x=\"" << Coord{centre} << "\" y=\"" << Coord{y} << "\">" << counts[static_cast<size_t>(i)]
                 << "</text>";
        }
        page << '\n';
    }
    for (const PlacedLabel& placed : row1) {
        page << "<text class=\"ax\" x=\"" << Coord{placed.x} << "\" y=\"" << Coord{base + 15} << "\">" << placed.text
             << "</text>";
    }
    page << '\n';
    for (const PlacedLabel& placed : row2) {
        page << "<text class=\"ag\" x=\"" << Coord{placed.x} << "\" y=\"" << Coord{base + 29} << "\">" << placed.text
             << "</text>";
    }
    page << "<line class=\"axis\" x1=\"" << Coord{left} << "\" x2=\"" << Coord{width - 8} << "\" y1=\"" << Coord{base}
         << "\" y2=\"" << Coord{base} << "\"/>\n";
    page << "<text class=\"ax\" x=\"" << Coord{left + n * slot / 2.0} << "\" y=\"" << Coord{height - 3} << "\">"
         << chart.axisCaption << "</text>\n</svg>\n</figure>\n";
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
    long long busy = 0;
    for (const long long v : map.values) {
        max = std::max(max, v);
        busy += v > 0 ? 1 : 0;
    }
    page << "<figure>\n<figcaption>" << map.title << "　合計 <strong id=\"" << map.id << "-total\">"
         << Grouped{map.total} << "</strong> 回</figcaption>\n";
    page << "<svg class=\"chart\" id=\"" << map.id << "\" viewBox=\"0 0 " << width << ' ' << height << '"';
    WidthLimits(page, map.maxWidth, width);
    page << " role=\"img\" aria-labelledby=\"" << map.id << "-t " << map.id << "-d\">\n<title id=\"" << map.id
         << "-t\">" << map.title << "</title>\n<desc id=\"" << map.id << "-d\">" << map.description << "合計 "
         << Grouped{map.total} << " 回、アクセスのあった枠 " << Grouped{busy} << "、1 枠の最多 " << Grouped{max}
         << " 回。</desc>\n";
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
            page << ": " << Grouped{v} << "</title></rect>";
        }
        page << '\n';
    }
    page << "<text class=\"ax\" x=\"" << left + columns * cell / 2 << "\" y=\"" << height - 4 << "\">"
         << map.axisCaption << "</text>\n";
    page << "</svg>\n<ul class=\"legend\" aria-label=\"色の目安\"><li><span class=\"sw l0\"></span>0</li>";
    // Each level's range of counts: level L holds the counts above (L-1)/5 of the busiest
    // cell's count, up to L/5 of it.
    for (int level = 1; level <= 5 && max > 0; ++level) {
        const long long from = (level - 1) * max / 5 + 1;
        const long long to = level * max / 5;
        if (from > to) {
            continue;
        }
        page << "<li><span class=\"sw l" << level << "\"></span>" << Grouped{from};
        if (to > from) {
            page << "～" << Grouped{to};
        }
        page << "</li>";
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
            page << " (" << Grouped{legend.counts[k]} << " 回)</title>";
        }
        page << (shape.full ? "</circle>\n" : "</path>\n");
    }
    page << "</svg>\n<figcaption>" << title << "</figcaption>\n<ul class=\"legend\">";
    for (size_t k = 0; k < legend.entries.size() && k < legend.colours.size(); ++k) {
        page << "<li><span class=\"sw\" style=\"background:" << Colour(legend.colours[k]) << "\"></span>";
        page.Escaped(legend.entries[k]);
        page << "（" << Grouped{legend.counts[k]} << " 回）</li>";
    }
    page << "</ul>\n</figure>\n";
}

}  // namespace quorlet3
