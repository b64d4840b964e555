// The contents listing: one output line per record, and the question asked before long listings.
#include <gtest/gtest.h>

#include <algorithm>

#include "encoding/Cp932Literal.h"
#include "logstore/Contents.h"
#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using namespace quorlet3::test;

struct ListingCase {
    const char* name;
    Lines lines;
    std::string listing;
};

class ContentsListingTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ContentsListingTest, ListsContentsWithoutMarkers) {
    EXPECT_EQ(ReportOf(LoadLines(GetParam().lines), "contents"), GetParam().listing);
}

INSTANTIATE_TEST_SUITE_P(
    Logs, ContentsListingTest,
    ::testing::Values(
        ListingCase{"OneOutputLinePerRecord",
                    Concat({MainRecord(41), {"not a record", ""}, PageRecord("ページ.html"_sj)}),
                    "41 Wednesday, 15-Jul-98 13:45:12 JST ppp12.example.ne.jp "
                    "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95) http://www.example.co.jp/links.html\r\n"
                    "\tページ.html    \tWednesday, 15-Jul-98 21:03:44 JST\r\n"_sj},
        ListingCase{"BrokenRecordsRunOn",
                    {"①1"_sj, "②t"_sj, "⑥a"_sj, "①2"_sj, "⑤r"_sj, "⑦u"_sj, "③h"_sj},
                    "1 t \ta    2 r\r\n\tu\r\nh "},
        ListingCase{"EmptyFile", {}, ""},
        ListingCase{"SentinelLineEndsTheListing", Concat({PageRecord("a"), {"FileEND"}, PageRecord("b")}),
                    "\ta    \tWednesday, 15-Jul-98 21:03:44 JST\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// The size question depends on the number of lines before the sentinel.
struct SizeCase {
    int lines;
    bool asked;
    std::string text;
    QuestionIcon icon;
    DefaultButton defaultButton;
};

std::string LongQuestion(int n) {
    return "これらのログは、"_sj + std::to_string(n) +
           " 行もあります。\n表示には非常に時間がかかり、表示できない可能性もあります。\n表示しますか？"_sj;
}
std::string SlowQuestion(int n) {
    return "これらのログは、"_sj + std::to_string(n) + " 行あります。\n表示に数秒～数十秒かかりますが表示しますか？"_sj;
}

class ContentsSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ContentsSizeTest, AsksBeforeLongListingsAndHonoursCancel) {
    const SizeCase& c = GetParam();
    const CQuorlet3Doc doc = LoadLines(Lines(static_cast<size_t>(c.lines), "③h"_sj));
    for (bool answer : {true, false}) {
        FakeQuestions box(answer);
        EXPECT_EQ(AskToListLongLog(&box, WalkLength(doc.Store())), answer || !c.asked);
        if (!c.asked) {
            EXPECT_TRUE(box.m_asked.empty());
            continue;
        }
        ASSERT_EQ(box.m_asked.size(), 1u);
        EXPECT_EQ(box.m_asked[0].text, c.text);
        EXPECT_EQ(box.m_asked[0].icon, c.icon);
        EXPECT_EQ(box.m_asked[0].defaultButton, c.defaultButton);
    }
    EXPECT_EQ(ReportOf(doc, "contents").size(), static_cast<size_t>(std::min(c.lines, kLineSlots)) * 2);
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, ContentsSizeTest,
    ::testing::Values(SizeCase{998, false, "", QuestionIcon::Default, DefaultButton::Ok},
                      SizeCase{999, false, "", QuestionIcon::Default, DefaultButton::Ok},
                      SizeCase{1000, true, SlowQuestion(1000), QuestionIcon::Default, DefaultButton::Ok},
                      SizeCase{3999, true, SlowQuestion(3999), QuestionIcon::Default, DefaultButton::Ok},
                      SizeCase{4000, true, LongQuestion(4000), QuestionIcon::Stop, DefaultButton::Cancel},
                      SizeCase{10000, true, LongQuestion(10000), QuestionIcon::Stop, DefaultButton::Cancel},
                      SizeCase{10001, true, LongQuestion(10000), QuestionIcon::Stop, DefaultButton::Cancel}),
    [](const auto& info) { return std::to_string(info.param.lines); });

TEST(Contents, BeforeAnyLoadAsksAboutTenThousandLinesAndListsNothing) {
    const CQuorlet3Doc doc;
    FakeQuestions box(true);
    EXPECT_TRUE(AskToListLongLog(&box, WalkLength(doc.Store())));
    EXPECT_EQ(ReportOf(doc, "contents"), "");
    ASSERT_EQ(box.m_asked.size(), 1u);
    EXPECT_EQ(box.m_asked[0].text, LongQuestion(10000));
}

TEST(Contents, WithoutAQuestionBoxLongListingsGoOn) { EXPECT_TRUE(AskToListLongLog(nullptr, 10000)); }

}  // namespace
}  // namespace quorlet3
