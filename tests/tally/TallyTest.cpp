// Tally reports: the cp932 order, links and browsers, hosts, keywords and viewed pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "encoding/Cp932Literal.h"
#include "encoding/MultibyteOrder.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::LoadBytes;
using test::LoadLines;
using test::ReportOf;

int Sign(int v) { return (v > 0) - (v < 0); }

struct OrderCase {
    std::string a;
    std::string b;
    int sign;  // of CompareMultibyte(a, b)
};

class MultibyteOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(MultibyteOrderTest, ComparesCharacterByCharacter) {
    const OrderCase& c = GetParam();
    EXPECT_EQ(Sign(CompareMultibyte(c.a, c.b)), c.sign);
    EXPECT_EQ(Sign(CompareMultibyte(c.b, c.a)), -c.sign);
}

INSTANTIATE_TEST_SUITE_P(
    Cp932, MultibyteOrderTest,
    testing::Values(OrderCase{"abc", "abc", 0}, OrderCase{"", "", 0}, OrderCase{"A", "a", -1}, OrderCase{"9", "A", -1},
                    OrderCase{"ab", "abc", -1}, OrderCase{"", "a", -1}, OrderCase{"zzzz", "{", -1},
                    OrderCase{"~", "\x7f", -1},
                    // Every double-byte character after every single byte, half-width katakana
                    // included, although its lead byte is smaller than the katakana byte.
                    OrderCase{"ｱ"_sj, "あ"_sj, -1}, OrderCase{"\xDF", "\x81\x40", -1}, OrderCase{"ｱ"_sj, "日本"_sj, -1},
                    OrderCase{"\xE0\x40", "\x9F\xFC", 1}, OrderCase{"a日本"_sj, "abc", 1},
                    // A lead byte pairs with whatever follows; at the end it stands alone.
                    OrderCase{"\x81\x20", "\xA1", 1}, OrderCase{"\x81", "\xA1", -1}, OrderCase{"\x81", "\x81", 0},
                    OrderCase{"\x81", "\x81\x40", -1}, OrderCase{"\x81", "\x80", 1},
                    OrderCase{"\x81\x81\x40", "\x81\x81\x41", -1}, OrderCase{"\x82\xA0x", "\x82\xA0", 1}),
    [](const auto& info) { return test::CaseName(info.param.a) + "_vs_" + test::CaseName(info.param.b); });

TEST(FindMultibyteTest, SkipsTrailBytes) {
    EXPECT_EQ(FindMultibyte("a?b?", '?'), 1u);
    EXPECT_EQ(FindMultibyte("\x81?", '?'), std::string_view::npos);
    EXPECT_EQ(FindMultibyte("\x81?a?", '?'), 3u);
    EXPECT_EQ(FindMultibyte("\x81\x81?", '?'), 2u);
    EXPECT_EQ(FindMultibyte("ab\x81", '?'), std::string_view::npos);
}

TEST(ReportTallyTest, LinkSurveyExample) {
    const CQuorlet3Doc doc =
        LoadLines({"⑤b.html"_sj, "④a.html"_sj, "⑤a.html"_sj, "⑥a.html"_sj, "⑤b.html"_sj, "⑤"_sj, "c.html"});
    EXPECT_EQ(ReportOf(doc, "links"),
              "Ｌｉｎｋ調査 \t4 回\r\n\r\n無名  1 個です。\r\n\r\n1\ta.html\r\n2\tb.html\r\n"_sj);
    EXPECT_EQ(ReportOf(doc, "browsers"), "ブラウザ調査 \t1 回\r\n\r\n無名  0 個です。\r\n\r\n1\ta.html\r\n"_sj);
}

TEST(ReportTallyTest, ListsEveryValueInMultibyteOrder) {
    const CQuorlet3Doc doc = LoadLines({"④日本"_sj, "④zzzz"_sj, "④abc"_sj, "④ｱ"_sj, "④Abc"_sj, "④{x"_sj, "④zzz"_sj,
                                        "④a日本"_sj, "④zzzzz"_sj, "④abc"_sj, "④~"_sj});
    EXPECT_EQ(ReportOf(doc, "browsers"),
              "ブラウザ調査 \t11 回\r\n\r\n無名  0 個です。\r\n\r\n1\tAbc\r\n2\tabc\r\n1\ta日本\r\n1\tzzz\r\n"_sj
              "1\tzzzz\r\n1\tzzzzz\r\n1\t{x\r\n1\t~\r\n1\tｱ\r\n1\t日本\r\n"_sj);
}

// Lines "⑤vNNN" for the given numbers, in that order. The format takes the number.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
std::vector<std::string> NumberedLines(const char* format, int first, int last, int step = 1) {
    std::vector<std::string> lines;
    char text[64];
    for (int n = first; step > 0 ? n <= last : n >= last; n += step) {
        std::snprintf(text, sizeof text, format, n);
        lines.push_back(text);
    }
    return lines;
}
#pragma GCC diagnostic pop

int CountOf(std::string_view text, std::string_view part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(ReportTallyTest, ThreeHundredSlotsThenDrops) {
    std::vector<std::string> lines = NumberedLines("⑤v%03d"_sj, 300, 0, -1);  // 301 values, v000 last
    lines.push_back("⑤v300"_sj);                                              // still counted in its slot
    const std::string text = ReportOf(LoadLines(lines), "links");
    EXPECT_TRUE(text.starts_with("Ｌｉｎｋ調査 \t302 回\r\n"_sj)) << text.substr(0, 40);
    EXPECT_EQ(CountOf(text, "\r\n") - 4, 300);
    EXPECT_EQ(text.find("\tv000\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n1\tv001\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n2\tv300\r\n"));
}

TEST(ReportHostsTest, SectionsUnderEveryBanner) {
    const CQuorlet3Doc doc =
        LoadLines({"③www.example.co.jp"_sj, "③dial7.example.ne.jp"_sj, "③192.0.2.7"_sj, "③"_sj, "③www.example.co.jp"_sj,
                   "③WWW.EXAMPLE.CO.JP"_sj, "③a.jp"_sj, "③lab.univac.jp"_sj, "③b.example.or.jp"_sj, "③x.ad.jp"_sj,
                   "③日本.example"_sj, "③ｱ.example"_sj, "③a.example.co.jp"_sj, "④x.co.jp"_sj});
    EXPECT_EQ(ReportOf(doc, "hosts"),
              "ホスト調査\t13 回\r\n\r\n無名　1　個です。\r\n\r\n"_sj
              "\t\t----------  ac.jp  ----------\r\nlab.univac.jp\r\n"
              "\t\t----------  co.jp  ----------\r\na.example.co.jp\r\nwww.example.co.jp\r\nwww.example.co.jp\r\n"
              "\t\t----------  or.jp  ----------\r\nb.example.or.jp\r\n"
              "\t\t----------  ad.jp  ----------\r\nx.ad.jp\r\n"
              "\t\t----------  ne.jp  ----------\r\ndial7.example.ne.jp\r\n"
              "\t\t----------  other  ----------\r\n192.0.2.7\r\nWWW.EXAMPLE.CO.JP\r\na.jp\r\nｱ.example\r\n"_sj
              "日本.example\r\n"_sj);
}

TEST(ReportHostsTest, KeepsEveryHostOfAFullStore) {
    // 10000 lines: 2500 distinct hosts, in descending order, and nothing else.
    std::vector<std::string> lines = NumberedLines("③h%04d.ne.jp"_sj, 2499, 0, -1);
    lines.resize(10000, "⑥p"_sj);
    const std::string text = ReportOf(LoadLines(lines), "hosts");
    std::string expected = "ホスト調査\t2500 回\r\n\r\n無名　0　個です。\r\n\r\n"_sj;
    for (const char* k : {"ac.jp", "co.jp", "or.jp", "ad.jp"}) {
        expected += std::string("\t\t----------  ") + k + "  ----------\r\n";
    }
    expected += "\t\t----------  ne.jp  ----------\r\n";
    for (const std::string& line : NumberedLines("h%04d.ne.jp", 0, 2499)) {
        expected += line + "\r\n";
    }
    EXPECT_EQ(text, expected + "\t\t----------  other  ----------\r\n");
}

TEST(ReportKeywordsTest, QueryPartsOfReferringLines) {
    // The loader removes the spaces of referring lines, which can bring a "?" right after a lead byte.
    const CQuorlet3Doc doc = LoadBytes(
        "⑤http://s.example/find?q=a b?c\r\n⑤http://x.example/?\r\n⑤http://x.example/\r\n③h?x\r\n"_sj
        "⑤/s?k=1\r\n⑤/s?k=1\r\n⑤/"_sj +
        std::string("\x81 ?k=2\r\n") + "⑤/"_sj + "\x81 ?k=2?k=3\r\n" + "⑤/"_sj + "\x81\x81?k=4\r\n" +
        "⑥p?x\r\n⑤/s?k=1\r\n"_sj);
    EXPECT_EQ(ReportOf(doc, "keywords"),
              "キーワード調査\r\n\r\n?q=ab?c\r\n?\r\n?k=1\r\n?k=1\r\n?k=3\r\n?k=4\r\n?k=1\r\n"_sj);
}

TEST(ReportPagesTest, NameOrderAndRanking) {
    const CQuorlet3Doc doc = LoadLines({"⑥c.html"_sj, "⑥a.html"_sj, "⑥b.html"_sj, "⑥c.html"_sj, "⑥"_sj, "⑤a.html"_sj,
                                        "⑥a.html"_sj, "⑥c.html"_sj, "⑥a.html"_sj});
    const std::string head = "見たページ\t合計 8 ページ\r\n\r\n"_sj;
    const std::string a = "3\ta.html    \t+++\r\n", b = "1\tb.html    \t+\r\n", c = "3\tc.html    \t+++\r\n";
    EXPECT_EQ(ReportOf(doc, "pages name"), head + a + b + c);
    EXPECT_EQ(ReportOf(doc, "pages ranking"), head + a + c + b);
}

TEST(ReportPagesTest, CaseDifferencesAreSeparatePagesAndCapitalsWinTies) {
    const CQuorlet3Doc doc =
        LoadLines({"⑥日本"_sj, "⑥b"_sj, "⑥a"_sj, "⑥A"_sj, "⑥a"_sj, "⑥A"_sj, "⑥日本"_sj, "⑥zzzz"_sj});
    const std::string head = "見たページ\t合計 8 ページ\r\n\r\n"_sj;
    const std::string A = "2\tA    \t++\r\n", a = "2\ta    \t++\r\n", j = "2\t日本    \t++\r\n"_sj;
    const std::string b = "1\tb    \t+\r\n", z = "1\tzzzz    \t+\r\n";
    EXPECT_EQ(ReportOf(doc, "pages name"), head + A + a + b + z + j);
    EXPECT_EQ(ReportOf(doc, "pages ranking"), head + A + a + j + b + z);
}

TEST(ReportPagesTest, ThreeHundredPagesThenDrops) {
    std::vector<std::string> lines = NumberedLines("⑥p%03d"_sj, 300, 0, -1);
    const std::string text = ReportOf(LoadLines(lines), "pages ranking");
    EXPECT_TRUE(text.starts_with("見たページ\t合計 301 ページ\r\n\r\n1\tp001    \t+\r\n"_sj));
    EXPECT_EQ(CountOf(text, "\r\n"), 302);
    EXPECT_EQ(text.find("p000"), std::string::npos);
}

TEST(TallyReportsTest, EmptyStoreIsWalkedToItsEnd) {
    const CQuorlet3Doc doc;
    EXPECT_EQ(ReportOf(doc, "links"), "Ｌｉｎｋ調査 \t0 回\r\n\r\n無名  0 個です。\r\n\r\n"_sj);
    EXPECT_EQ(ReportOf(doc, "browsers"), "ブラウザ調査 \t0 回\r\n\r\n無名  0 個です。\r\n\r\n"_sj);
    EXPECT_EQ(ReportOf(doc, "keywords"), "キーワード調査\r\n\r\n"_sj);
    EXPECT_EQ(ReportOf(doc, "pages name"), "見たページ\t合計 0 ページ\r\n\r\n"_sj);
    EXPECT_EQ(ReportOf(doc, "pages ranking"), "見たページ\t合計 0 ページ\r\n\r\n"_sj);
    const std::string hosts = ReportOf(doc, "hosts");
    EXPECT_TRUE(hosts.starts_with("ホスト調査\t0 回\r\n\r\n無名　0　個です。\r\n\r\n\t\t----------  ac.jp"_sj));
    EXPECT_TRUE(hosts.ends_with("ne.jp  ----------\r\n\t\t----------  other  ----------\r\n"));
}

TEST(TallyReportsTest, WalkStopsAtTheFirstSentinelOrAfterTheLastSlot) {
    std::vector<std::string> lines(9999, "⑥a"_sj);
    lines.push_back("⑥b"_sj);      // slot 9999, the last one walked
    lines.push_back("⑥never"_sj);  // line 10001 is not read
    const CQuorlet3Doc full = LoadLines(lines);
    EXPECT_EQ(ReportOf(full, "pages name"),
              "見たページ\t合計 10000 ページ\r\n\r\n9999\ta    \t"_sj + std::string(9999, '+') + "\r\n1\tb    \t+\r\n");
    const CQuorlet3Doc cut = LoadLines({"⑤a"_sj, "③h"_sj, "⑥p"_sj, "FileEND", "⑤b"_sj, "③i"_sj, "⑥q"_sj, "⑤?x"_sj});
    EXPECT_EQ(ReportOf(cut, "links"), "Ｌｉｎｋ調査 \t1 回\r\n\r\n無名  0 個です。\r\n\r\n1\ta\r\n"_sj);
    EXPECT_TRUE(ReportOf(cut, "hosts").starts_with("ホスト調査\t1 回"_sj));
    EXPECT_EQ(ReportOf(cut, "pages name"), "見たページ\t合計 1 ページ\r\n\r\n1\tp    \t+\r\n"_sj);
    EXPECT_EQ(ReportOf(cut, "keywords"), "キーワード調査\r\n\r\n"_sj);
}

}  // namespace
}  // namespace quorlet3
