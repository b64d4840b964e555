// cp932 to UTF-8 and back, as the command-line tool and the window show report text.
#include <gtest/gtest.h>

#include "platform/Cp932.h"

namespace quorlet3 {
namespace {

using namespace std::string_literals;

std::string U8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

template <class Text>
Text Repeat(const Text& text, int count) {
    Text all;
    for (int i = 0; i < count; ++i) {
        all += text;
    }
    return all;
}
std::string Repeat(const char* text, int count) { return Repeat(std::string(text), count); }
std::u8string Repeat(const char8_t* text, int count) { return Repeat(std::u8string(text), count); }

struct DecodeCase {
    const char* name;
    std::string cp932;  // narrow literals here are cp932 bytes
    std::u8string utf8;
};

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, EveryInvalidByteBecomesOneReplacement) {
    EXPECT_EQ(DecodeCp932ToUtf8(GetParam().cp932), U8(GetParam().utf8));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DecodeTest,
    ::testing::Values(DecodeCase{"Empty", "", u8""}, DecodeCase{"Report", "ファイル検査\r\n", u8"ファイル検査\r\n"},
                      DecodeCase{"MarkersAndWaveDash", "①～⑦", u8"①～⑦"},
                      DecodeCase{"BackslashAndTildeStayAscii", "\\~", u8"\\~"},
                      DecodeCase{"HalfWidthKana", "ﾌｧｲﾙ", u8"ﾌｧｲﾙ"}, DecodeCase{"WindowsSigns", "＼－￢∥", u8"＼－￢∥"},
                      DecodeCase{"NulPassesThrough", "a\0b"s, u8"a\0b"s},
                      DecodeCase{"SingleInvalidBytes",
                                 "a\x80"
                                 "b\xA0\xFD\xFE\xFF",
                                 u8"a\uFFFDb\uFFFD\uFFFD\uFFFD\uFFFD"},
                      DecodeCase{"LeadByteAtTheEnd", "ab\x81", u8"ab\uFFFD"},
                      DecodeCase{"LeadByteBeforeAscii",
                                 "\x81 x\x87"
                                 "0",
                                 u8"\uFFFD x\uFFFD0"},
                      DecodeCase{"UnassignedPairKeepsItsAsciiTrail", "\x85\x40", u8"\uFFFD@"},
                      DecodeCase{"LongTextWithInvalidBytesThroughout",
                                 Repeat("a", 20000) + "\x80" + Repeat("あ", 10000) + "\xA0",
                                 Repeat(u8"a", 20000) + u8"\uFFFD" + Repeat(u8"あ", 10000) + u8"\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Encode, Utf8ToCp932) {
    EXPECT_EQ(EncodeUtf8ToCp932(U8(u8"ページ～①.html")), "ページ～①.html");
    EXPECT_EQ(EncodeUtf8ToCp932(""), "");
    EXPECT_EQ(EncodeUtf8ToCp932("\xFF"), std::nullopt);                  // not UTF-8
    EXPECT_EQ(EncodeUtf8ToCp932(U8(u8"page\U0001F600")), std::nullopt);  // not in cp932
}

TEST(LineEnds, OnlyCrLfPairsBecomeLineFeeds) { EXPECT_EQ(CrLfToLf("a\r\nb\rc\n\r"), "a\nb\rc\n\r"); }

}  // namespace
}  // namespace quorlet3
