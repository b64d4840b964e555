// The share dialog's picture, framework-free: two pies, swatches and legend texts
// computed from the eight share counters, for the dialog and the SVG writer alike.
#pragma once

#include <string>
#include <vector>

#include "share/ShareClasses.h"

namespace quorlet3 {

// A pie sector: angles in radians, measured clockwise on the screen from 12 o'clock.
struct PieSector {
    double start;
    double span;
    Rgb colour;
};

// A pie in its bounding box (device pixels of the dialog's client area).
struct Pie {
    int left;
    int top;
    int right;
    int bottom;
    std::vector<PieSector> sectors;  // in painting order; sectors of count 0 are left out
};

struct Swatch {
    int x;
    int y;
    int size;
    Rgb colour;
};

struct ShareDrawing {
    Pie versionPie;
    Pie familyPie;
    std::vector<Swatch> swatches;  // seven version swatches, then three family swatches
    std::string versionLegend;     // cp932, CR LF line ends
    std::string familyLegend;      // cp932, CR LF line ends
};

// The picture for the counters. With a total of 0 there is nothing to draw: both pies
// have no sector, and swatches and legends are empty.
ShareDrawing ComputeShareDrawing(const ShareCounters& counters);

}  // namespace quorlet3
