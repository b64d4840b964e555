// The reading rules: byte slices, the walk, the time-stamp tail and the guest-number value.
#include <gtest/gtest.h>

#include <string>

#include "logstore/ReadingRules.h"
#include "platform/Cp932Literal.h"

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
    int value;
};

class GuestNumberTest : public ::testing::TestWithParam<GuestCase> {};

TEST_P(GuestNumberTest, ReadsOneToFiveBytesAsDigits) { EXPECT_EQ(GuestNumberValue(GetParam().line), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(Values, GuestNumberTest,
                         ::testing::Values(GuestCase{"Plain", "①123"_sj, 123},
                                           GuestCase{"LeadingZeros", "①00123"_sj, 123},
                                           GuestCase{"Largest", "①99999"_sj, 99999}, GuestCase{"OneDigit", "①7"_sj, 7},
                                           GuestCase{"SixDigits", "①123456"_sj, 0}, GuestCase{"Nothing", "①"_sj, 0},
                                           GuestCase{"LetterCountsAsItsCode", "①12a"_sj, 169},
                                           GuestCase{"FullWidthDigitsAreSixBytes", "①１２３"_sj, 0},
                                           GuestCase{"SignedBytesInFiveBytes", "①１２a"_sj, -1725021},
                                           GuestCase{"HighByteIsNegative", "①"_sj + std::string("\x80"), -176},
                                           GuestCase{"LeadingSpace", "① 5"_sj, -155}),
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

}  // namespace
}  // namespace quorlet3
