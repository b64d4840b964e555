// cp932 to UTF-8 and back, as the command-line tool and the window show report text, and
// the cp932 texts the build makes from UTF-8 source.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "encoding/Cp932.h"
#include "encoding/Cp932Literal.h"
#include "logstore/ReportText.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using namespace std::string_literals;

using test::U8;

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
    ::testing::Values(
        DecodeCase{"Empty", "", u8""}, DecodeCase{"Report", "ファイル検査\r\n"_sj, u8"ファイル検査\r\n"},
        DecodeCase{"MarkersAndWaveDash", "①～⑦"_sj, u8"①～⑦"}, DecodeCase{"BackslashAndTildeStayAscii", "\\~", u8"\\~"},
        DecodeCase{"HalfWidthKana", "ﾌｧｲﾙ"_sj, u8"ﾌｧｲﾙ"}, DecodeCase{"WindowsSigns", "＼－￢∥"_sj, u8"＼－￢∥"},
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
        DecodeCase{"LongTextWithInvalidBytesThroughout", Repeat("a", 20000) + "\x80" + Repeat("あ"_sj, 10000) + "\xA0",
                   Repeat(u8"a", 20000) + u8"\uFFFD" + Repeat(u8"あ", 10000) + u8"\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Encode, Utf8ToCp932) {
    EXPECT_EQ(EncodeUtf8ToCp932(U8(u8"ページ～①.html")), "ページ～①.html"_sj);
    EXPECT_EQ(EncodeUtf8ToCp932(""), "");
    EXPECT_EQ(EncodeUtf8ToCp932("\xFF"), std::nullopt);                  // not UTF-8
    EXPECT_EQ(EncodeUtf8ToCp932(U8(u8"page\U0001F600")), std::nullopt);  // not in cp932
}

// The table behind "..."_sj holds exactly the characters iconv encodes, with iconv's bytes.
TEST(Cp932Literal, TableIsWhatIconvEncodes) {
    const auto table = std::span(cp932::kEncodeTable);
    for (char32_t codePoint = 0x80; codePoint <= 0xFFFF; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            continue;
        }
        std::u8string utf8;
        if (codePoint < 0x800) {
            utf8 = {char8_t(0xC0 | codePoint >> 6), char8_t(0x80 | (codePoint & 0x3F))};
        } else {
            utf8 = {char8_t(0xE0 | codePoint >> 12), char8_t(0x80 | (codePoint >> 6 & 0x3F)),
                    char8_t(0x80 | (codePoint & 0x3F))};
        }
        const std::optional<std::string> expected = EncodeUtf8ToCp932(U8(utf8));
        const auto entry = std::lower_bound(table.begin(), table.end(), static_cast<unsigned>(codePoint) << 16);
        std::optional<std::string> listed;
        if (entry != table.end() && *entry >> 16 == codePoint) {
            const unsigned code = *entry & 0xFFFF;
            listed = code > 0xFF ? std::string{char(code >> 8), char(code & 0xFF)} : std::string(1, char(code));
        }
        ASSERT_EQ(listed, expected) << "U+" << std::hex << static_cast<unsigned>(codePoint);
    }
}

TEST(Cp932Literal, ConvertsToStaticCp932Bytes) {
    static_assert(sizeof("表ソ"_sj) == 5, "two double-byte characters and the NUL");
    // Trail bytes 0x5C and 0x7C are bytes like any other; ASCII '\\', '~' and '|' stay.
    EXPECT_EQ(std::string_view("表ソ－\\~|ｱ―"_sj), "\x95\x5C\x83\x5C\x81\x7C\\~|\xB1\x81\x5C");
    EXPECT_EQ(std::string("a\0①"_sj, sizeof("a\0①"_sj) - 1), std::string("a\0\x87\x40", 4));
    std::string out = "x";
    AppendFormat(out, "%d行目　%s%.*s%%"_sjf, 12, "\x95\x5C", 2, "abc");
    EXPECT_EQ(out,
              "x12\x8D\x73\x96\xDA\x81\x40\x95\x5C"
              "ab%");
}

// The compile-time check of an _sjf format: the argument kinds its conversions take.
struct FormatCase {
    const char* format;
    std::vector<cp932::ArgKind> kinds;
    bool valid;
};

TEST(Cp932Literal, FormatCheckReadsConversions) {
    using enum cp932::ArgKind;
    static_assert(cp932::KindOf<const char*>() == CharPointer && cp932::KindOf<unsigned short>() == Int &&
                  cp932::KindOf<std::size_t>() == Other && cp932::KindOf<std::string>() == Other &&
                  cp932::KindOf<const int*>() == Other && cp932::KindOf<double>() == Other);
    const FormatCase cases[] = {
        {"%d行目 %d%%", {Int, Int}, true},
        {"%.*s|%s", {Int, CharPointer, CharPointer}, true},
        {"%d/%02d", {Int, Int}, true},
        {"%03d", {}, false},
        {"%5d", {}, false},
        {"%x", {}, false},
        {"%ld", {}, false},
        {"%c", {}, false},
        {"%.2s", {}, false},
        {"%f", {}, false},
        {"%n", {}, false},
        {"50%", {}, false},
    };
    for (const FormatCase& c : cases) {
        const cp932::FormatArgs args = cp932::ParseFormat(c.format, std::strlen(c.format));
        EXPECT_EQ(args.valid, c.valid) << c.format;
        if (c.valid) {
            EXPECT_EQ(std::vector<cp932::ArgKind>(args.kinds, args.kinds + args.count), c.kinds) << c.format;
        }
    }
}

TEST(LineEnds, OnlyCrLfPairsBecomeLineFeeds) { EXPECT_EQ(CrLfToLf("a\r\nb\rc\n\r"), "a\nb\rc\n\r"); }

}  // namespace
}  // namespace quorlet3
