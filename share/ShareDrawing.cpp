// Geometry and legends of the two share pies.
#include "share/ShareDrawing.h"

#include <numbers>

#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

constexpr Rgb kCyan{0, 255, 255};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGrey{127, 127, 127};

// Colours of the version pie for counters 1 to 6; the rest (other) is grey.
constexpr Rgb kVersionColours[] = {kCyan, kBlue, kMagenta, kYellow, kGreen, kRed};

constexpr int kSwatchSize = 15;

// Lays the shares out clockwise from 12 o'clock, each sector from its own angles.
// A full share closes the circle; a zero share gets no sector.
class PieBuilder {
public:
    PieBuilder(Pie& pie, int total) : pie_(pie), total_(total) {}
    void Add(int count, Rgb colour) {
        if (count == 0) {
            return;
        }
        const double start = 2.0 * std::numbers::pi * static_cast<double>(sum_) / static_cast<double>(total_);
        sum_ += count;
        const double end = 2.0 * std::numbers::pi * static_cast<double>(sum_) / static_cast<double>(total_);
        pie_.sectors.push_back({start, end - start, colour});
    }

private:
    Pie& pie_;
    int total_;
    long long sum_ = 0;
};

}  // namespace

ShareDrawing ComputeShareDrawing(const ShareCounters& c) {
    ShareDrawing drawing;
    drawing.versionPie = {10, 10, 190, 190, {}};
    drawing.familyPie = {210, 10, 390, 190, {}};
    const int total = c[kShareTotal];
    if (total == 0) {
        return drawing;
    }
    const int msie = c[kShareMsie20] + c[kShareMsie30] + c[kShareMsie40];
    const int netscape = c[kShareNn20] + c[kShareNn30] + c[kShareNn40];

    PieBuilder version(drawing.versionPie, total);
    for (int k = kShareMsie20; k <= kShareNn40; ++k) {
        version.Add(c[static_cast<size_t>(k)], kVersionColours[k - kShareMsie20]);
    }
    version.Add(c[kShareOther], kGrey);
    PieBuilder family(drawing.familyPie, total);
    family.Add(msie, kBlue);
    family.Add(netscape, kGreen);
    family.Add(c[kShareOther], kGrey);

    for (int k = 0; k < 7; ++k) {
        drawing.swatches.push_back({30, 205 + 30 * k, kSwatchSize, k < 6 ? kVersionColours[k] : kGrey});
    }
    const Rgb familyColours[] = {kBlue, kGreen, kGrey};
    for (int k = 0; k < 3; ++k) {
        drawing.swatches.push_back({260, 205 + 30 * k, kSwatchSize, familyColours[k]});
    }

    auto percent = [&](int count) { return SharePercent(count, total); };
    for (int v = 2; v <= 4; ++v) {
        AppendFormat(drawing.versionLegend, "MSIE%d.0\t%d%%\r\n\r\n", v, percent(c[static_cast<size_t>(kShareMsie20 + v - 2)]));
    }
    for (int v = 2; v <= 4; ++v) {
        AppendFormat(drawing.versionLegend, " NN %d.0\t%d%%\r\n\r\n", v, percent(c[static_cast<size_t>(kShareNn20 + v - 2)]));
    }
    AppendFormat(drawing.versionLegend, "その他\t%d%%"_sjf, percent(c[kShareOther]));
    AppendFormat(drawing.familyLegend, "MSIE\t%d%%\r\n\r\n", percent(msie));
    AppendFormat(drawing.familyLegend, "Netscape\t%d%%\r\n\r\n", percent(netscape));
    AppendFormat(drawing.familyLegend, "その他\t%d%%\r\n\r\n"_sjf, percent(c[kShareOther]));
    return drawing;
}

}  // namespace quorlet3
