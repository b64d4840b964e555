// The reading rules: byte slices, the walk, the time-stamp tail and the guest-number value.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "encoding/Cp932Literal.h"
#include "logstore/ReadingRules.h"

namespace quorlet3 {
namespace {

TEST(ByteSlices, CountBytesAndClampToTheLine) {
    EXPECT_EQ(Left("ab", 5), "ab");
    EXPECT_EQ(Right("①abc"_sj, 3), "abc");
    EXPECT_EQ(Right("ab", 5), "ab");
    EXPECT_EQ(Mid("①abc"_sj, 2), "abc");
    EXPECT_EQ(Mid("①"_sj, 2), "");
    EXPECT_EQ(Mid("a", 2), "");
    EXPECT_FALSE(HasMarker("\x87", kMarker1));  // half a marker
    EXPECT_FALSE(HasMarker(" ①1"_sj, kMarker1));
}

TEST(Walk, EndsAtTheFirstSentinelAmongTheLineSlots) {
    LineStore store;
    EXPECT_EQ(WalkLength(store), 10000);
    store.m_strEndSlot = kSentinel;
    EXPECT_EQ(WalkLength(store), 10000);
    store[7] = "FileEND ";
    store[9] = kSentinel;
    store[3] = kSentinel;
    EXPECT_EQ(WalkLength(store), 3);
    store[0] = kSentinel;
    EXPECT_EQ(WalkLength(store), 0);
}

struct GuestCase {
    const char* name;
    std::string line;
    long long value;
};

class GuestNumberTest : public ::testing::TestWithParam<GuestCase> {};

TEST_P(GuestNumberTest, ReadsUpToEighteenAsciiDigits) {
    EXPECT_EQ(GuestNumberValue(GetParam().line), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GuestNumberTest,
    ::testing::Values(GuestCase{"OneDigit", "①7"_sj, 7}, GuestCase{"LeadingZeros", "①00123"_sj, 123},
                      GuestCase{"FiveDigits", "①99999"_sj, 99999}, GuestCase{"SixDigits", "①100000"_sj, 100000},
                      GuestCase{"EighteenDigits", "①999999999999999999"_sj, 999999999999999999LL},
                      GuestCase{"NineteenDigitsAreUnreadable", "①1000000000000000000"_sj, 0},
                      GuestCase{"TrailingCr", "①2002\r"_sj, 2002}, GuestCase{"TrailingCrs", "①100001\r\r"_sj, 100001},
                      GuestCase{"OnlyCr", "①\r"_sj, 0}, GuestCase{"CrInside", "①12\r3"_sj, 0},
                      GuestCase{"Nothing", "①"_sj, 0}, GuestCase{"Letter", "①12a"_sj, 0},
                      GuestCase{"FullWidthDigits", "①１２３"_sj, 0},
                      GuestCase{"HighByte", "①"_sj + std::string("\x80"), 0}, GuestCase{"LeadingSpace", "① 5"_sj, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct TailCase {
    const char* name;
    const char* line;
    bool comma;
    int hour;
    int day;
};

class TailLayoutTest : public ::testing::TestWithParam<TailCase> {};

TEST_P(TailLayoutTest, ReadsHourAndDayFromTheEnd) {
    EXPECT_EQ(HasDayComma(GetParam().line), GetParam().comma);
    EXPECT_EQ(HourOf(GetParam().line), GetParam().hour);
    EXPECT_EQ(DayOf(GetParam().line), GetParam().day);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TailLayoutTest,
    ::testing::Values(TailCase{"TwoDigitYear", "②Wednesday, 15-Jul-98 13:45:12 JST"_sj, false, 13, 15},
                      TailCase{"FourDigitYear", "②Wednesday, 15-Jul-1998 13:45:12 JST"_sj, true, 13, 15},
                      TailCase{"PageLine", "⑦Thursday, 02-Jul-98 09:05:00 JST"_sj, false, 9, 2},
                      TailCase{"CommaDecidesNotTheYear", "②ab,xcd15-Jul-98 13:45:12 JST"_sj, true, 13, 562},
                      TailCase{"MarkerOnly", "②"_sj, false, -1673, -1673},
                      TailCase{"ShortPageLine", "⑦short"_sj, false, -1668, -1668},
                      TailCase{"HourWithLeadingSpace", "②Wednesday, 15-Jul-98  9:45:12 JST"_sj, false, -151, 15},
                      TailCase{"DayWithLeadingSpace", "②Wednesday,  5-Jul-1998 13:45:12 JST"_sj, true, 13, -155},
                      TailCase{"FullWidthHour", "②Wednesday, 15-Jul-98 １:45:12 JST"_sj, false, -1708, 15}),
    [](const auto& info) { return std::string(info.param.name); });

struct DateCase {
    const char* name;
    std::string line;
    std::optional<CivilDate> date;  // nothing: undated
};

class DateOfTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateOfTest, ReadsTheDateAtTheDayField) { EXPECT_EQ(DateOf(GetParam().line), GetParam().date); }

// A main-page time stamp ending in the date text and " 13:45:12 JST".
std::string Stamped(std::string_view date) { return "②Wednesday, "_sj + std::string(date) + " 13:45:12 JST"; }

INSTANTIATE_TEST_SUITE_P(
    Lines, DateOfTest,
    ::testing::Values(DateCase{"TwoDigitYear", Stamped("15-Jul-98"), CivilDate{1998, 7, 15}},
                      DateCase{"FourDigitYear", Stamped("15-Jul-1998"), CivilDate{1998, 7, 15}},
                      DateCase{"PageLine", "⑦Thursday, 02-Jul-98 09:05:00 JST"_sj, CivilDate{1998, 7, 2}},
                      DateCase{"SeventyIsNineteenSeventy", Stamped("01-Jan-70"), CivilDate{1970, 1, 1}},
                      DateCase{"NinetyNine", Stamped("31-Dec-99"), CivilDate{1999, 12, 31}},
                      DateCase{"ZeroZeroIsTwoThousand", Stamped("01-Jan-00"), CivilDate{2000, 1, 1}},
                      DateCase{"SixtyNineIsTwentySixtyNine", Stamped("31-Dec-69"), CivilDate{2069, 12, 31}},
                      DateCase{"FourDigitNineteenHundredAndOne", Stamped("01-Jan-1901"), CivilDate{1901, 1, 1}},
                      DateCase{"FourDigitTwoThousandAndTwelve", Stamped("29-Feb-2012"), CivilDate{2012, 2, 29}},
                      DateCase{"LeapDayTwoThousand", Stamped("29-Feb-00"), CivilDate{2000, 2, 29}},
                      DateCase{"LeapDayTwoThousandFourDigits", Stamped("29-Feb-2000"), CivilDate{2000, 2, 29}},
                      DateCase{"NoLeapDayNineteenHundred", Stamped("29-Feb-1900"), std::nullopt},
                      DateCase{"NoLeapDayNinetyNine", Stamped("29-Feb-99"), std::nullopt},
                      DateCase{"NoLeapDayNineteenNinetyNine", Stamped("29-Feb-1999"), std::nullopt},
                      DateCase{"LeapDayNinetySix", Stamped("29-Feb-96"), CivilDate{1996, 2, 29}},
                      DateCase{"ThirtyFirstOfFebruary", Stamped("31-Feb-98"), std::nullopt},
                      DateCase{"ThirtyFirstOfApril", Stamped("31-Apr-98"), std::nullopt},
                      DateCase{"ThirtyFirstOfDecember", Stamped("31-Dec-1998"), CivilDate{1998, 12, 31}},
                      DateCase{"DayZero", Stamped("00-Jul-98"), std::nullopt},
                      DateCase{"DayThirtyTwo", Stamped("32-Jul-98"), std::nullopt},
                      DateCase{"MonthInCapitals", Stamped("15-JUL-98"), std::nullopt},
                      DateCase{"MonthInSmallLetters", Stamped("15-jul-98"), std::nullopt},
                      DateCase{"MonthAsDigits", Stamped("15-007-98"), std::nullopt},
                      DateCase{"SpaceForLeadingZero", Stamped(" 5-Jul-98"), std::nullopt},
                      DateCase{"LetterInYear", Stamped("15-Jul-9x"), std::nullopt},
                      DateCase{"LetterInFourDigitYear", Stamped("15-Jul-19x8"), std::nullopt},
                      DateCase{"SlashSeparators", Stamped("15/Jul/98"), std::nullopt},
                      DateCase{"ColonInDay", "②Wednesday, 1:-Jul-98 13:45:12 JST"_sj, std::nullopt},
                      DateCase{"OtherWordingSameTail", "⑦15-Jul-98 13:45:12 JST"_sj, CivilDate{1998, 7, 15}},
                      DateCase{"MarkerOnly", "②"_sj, std::nullopt}, DateCase{"Empty", "", std::nullopt},
                      DateCase{"ShortLine", "②15-Jul-98"_sj, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CivilDateTest, DayNumbersAndWeekdaysFollowTheCalendar) {
    struct {
        CivilDate date;
        int dayNumber;
        int weekday;  // Sunday 0
    } const kCases[] = {
        {{1970, 1, 1}, 0, 4},       {{1969, 12, 31}, -1, 3},   {{1998, 7, 15}, 10422, 3},
        {{1999, 12, 31}, 10956, 5}, {{2000, 1, 1}, 10957, 6},  {{2000, 2, 29}, 11016, 2},
        {{2000, 3, 1}, 11017, 3},   {{1900, 3, 1}, -25508, 4}, {{2069, 12, 31}, 36524, 2},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(c.date.DayNumber(), c.dayNumber) << c.date.year << "-" << c.date.month << "-" << c.date.day;
        EXPECT_EQ(c.date.Weekday(), c.weekday) << c.dayNumber;
        EXPECT_EQ(CivilDate::FromDayNumber(c.dayNumber), c.date) << c.dayNumber;
    }
    // Every day of two centuries comes back from its number, one weekday after the one before.
    for (int n = CivilDate{1900, 1, 1}.DayNumber(); n < CivilDate{2100, 1, 1}.DayNumber(); ++n) {
        const CivilDate date = CivilDate::FromDayNumber(n);
        ASSERT_TRUE(IsValidDate(date.year, date.month, date.day)) << n;
        ASSERT_EQ(date.DayNumber(), n);
        ASSERT_EQ(CivilDate::FromDayNumber(n + 1).Weekday(), (date.Weekday() + 1) % 7) << n;
    }
}

}  // namespace
}  // namespace quorlet3
