// The SVG picture of the share pies: sectors as paths or whole circles, swatches and legends.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/ShareSvg.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

int CountOf(std::string_view text, std::string_view part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(ShareSvgTest, QuarterSectorsRunClockwiseFromTwelve) {
    const std::string svg = ShareSvg({2, 1, 0, 0, 1, 0, 0, 4});
    EXPECT_NE(svg.find("<path d=\"M 100 100 L 100 10 A 90 90 0 0 1 190 100 Z\" fill=\"#00ffff\""), std::string::npos);
    EXPECT_NE(svg.find("<path d=\"M 100 100 L 190 100 A 90 90 0 0 1 100 190 Z\" fill=\"#ffff00\""), std::string::npos);
    EXPECT_NE(svg.find("<path d=\"M 100 100 L 100 190 A 90 90 0 0 1 100 10 Z\" fill=\"#7f7f7f\""), std::string::npos);
    EXPECT_NE(svg.find("<path d=\"M 300 100 L 300 10 A 90 90 0 0 1 390 100 Z\" fill=\"#0000ff\""), std::string::npos);
    EXPECT_EQ(CountOf(svg, "<path "), 6);
    EXPECT_EQ(CountOf(svg, "<rect "), 11);  // background and ten swatches
    EXPECT_NE(svg.find("<rect x=\"260\" y=\"265\" width=\"15\" height=\"15\" fill=\"#7f7f7f\"/>"), std::string::npos);
    EXPECT_NE(svg.find("<text x=\"50\" y=\"217\">MSIE2.0 25%</text>"), std::string::npos);
    EXPECT_NE(svg.find(Utf8(u8"<text x=\"50\" y=\"397\">その他 50%</text>")), std::string::npos);
    EXPECT_NE(svg.find(Utf8(u8"<text x=\"280\" y=\"277\">その他 50%</text>")), std::string::npos);
    EXPECT_EQ(CountOf(svg, "<text "), 10);
}

TEST(ShareSvgTest, FullAndTinyShares) {
    const std::string full = ShareSvg({0, 0, 0, 7, 0, 0, 0, 7});
    EXPECT_EQ(CountOf(full, "<path "), 0);
    EXPECT_NE(full.find("<circle cx=\"100\" cy=\"100\" r=\"90\" fill=\"#ff00ff\""), std::string::npos);
    EXPECT_NE(full.find("<circle cx=\"300\" cy=\"100\" r=\"90\" fill=\"#0000ff\""), std::string::npos);

    // The large share takes the long way round; the tiny one stays a thin sector, not a disc.
    const std::string tiny = ShareSvg({1, 9999, 0, 0, 0, 0, 0, 10000});
    EXPECT_EQ(CountOf(tiny, "<circle"), 0);
    EXPECT_EQ(CountOf(tiny, "<path "), 4);
    EXPECT_EQ(CountOf(tiny, " 0 1 1 "), 2);
    EXPECT_EQ(CountOf(tiny, " 0 0 1 "), 2);
}

TEST(ShareSvgTest, WritesTheFile) {
    const test::TempDir dir;
    const ShareCounters counters{2, 0, 1, 3, 0, 0, 4, 10};
    ASSERT_TRUE(WriteShareSvg(dir.Path() + "/share.svg", counters));
    std::ifstream in(dir.Path() + "/share.svg", std::ios::binary);
    std::ostringstream read;
    read << in.rdbuf();
    EXPECT_EQ(read.str(), ShareSvg(counters));
    EXPECT_FALSE(WriteShareSvg(dir.Path() + "/missing/share.svg", counters));
}

}  // namespace
}  // namespace quorlet3
