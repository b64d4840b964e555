// Chart primitives of the HTML page, drawn as inline SVG: bar charts, heat maps and the
// share pies with their legends. The pie geometry is shared with the SVG file writer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output/HtmlText.h"
#include "share/ShareDrawing.h"

namespace quorlet3 {

struct BarChart {
    std::string_view id;              // the svg's id; the total's element is id + "-total"
    std::string_view title;           // heading
    std::string_view unit;            // after a bar's label in texts: "時", "日"
    std::string_view axisCaption;     // under the bars
    std::vector<std::string> labels;  // one per bar, in its tooltip and the text alternative
    std::vector<long long> values;
    long long total;
    std::vector<std::string> ticks;  // under each bar when given, else the labels
    int maxWidth = 0;                // the widest it is drawn, in CSS pixels (0: the page's width)
};

// A vertical bar chart with a value axis, a label under every bar, the count above it
// and as its tooltip, and a text alternative listing every count.
void WriteBarChart(HtmlText& page, const BarChart& chart);

struct HeatMap {
    std::string_view id;
    std::string_view title;
    std::string_view description;          // what the cells count, before the figures
    std::string_view axisCaption;          // under the map
    std::vector<std::string> columns;      // label above each column
    std::vector<std::string> columnNames;  // a column in a cell's tooltip
    std::vector<std::string> rows;         // label left of each row, also in the tooltip
    std::vector<long long> values;         // column by column: [column * rows.size() + row]
    long long total;
    std::vector<std::string> cellTitles;  // each cell's tooltip when given, in the order of values
    int maxWidth = 0;                     // the widest it is drawn, in CSS pixels (0: the page's width)
};

// A grid of cells coloured in five levels of the busiest cell; empty cells are outlined
// only. A legend gives each level's range.
void WriteHeatMap(HtmlText& page, const HeatMap& map);

// The colour level of a count: 0 for none, else its fifth of the busiest cell's count,
// rounded up (1 to 5; the busiest cell is always 5).
int Level(long long value, long long max);

// A pie sector as drawn: a full circle, or a path from the centre along the arc.
struct SectorShape {
    bool full;
    double cx, cy, r;
    double x0, y0, x1, y1;  // where the arc begins and ends
    bool largeArc;
};
SectorShape ShapeOf(const Pie& pie, const PieSector& sector);

// The entries of a share legend (cp932, blank lines between entries) as UTF-8, tabs
// shown as spaces.
std::vector<std::string> LegendEntries(const std::string& legend);

struct PieLegend {
    std::vector<Rgb> colours;          // one per entry
    std::vector<std::string> entries;  // LegendEntries
    std::vector<long long> counts;     // the count behind each entry
};

// One share pie, its sectors exactly as the dialog paints them, and its legend: swatch,
// legend text and count.
void WritePie(HtmlText& page, std::string_view id, std::string_view title, const Pie& pie, const PieLegend& legend);

}  // namespace quorlet3
