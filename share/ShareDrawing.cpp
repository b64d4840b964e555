// Geometry and legends of the two share pies.
#include "share/ShareDrawing.h"

#include <numbers>

#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

constexpr int kSwatchSize = 15;

// Lays the shares out clockwise from 12 o'clock, each sector from its own angles.
// A full share closes the circle; a zero share gets no sector.
class PieBuilder {
public:
    PieBuilder(Pie& pie, long long total) : pie_(pie), total_(total) {}
    void Add(long long count, Rgb colour) {
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
    long long total_;
    long long sum_ = 0;
};

}  // namespace

ShareDrawing ComputeShareDrawing(const ShareCounters& c) {
    ShareDrawing drawing;
    drawing.versionPie = {10, 10, 190, 190, {}};
    drawing.familyPie = {210, 10, 390, 190, {}};
    const long long total = c[kShareTotal];
    if (total == 0) {
        return drawing;
    }
    PieBuilder version(drawing.versionPie, total);
    for (const ShareClass& k : kShareClasses) {
        version.Add(c[static_cast<size_t>(k.counter)], k.colour);
    }
    PieBuilder family(drawing.familyPie, total);
    for (const ShareFamilyClass& f : kShareFamilies) {
        family.Add(FamilyCount(c, f.family), f.colour);
    }

    int row = 0;
    for (const ShareClass& k : kShareClasses) {
        drawing.swatches.push_back({30, 205 + 30 * row++, kSwatchSize, k.colour});
    }
    row = 0;
    for (const ShareFamilyClass& f : kShareFamilies) {
        drawing.swatches.push_back({260, 205 + 30 * row++, kSwatchSize, f.colour});
    }

    // Each entry and a blank line; the version legend has none after its last entry.
    auto percent = [&](long long count) { return SharePercent(count, total); };
    for (const ShareClass& k : kShareClasses) {
        if (!drawing.versionLegend.empty()) {
            drawing.versionLegend += "\r\n\r\n";
        }
        AppendFormat(drawing.versionLegend, "%.*s\t%d%%", static_cast<int>(k.label.size()), k.label.data(),
                     percent(c[static_cast<size_t>(k.counter)]));
    }
    for (const ShareFamilyClass& f : kShareFamilies) {
        AppendFormat(drawing.familyLegend, "%.*s\t%d%%\r\n\r\n", static_cast<int>(f.label.size()), f.label.data(),
                     percent(FamilyCount(c, f.family)));
    }
    return drawing;
}

}  // namespace quorlet3
