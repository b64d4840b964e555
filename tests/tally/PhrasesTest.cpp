// Search phrases: words decoded from UTF-8, EUC-JP and cp932, the charset a query names,
// the parameter each search site uses, the tally and its order, and merging in parts.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "encoding/Cp932.h"
#include "encoding/Cp932Literal.h"
#include "encoding/JapaneseText.h"
#include "logstore/LogLoader.h"
#include "tally/Phrases.h"
#include "tests/support/TestLog.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3 {
namespace {

// The UTF-8 text in another charset, by iconv (the text must be representable).
std::string Encode(const std::string& utf8, const char* charset) {
    iconv_t cd = iconv_open(charset, "UTF-8");
    std::string out(utf8.size() * 4, '\0');
    char* src = const_cast<char*>(utf8.data());
    size_t srcLeft = utf8.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    EXPECT_NE(rc, static_cast<size_t>(-1)) << utf8 << " in " << charset;
    out.resize(out.size() - dstLeft);
    return out;
}

// Every byte as %XX, as a browser sends a form's words.
std::string PercentEncoded(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += '%';
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

// Everyday words people searched for, kana, kanji and both, short and long.
const char* const kWords[] = {
    "日記",     "雑貨",   "天気",       "ラーメン", "東京",     "旅行",         "温泉",           "料理",
    "映画",     "音楽",   "求人",       "地図",     "占い",     "ゲーム",       "アニメ",         "野球",
    "猫",       "犬",     "写真",       "掲示板",   "無料",     "京都",         "大阪",           "北海道",
    "沖縄",     "新幹線", "時刻表",     "壁紙",     "パソコン", "ホームページ", "辞書",           "英語",
    "中古車",   "花火",   "桜",         "小説",     "漫画",     "競馬",         "株価",           "ニュース",
    "天気予報", "レシピ", "ダイエット", "美容院",   "ひらがな", "日本語 入力",  "ラーメン　東京", "結婚式",
    "お菓子",   "宿",
};

struct CharsetCase {
    const char* name;
    const char* iconvName;
};

class WordDecodingTest : public testing::TestWithParam<CharsetCase> {};

// Each word, sent in the charset, comes back as the word: found by detection alone, from
// the site's own parameter.
TEST_P(WordDecodingTest, EveryWordDecodesRight) {
    for (const char* word : kWords) {
        const std::string sent = Encode(word, GetParam().iconvName);
        const std::optional<DecodedText> decoded = DecodeLikeliestJapanese(sent);
        ASSERT_TRUE(decoded.has_value()) << word;
        EXPECT_EQ(FoldSpaces(decoded->utf8), FoldSpaces(word)) << word << " in " << GetParam().name;
        const std::string encoded = PercentEncoded(sent);
        EXPECT_EQ(SearchPhraseOf("http://search.yahoo.co.jp/bin/search?p=" + encoded), FoldSpaces(word)) << word;
        EXPECT_EQ(SearchPhraseOf("http://www.goo.ne.jp/default.asp?MT=" + encoded + "&SM=MC&DC=10"), FoldSpaces(word));
        EXPECT_EQ(SearchPhraseOf("http://www.google.co.jp/search?hl=ja&q=" + encoded), FoldSpaces(word));
        // Raw bytes as some old pages sent them, without escapes.
        if (std::string(GetParam().iconvName) == "CP932") {
            EXPECT_EQ(SearchPhraseOf("http://www.infoseek.co.jp/Titles?qt=" + sent + "&col=JW"), FoldSpaces(word));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Charsets, WordDecodingTest,
                         testing::Values(CharsetCase{"Utf8", "UTF-8"}, CharsetCase{"EucJp", "EUC-JP"},
                                         CharsetCase{"Cp932", "CP932"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct AddressCase {
    const char* name;
    std::string address;
    std::optional<std::string> phrase;  // UTF-8
};

class SearchPhraseTest : public testing::TestWithParam<AddressCase> {};

TEST_P(SearchPhraseTest, FindsAndDecodesTheWords) { EXPECT_EQ(SearchPhraseOf(GetParam().address), GetParam().phrase); }

INSTANTIATE_TEST_SUITE_P(
    Addresses, SearchPhraseTest,
    testing::Values(
        AddressCase{"SampleYahoo", "http://search.yahoo.co.jp/bin/search?p=%C6%FC%B5%AD", "日記"},
        AddressCase{"SampleGoo", "http://www.goo.ne.jp/default.asp?MT=%BB%A8%B2%DF&SM=MC&DC=10", "雑貨"},
        AddressCase{"SampleInfoseekRawCp932",
                    std::string("http://www.infoseek.co.jp/Titles?qt=") + "日記リンク"_sj + "&col=JW", "日記リンク"},
        AddressCase{"SampleExcite",
                    std::string("http://www.excite.co.jp/search.gw?search=") + "旅行温泉"_sj + "&lk=excite_jp",
                    "旅行温泉"},
        AddressCase{"GoogleNamesUtf8", "http://www.google.com/search?ie=UTF-8&oe=UTF-8&q=%E5%A4%A9%E6%B0%97", "天気"},
        AddressCase{"YahooNamesShiftJis", "http://search.yahoo.co.jp/search?p=%93%56%8B%43&ei=Shift_JIS", "天気"},
        // 猫 in EUC-JP reads as two half-width katakana in cp932: a named charset wins over detection.
        AddressCase{"NameWinsOverDetection", "http://search.yahoo.co.jp/search?p=%C7%AD&ei=Shift_JIS", "ﾇｭ"},
        AddressCase{"DetectionWithoutName", "http://search.yahoo.co.jp/search?p=%C7%AD", "猫"},
        AddressCase{"NamedEucJp", "http://search.biglobe.ne.jp/cgi-bin/search?q=%C5%EC%B5%FE&enc=euc-jp", "東京"},
        // A charset that does not decode the bytes is passed over for detection.
        AddressCase{"WrongNameFallsBack", "http://www.google.co.jp/search?q=%C5%EC%B5%FE&ie=UTF-8", "東京"},
        AddressCase{"OutputEncodingIsNotTheInput", "http://www.google.co.jp/search?q=%C5%EC%B5%FE&oe=Shift_JIS",
                    "東京"},
        AddressCase{"PlusIsSpaceAndRunsFold", "http://www.bing.com/search?q=+tokyo++ramen%E3%80%80%E3%80%80x+",
                    "tokyo ramen x"},
        AddressCase{"SiteParameterBeforeCommonOnes", "http://search.yahoo.co.jp/search?q=wrong&p=right", "right"},
        AddressCase{"OtherHostCommonName", "http://search.example.org/find?lang=ja&query=%E7%8C%AB", "猫"},
        AddressCase{"KeywordName", "http://www.fresheye.com/search?kw=%E7%8A%AC&ord=s", "犬"},
        AddressCase{"HostWithPortAndCapitals", "HTTP://WWW.Google.CO.JP:80/search?q=abc", "abc"},
        AddressCase{"NoWordsParameter", "http://www.yahoo.co.jp/search?fr=top&x=1", std::nullopt},
        AddressCase{"EmptyWords", "http://www.google.com/search?q=&ie=UTF-8", std::nullopt},
        AddressCase{"OnlySpaces", "http://www.google.com/search?q=+%E3%80%80+", std::nullopt},
        AddressCase{"NoQuery", "http://www.google.com/", std::nullopt},
        AddressCase{"FragmentCut", "http://www.google.com/search?q=cat#q=dog", "cat"},
        AddressCase{"BadEscapeStays", "http://www.google.com/search?q=100%25+%ZZ", "100% %ZZ"},
        AddressCase{"UndecodableBytesAsCp932WithReplacement", "http://www.google.com/search?q=%FF%FE", "\uFFFD\uFFFD"},
        AddressCase{"NotInCp932", "http://www.google.com/search?q=%ED%95%9C%EA%B5%AD", "한국"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CharsetOfNameTest, KnowsTheFormsWebFormsUse) {
    const struct {
        const char* name;
        std::optional<JapaneseCharset> charset;
    } kCases[] = {
        {"UTF-8", JapaneseCharset::Utf8},
        {"utf8", JapaneseCharset::Utf8},
        {"EUC-JP", JapaneseCharset::EucJp},
        {"euc_jp", JapaneseCharset::EucJp},
        {"x-euc-jp", JapaneseCharset::EucJp},
        {"Shift_JIS", JapaneseCharset::Cp932},
        {"SJIS", JapaneseCharset::Cp932},
        {"windows-31j", JapaneseCharset::Cp932},
        {"CP932", JapaneseCharset::Cp932},
        {"iso-2022-jp", std::nullopt},
        {"latin1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(CharsetOfName(c.name), c.charset) << c.name;
    }
}

TEST(JapaneseLikelihoodTest, KanaAndCommonKanjiOutscoreMisreadings) {
    EXPECT_GT(JapaneseLikelihood("ねこ"), JapaneseLikelihood("猫"));
    EXPECT_GT(JapaneseLikelihood("猫"), JapaneseLikelihood("ﾇｭ"));                  // 猫 in EUC-JP read as cp932
    EXPECT_GT(JapaneseLikelihood("雑貨"), JapaneseLikelihood("\xCE\x92\xCE\xB1"));  // Greek scores below zero
    EXPECT_LT(JapaneseLikelihood("a\x01"), 0);
    EXPECT_EQ(JapaneseLikelihood("abc 123"), 0);
    EXPECT_LT(JapaneseLikelihood("한"), 0);
}

// A referring line of the address.
std::string Referrer(const std::string& address) { return "⑤"_sj + address; }

TEST(PhrasesReportTest, TalliesMostFrequentFirstWithHostsInOrder) {
    const test::Lines lines = {
        Referrer("http://search.yahoo.co.jp/bin/search?p=%C6%FC%B5%AD"),
        Referrer("http://www.google.co.jp/search?q=%E6%97%A5%E8%A8%98&ie=UTF-8"),
        Referrer("http://www.goo.ne.jp/default.asp?MT=%BB%A8%B2%DF"),
        "②Wednesday, 15-Jul-98 13:45:12 JST"_sj,
        Referrer("http://www.yahoo.co.jp/"),
        Referrer("http://search.yahoo.co.jp/bin/search?p=%C6%FC%B5%AD"),
        Referrer("http://www.google.com/search?q=%E3%81%82"),           // あ
        Referrer("http://www.google.com/search?q=%E3%81%84"),           // い
        Referrer("http://www.google.com/search?q=%ED%95%9C"),           // 한, not in cp932
        Referrer("http://www.google.com/search?q=%E3%81%82%E3%80%80"),  // あ again, with a full-width space
        "①http://www.google.com/search?q=other-marker"_sj,
    };
    const CQuorlet3Doc doc = test::LoadLines(lines);
    const PhrasesResult result = ComputePhrases(doc.Store());
    EXPECT_EQ(result.total, 8);
    ASSERT_EQ(result.rows.size(), 5U);
    EXPECT_EQ(result.rows[0].phrase, "日記");
    EXPECT_EQ(result.rows[0].hosts, (std::vector<std::string>{"search.yahoo.co.jp", "www.google.co.jp"}));
    EXPECT_EQ(result.rows[2].cp932, std::optional<std::string>("い"_sj));
    EXPECT_FALSE(result.rows[4].cp932.has_value());
    EXPECT_EQ(FormatPhrasesText(result),
              "検索語句調査\t8 回\r\n\r\n"
              "3\t日記　（search.yahoo.co.jp www.google.co.jp）\r\n"
              "2\tあ　（www.google.com）\r\n"
              "1\tい　（www.google.com）\r\n"
              "1\t雑貨　（www.goo.ne.jp）\r\n"
              "1\t?　（www.google.com）\r\n"_sj);
}

TEST(PhrasesReportTest, TheSampleLogsQueries) {
    const std::string sample = std::string(QUORLET3_SOURCE_DIR) + "/samples/sample.log";
    const std::unique_ptr<LineStore> store = LoadLineStore(sample);
    EXPECT_EQ(FormatPhrasesText(ComputePhrases(*store)),
              "検索語句調査\t77 回\r\n\r\n"
              "25\t日記　（search.yahoo.co.jp）\r\n"
              "21\t雑貨　（www.goo.ne.jp）\r\n"
              "20\t日記リンク　（www.infoseek.co.jp）\r\n"
              "11\t旅行温泉　（www.excite.co.jp）\r\n"_sj);
}

// Read whole in tiny parts, a phrase's hosts keep the order in which they first sent it.
TEST(PhrasesReportTest, PartsMergeInFileOrder) {
    const char* const kHosts[] = {"http://www.google.co.jp/search?q=", "http://search.yahoo.co.jp/bin/search?p=",
                                  "http://www.bing.com/search?q=", "http://search.example.jp/find?word="};
    const char* const kWordsSent[] = {"%E6%97%A5%E8%A8%98", "%C6%FC%B5%AD", "%93%FA%8B%4C", "%E3%81%82"};
    test::Lines lines;
    for (int i = 0; i < 200; ++i) {
        lines.push_back(Referrer(std::string(kHosts[(i * 7 / 5) % 4]) + kWordsSent[(i * 3) % 4]));
        if (i % 9 == 0) {
            lines.push_back("⑦Wednesday, 15-Jul-98 13:45:12 JST"_sj);
        }
    }
    const test::TempDir dir;
    const std::string path = dir.WriteLines("log", lines);
    const std::string expected = FormatPhrasesText(ComputePhrases(test::LoadLines(lines).Store()));
    const PhrasesResult stored = ComputePhrases(test::LoadLines(lines).Store());
    for (const int jobs : {1, 2, 3}) {
        PartReadOptions parts;
        parts.jobs = jobs;
        parts.partBytes = 61;
        PlainAccumulator<PhrasesAccumulator> phrases{PhrasesAccumulator()};
        SlotAccumulator* const one[] = {&phrases};
        const PhrasesResult whole = phrases.Accumulator().Finish(RunOverWholeLog(path, one, parts));
        EXPECT_EQ(FormatPhrasesText(whole), expected) << jobs;
        ASSERT_EQ(whole.rows.size(), stored.rows.size());
        for (size_t r = 0; r < whole.rows.size(); ++r) {
            EXPECT_EQ(whole.rows[r].hosts, stored.rows[r].hosts) << r;
        }
    }
}

}  // namespace
}  // namespace quorlet3
