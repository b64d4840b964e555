// Browser share: the classes by prefix, the report text and the pie geometry with its legends.
#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>

#include "encoding/Cp932Literal.h"
#include "share/ShareDrawing.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::LoadLines;
using test::ShareReportOf;
constexpr double kTurn = 2 * std::numbers::pi;

TEST(ReportShareTest, TenLineExample) {
    const CQuorlet3Doc doc = LoadLines({
        "④Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)"_sj,
        "④Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)"_sj,
        "④Mozilla/4.0 (compatible; MSIE 4.0; Windows NT)"_sj,
        "④Mozilla/4.0 (compatible; MSIE 4.01; Mac_PowerPC)"_sj,
        "④Mozilla/4.01 [ja] (Win95; I)"_sj,
        "④Mozilla/4.04 [ja] (WinNT; I)"_sj,
        "④Mozilla/4.0 [en] (X11; I; Linux)"_sj,
        "④Mozilla/4.06 [ja] (Macintosh; I; PPC)"_sj,
        "④Mozilla/4.5 (Macintosh)"_sj,
        "③Mozilla/4.0"_sj,
        "④mozilla/4.0"_sj,
    });
    ShareCounters counters{};
    EXPECT_EQ(ShareReportOf(doc, counters),
              "シェア調査\t10 回\r\n\r\nMSIE2.0\t0\t0 ％\r\nMSIE3.0\t1\t10 ％\r\nMSIE4.0\t3\t30 ％\r\n\r\n"_sj
              " NN 2.0\t0\t0 ％\r\n NN 3.0\t0\t0 ％\r\n NN 4.0\t4\t40 ％\r\n\r\nその他\t2\t20 ％\r\n\r\n\r\n"_sj
              "MSIE,NN3.0以上\t80 ％\r\nMSIE 3.0以上　\t40 ％\r\nNetscape  　　\t40 ％\r\n"_sj);
    EXPECT_EQ(counters, (ShareCounters{2, 0, 1, 3, 0, 0, 4, 10}));
}

struct PrefixCase {
    std::string browser;  // text after the marker
    int counter;
};

class BrowserClassTest : public testing::TestWithParam<PrefixCase> {};

TEST_P(BrowserClassTest, FirstMatchingPrefixWins) {
    const int k = GetParam().counter;
    ShareCounters counters{};
    const std::string text = ShareReportOf(LoadLines({"④"_sj + GetParam().browser}), counters);
    ShareCounters expected{};
    expected[static_cast<size_t>(k)] = 1;
    expected[kShareTotal] = 1;
    EXPECT_EQ(counters, expected);
    static const char* const kRows[] = {"その他"_sj, "MSIE2.0", "MSIE3.0", "MSIE4.0", " NN 2.0", " NN 3.0", " NN 4.0"};
    EXPECT_NE(text.find(std::string("\n") + kRows[k] + "\t1\t100 ％\r\n"_sj), std::string::npos) << text;
    const bool modern = k == kShareMsie30 || k == kShareMsie40 || k == kShareNn30 || k == kShareNn40;
    EXPECT_NE(text.find(modern ? "MSIE,NN3.0以上\t100 ％"_sj : "MSIE,NN3.0以上\t0 ％"_sj), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Prefixes, BrowserClassTest,
                         testing::Values(PrefixCase{"Mozilla/1.22 (compatible; MSIE 2.0; Windows 3.1)", kShareMsie20},
                                         PrefixCase{"Mozilla/1.22 (compatible; MSIE 2.0", kShareMsie20},
                                         PrefixCase{"Mozilla/1.22 (compatible; MSIE 2.", kShareOther},
                                         PrefixCase{"Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)", kShareMsie30},
                                         PrefixCase{"Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)", kShareMsie40},
                                         PrefixCase{"Mozilla/2.0 (compatible", kShareNn20},
                                         PrefixCase{"Mozilla/2.02 (Win95; I)", kShareNn20},
                                         PrefixCase{"Mozilla/3.0 (compatible; MSIE 3.0)", kShareNn30},
                                         PrefixCase{"Mozilla/3.01Gold (Win95; I)", kShareNn30},
                                         PrefixCase{"Mozilla/4.01 [ja] (Win95; I)", kShareNn40},
                                         PrefixCase{"Mozilla/4.0", kShareNn40},
                                         PrefixCase{"Mozilla/4.5 (Macintosh)", kShareOther},
                                         PrefixCase{"Mozilla/5.0", kShareOther},
                                         PrefixCase{"mozilla/4.0 (compatible; MSIE 4.0", kShareOther},
                                         PrefixCase{" Mozilla/4.0", kShareOther}, PrefixCase{"", kShareOther}),
                         [](const auto& info) { return test::CaseName(info.param.browser); });

TEST(ReportShareTest, CombinedSharesComeFromSummedCounts) {
    ShareCounters counters{};
    const std::string text =
        ShareReportOf(LoadLines({"④Mozilla/2.0 (compatible; MSIE 3.0)"_sj, "④Mozilla/4.0 (compatible; MSIE 4.0)"_sj,
                                 "④Mozilla/4.0 (compatible; MSIE 4.0)"_sj}),
                      counters);
    EXPECT_NE(text.find("\r\nMSIE3.0\t1\t33 ％\r\nMSIE4.0\t2\t66 ％\r\n"_sj), std::string::npos);
    EXPECT_TRUE(text.ends_with("MSIE,NN3.0以上\t100 ％\r\nMSIE 3.0以上　\t100 ％\r\nNetscape  　　\t0 ％\r\n"_sj));
}

TEST(ReportShareTest, NoBrowserLines) {
    const char* const kNoData = "シェア調査\t0 回\r\n\r\nブラウザについてのデータがありません。"_sj;
    ShareCounters counters{};
    EXPECT_EQ(ShareReportOf(LoadLines({"③h"_sj, "FileEND", "④Mozilla/4.0"_sj}), counters), kNoData);
    EXPECT_EQ(ShareReportOf(CQuorlet3Doc(), counters), kNoData);
    EXPECT_EQ(counters, ShareCounters{});
}

void ExpectSectors(const Pie& pie, const std::vector<PieSector>& expected) {
    ASSERT_EQ(pie.sectors.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_NEAR(pie.sectors[k].start, expected[k].start, 1e-12) << k;
        EXPECT_NEAR(pie.sectors[k].span, expected[k].span, 1e-12) << k;
        EXPECT_EQ(pie.sectors[k].colour, expected[k].colour) << k;
    }
}

// The colour of a class's sector and swatch, and of a family's.
Rgb Of(int counter) {
    return std::find_if(kShareClasses.begin(), kShareClasses.end(),
                        [counter](const ShareClass& c) { return c.counter == counter; })
        ->colour;
}
Rgb Of(ShareFamily family) {
    return std::find_if(kShareFamilies.begin(), kShareFamilies.end(),
                        [family](const ShareFamilyClass& f) { return f.family == family; })
        ->colour;
}
const Rgb kMsie = Of(ShareFamily::Msie), kNetscape = Of(ShareFamily::Netscape), kOther = Of(ShareFamily::Other);

TEST(ShareDrawingTest, TenCounterExample) {
    const ShareDrawing d = ComputeShareDrawing({2, 0, 1, 3, 0, 0, 4, 10});
    EXPECT_EQ(d.versionLegend,
              "MSIE2.0\t0%\r\n\r\nMSIE3.0\t10%\r\n\r\nMSIE4.0\t30%\r\n\r\n NN 2.0\t0%\r\n\r\n NN 3.0\t0%\r\n\r\n"
              " NN 4.0\t40%\r\n\r\nその他\t20%"_sj);
    EXPECT_EQ(d.familyLegend, "MSIE\t40%\r\n\r\nNetscape\t40%\r\n\r\nその他\t20%\r\n\r\n"_sj);
    EXPECT_EQ(std::tie(d.versionPie.left, d.versionPie.top, d.versionPie.right, d.versionPie.bottom),
              std::make_tuple(10, 10, 190, 190));
    EXPECT_EQ(std::tie(d.familyPie.left, d.familyPie.top, d.familyPie.right, d.familyPie.bottom),
              std::make_tuple(210, 10, 390, 190));
    ExpectSectors(d.versionPie, {{0, 0.1 * kTurn, Of(kShareMsie30)},
                                 {0.1 * kTurn, 0.3 * kTurn, Of(kShareMsie40)},
                                 {0.4 * kTurn, 0.4 * kTurn, Of(kShareNn40)},
                                 {0.8 * kTurn, 0.2 * kTurn, kOther}});
    ExpectSectors(d.familyPie,
                  {{0, 0.4 * kTurn, kMsie}, {0.4 * kTurn, 0.4 * kTurn, kNetscape}, {0.8 * kTurn, 0.2 * kTurn, kOther}});
    // A swatch beside each legend entry, in legend order, in the colour of its sectors.
    ASSERT_EQ(d.swatches.size(), kShareClasses.size() + kShareFamilies.size());
    for (size_t k = 0; k < d.swatches.size(); ++k) {
        const bool version = k < kShareClasses.size();
        const size_t row = version ? k : k - kShareClasses.size();
        const Swatch& s = d.swatches[k];
        EXPECT_EQ(s.y, 205 + 30 * static_cast<int>(row)) << k;
        EXPECT_EQ(s.x, version ? 30 : 260) << k;
        EXPECT_EQ(s.colour, version ? kShareClasses[row].colour : kShareFamilies[row].colour) << k;
    }
}

TEST(ShareDrawingTest, SingleClassFillsTheWholeDisc) {
    const ShareDrawing other = ComputeShareDrawing({5, 0, 0, 0, 0, 0, 0, 5});
    ExpectSectors(other.versionPie, {{0, kTurn, kOther}});
    ExpectSectors(other.familyPie, {{0, kTurn, kOther}});
    EXPECT_TRUE(other.versionLegend.starts_with("MSIE2.0\t0%\r\n"));
    EXPECT_TRUE(other.versionLegend.ends_with(" NN 4.0\t0%\r\n\r\nその他\t100%"_sj));
    EXPECT_EQ(other.familyLegend, "MSIE\t0%\r\n\r\nNetscape\t0%\r\n\r\nその他\t100%\r\n\r\n"_sj);

    // A full share closes the circle: no grey sliver is left.
    const ShareDrawing msie4 = ComputeShareDrawing({0, 0, 0, 7, 0, 0, 0, 7});
    ExpectSectors(msie4.versionPie, {{0, kTurn, Of(kShareMsie40)}});
    ExpectSectors(msie4.familyPie, {{0, kTurn, kMsie}});
    EXPECT_NE(msie4.versionLegend.find("\r\nMSIE4.0\t100%\r\n"), std::string::npos);
}

TEST(ShareDrawingTest, TinyShareKeepsAThinSector) {
    const ShareDrawing d = ComputeShareDrawing({1, 9999, 0, 0, 0, 0, 0, 10000});
    ExpectSectors(d.versionPie, {{0, 0.9999 * kTurn, Of(kShareMsie20)}, {0.9999 * kTurn, 0.0001 * kTurn, kOther}});
    EXPECT_TRUE(d.versionLegend.ends_with("その他\t0%"_sj));
}

TEST(ShareDrawingTest, NothingToDrawWithoutData) {
    const ShareDrawing d = ComputeShareDrawing({});
    EXPECT_TRUE(d.versionPie.sectors.empty() && d.familyPie.sectors.empty() && d.swatches.empty());
    EXPECT_EQ(d.versionLegend + d.familyLegend, "");
}

}  // namespace
}  // namespace quorlet3
