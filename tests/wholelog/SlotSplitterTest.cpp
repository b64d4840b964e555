// The slot splitter against the loader: every input must give the loader's slots, byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "encoding/Cp932Literal.h"
#include "logstore/LogLoader.h"
#include "tests/support/TestLog.h"
#include "tests/wholelog/SplitTexts.h"
#include "wholelog/SlotSplitter.h"

namespace quorlet3 {
namespace {

using namespace std::string_literals;
using test::Slots;
using test::Split;

// The slots the loader stores: those before the sentinel it writes after the last one.
Slots Loaded(std::string_view bytes, LineStore& store) {
    LoadLineStoreFromBytes(bytes, store);
    int count = kLineSlots;
    while (count > 0 && store[count] != kSentinel) {
        --count;
    }
    return Slots(store.m_strLine.begin(), store.m_strLine.begin() + count);
}

void ExpectAgreesWithLoader(std::string_view bytes, LineStore& store) {
    const Slots expected = Loaded(bytes, store);
    EXPECT_EQ(Split(bytes), expected);
    EXPECT_EQ(FirstSlotText(bytes), expected.empty() ? std::string() : expected.front());
}

struct SplitCase {
    const char* name;
    std::string bytes;
};

class SplitSlotsTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitSlotsTest, GivesTheLoadersSlots) {
    auto store = std::make_unique<LineStore>();
    ExpectAgreesWithLoader(GetParam().bytes, *store);
}

std::string X(size_t n) { return std::string(n, 'x'); }
const std::string kFifth = "⑤"_sj;

INSTANTIATE_TEST_SUITE_P(
    Hostile, SplitSlotsTest,
    ::testing::Values(
        SplitCase{"Empty", ""}, SplitCase{"OnlyLf", "\n"}, SplitCase{"OnlyCrLf", "\r\n"}, SplitCase{"OnlyCr", "\r"},
        SplitCase{"EmptyLines", "\n\r\n\n\r\n"}, SplitCase{"NoFinalLf", "a\r\nb"},
        SplitCase{"LoneCrs", "a\rb\r\r\nc\r\rd\n\r"}, SplitCase{"CrAtEndOfFile", "a\r\nb\r"},
        SplitCase{"NulAnywhere", "\0a\nb\0\r\nc\0\0d\n\0\n\0"s}, SplitCase{"NulBeforeCrLf", "ab\0\r\ncd"s},
        SplitCase{"Line998", X(998) + "\nz"}, SplitCase{"Line998CrLf", X(998) + "\r\nz"},
        SplitCase{"Line999", X(999) + "\nz"}, SplitCase{"Line999CrLf", X(999) + "\r\nz"},
        SplitCase{"Line999AtEnd", X(999)}, SplitCase{"Line1000", X(1000) + "\nz"},
        SplitCase{"Line1000CrLf", X(1000) + "\r\nz"}, SplitCase{"Line1998", X(1998) + "\nz"},
        SplitCase{"Line1998CrLf", X(1998) + "\r\nz"}, SplitCase{"Line1998AtEnd", X(1998)},
        SplitCase{"CrLfStraddlesLimit", X(998) + "\r\n" + X(5) + "\n"},
        SplitCase{"LoneCrAtLimit", X(998) + "\r" + X(5) + "\n"}, SplitCase{"LoneCrAfterLimit", X(999) + "\r" + X(5)},
        SplitCase{"CrCrLfAtLimit", X(997) + "\r\r\n"}, SplitCase{"NulInContinuation", X(1200) + "\0y\nz"s},
        SplitCase{"FifthWithSpaces", kFifth + " a b  c \r\n" + kFifth + "nospace\n"},
        SplitCase{"FifthOnlyMarker", kFifth + "\n" + kFifth}, SplitCase{"FifthSpacesAfterNul", kFifth + "a b\0c d\n"s},
        SplitCase{"FifthInContinuation", X(999) + kFifth + " p q \r\n"},
        SplitCase{"LongFifthLine", kFifth + X(600) + std::string(600, ' ') + "b c\r\n"},
        SplitCase{"SpaceBeforeMarker", " " + kFifth + " a\n"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// Random bytes from the alphabet that matters to the reads: line ends, NUL, space, and
// the bytes of the fifth and sixth markers.
TEST(SplitSlotsRandomTest, GivesTheLoadersSlots) {
    constexpr char kAlphabet[] = {'\r', '\n', '\0', ' ', 'a', '\x87', '\x44', '\x45'};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 1);
    std::uniform_int_distribution<size_t> length(0, 5000);
    auto store = std::make_unique<LineStore>();
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(length(random), ' ');
        // Some rounds favour long lines: fewer LF bytes.
        const bool longLines = round % 3 == 0;
        for (char& c : bytes) {
            c = kAlphabet[pick(random)];
            if (longLines && c == '\n' && random() % 8 != 0) {
                c = 'a';
            }
        }
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectAgreesWithLoader(bytes, *store);
        if (HasFailure()) {
            break;
        }
    }
}

}  // namespace
}  // namespace quorlet3
