// The SVG picture of the share pies: sectors as paths or whole circles, swatches and legends.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "output/ShareSvg.h"
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

// Other 2, MSIE 2.0 1, NN 2.0 1 of 4: quarter and half sectors clockwise from 12 o'clock,
// the swatches beside the legend entries, every percentage in the legends.
constexpr ShareCounters kQuarters{2, 1, 0, 0, 1, 0, 0, 4};
const std::string kQuartersSvg = Utf8(
    u8"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    u8"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"448\" height=\"414\" viewBox=\"0 0 448 414\""
    u8" font-family=\"IPAPGothic, sans-serif\" font-size=\"12\">\n"
    u8"  <rect width=\"448\" height=\"414\" fill=\"white\"/>\n"
    u8"  <path d=\"M 100 100 L 100 10 A 90 90 0 0 1 190 100 Z\" fill=\"#00ffff\" stroke=\"black\"/>\n"
    u8"  <path d=\"M 100 100 L 190 100 A 90 90 0 0 1 100 190 Z\" fill=\"#ffff00\" stroke=\"black\"/>\n"
    u8"  <path d=\"M 100 100 L 100 190 A 90 90 0 0 1 100 10 Z\" fill=\"#7f7f7f\" stroke=\"black\"/>\n"
    u8"  <path d=\"M 300 100 L 300 10 A 90 90 0 0 1 390 100 Z\" fill=\"#0000ff\" stroke=\"black\"/>\n"
    u8"  <path d=\"M 300 100 L 390 100 A 90 90 0 0 1 300 190 Z\" fill=\"#00ff00\" stroke=\"black\"/>\n"
    u8"  <path d=\"M 300 100 L 300 190 A 90 90 0 0 1 300 10 Z\" fill=\"#7f7f7f\" stroke=\"black\"/>\n"
    u8"  <rect x=\"30\" y=\"205\" width=\"15\" height=\"15\" fill=\"#00ffff\"/>\n"
    u8"  <rect x=\"30\" y=\"235\" width=\"15\" height=\"15\" fill=\"#0000ff\"/>\n"
    u8"  <rect x=\"30\" y=\"265\" width=\"15\" height=\"15\" fill=\"#ff00ff\"/>\n"
    u8"  <rect x=\"30\" y=\"295\" width=\"15\" height=\"15\" fill=\"#ffff00\"/>\n"
    u8"  <rect x=\"30\" y=\"325\" width=\"15\" height=\"15\" fill=\"#00ff00\"/>\n"
    u8"  <rect x=\"30\" y=\"355\" width=\"15\" height=\"15\" fill=\"#ff0000\"/>\n"
    u8"  <rect x=\"30\" y=\"385\" width=\"15\" height=\"15\" fill=\"#7f7f7f\"/>\n"
    u8"  <rect x=\"260\" y=\"205\" width=\"15\" height=\"15\" fill=\"#0000ff\"/>\n"
    u8"  <rect x=\"260\" y=\"235\" width=\"15\" height=\"15\" fill=\"#00ff00\"/>\n"
    u8"  <rect x=\"260\" y=\"265\" width=\"15\" height=\"15\" fill=\"#7f7f7f\"/>\n"
    u8"  <text x=\"50\" y=\"217\">MSIE2.0 25%</text>\n"
    u8"  <text x=\"50\" y=\"247\">MSIE3.0 0%</text>\n"
    u8"  <text x=\"50\" y=\"277\">MSIE4.0 0%</text>\n"
    u8"  <text x=\"50\" y=\"307\"> NN 2.0 25%</text>\n"
    u8"  <text x=\"50\" y=\"337\"> NN 3.0 0%</text>\n"
    u8"  <text x=\"50\" y=\"367\"> NN 4.0 0%</text>\n"
    u8"  <text x=\"50\" y=\"397\">その他 50%</text>\n"
    u8"  <text x=\"280\" y=\"217\">MSIE 25%</text>\n"
    u8"  <text x=\"280\" y=\"247\">Netscape 25%</text>\n"
    u8"  <text x=\"280\" y=\"277\">その他 50%</text>\n"
    u8"</svg>\n");

TEST(ShareSvgTest, QuarterSectorsRunClockwiseFromTwelve) { EXPECT_EQ(ShareSvg(kQuarters), kQuartersSvg); }

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
    ASSERT_TRUE(WriteShareSvg(dir.PathOf("share.svg"), kQuarters));
    std::ifstream in(dir.PathOf("share.svg"), std::ios::binary);
    std::ostringstream read;
    read << in.rdbuf();
    EXPECT_EQ(read.str(), kQuartersSvg);
    EXPECT_FALSE(WriteShareSvg(dir.PathOf("missing/share.svg"), kQuarters));
}

}  // namespace
}  // namespace quorlet3
