// Line windows of long logs: where each window starts, what the store holds, and the
// count of file lines before it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

#include "encoding/Cp932Literal.h"
#include "logstore/LogLoader.h"
#include "logstore/Quorlet3Doc.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using test::TempDir;
using Kind = LineWindow::Kind;

// count lines made by line(i) for i = first .. first+count-1, each ended by CR LF.
template <class Line>
std::string Lines(int first, int count, Line line) {
    std::string bytes;
    for (int i = first; i < first + count; ++i) {
        bytes += line(i) + "\r\n";
    }
    return bytes;
}
std::string Pages(int first, int count) {
    return Lines(first, count, [](int i) { return "⑥p"_sj + std::to_string(i); });
}
// Main-page records of three lines each, guest numbers first .. first+count-1.
std::string Records(int first, int count) {
    std::string bytes;
    for (int i = first; i < first + count; ++i) {
        bytes += "①"_sj + std::to_string(i) + "\r\n②t\r\n③h\r\n"_sj;
    }
    return bytes;
}

// Offset of 1-based file line `line`: just after the (line-1)th LF.
long long ByteOfLine(const std::string& bytes, long long line) {
    size_t at = 0;
    for (long long lf = 1; lf < line; ++lf) {
        at = bytes.find('\n', at) + 1;
    }
    return static_cast<long long>(at);
}

std::vector<std::string> Slots(const LineStore& store) {
    std::vector<std::string> slots;
    for (int slot = 0; slot < kStoreSlots; ++slot) {
        slots.push_back(store[slot]);
    }
    return slots;
}

struct WindowCase {
    const char* name;
    std::string bytes;
    LineWindow window;
    long long startLine;  // file line the window must start at (lines + 1 when past the end)
    std::string firstSlot;
};

class WindowTest : public ::testing::TestWithParam<WindowCase> {};

// The window's store must be exactly what loading the file's bytes from the start line
// on gives, and the offset must count the lines before it.
TEST_P(WindowTest, StartsAtItsLineAndReadsOnLikeAWholeFile) {
    const WindowCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.WriteFile("window.log", c.bytes);
    const long long startByte = ByteOfLine(c.bytes, c.startLine);
    const std::string rest = dir.WriteFile("rest.log", c.bytes.substr(static_cast<size_t>(startByte)));

    const LoadedLog loaded = LoadLineStore(path, c.window);
    EXPECT_EQ(loaded.startByte, startByte);
    EXPECT_EQ((*loaded.store)[0], c.firstSlot);
    EXPECT_EQ(Slots(*loaded.store), Slots(*LoadLineStore(rest)));
    EXPECT_EQ(loaded.linesBefore.has_value(), c.window.kind != Kind::Last);
    EXPECT_EQ(loaded.linesBefore.value_or(c.startLine - 1), c.startLine - 1);
    EXPECT_EQ(CountLinesBefore(path, loaded.startByte), c.startLine - 1);
}

const std::string kLong(2500, 'L');                           // three slots
const std::string kPage998 = "⑥"_sj + std::string(996, 'y');  // 998 bytes: with CR LF, one slot

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowTest,
    ::testing::Values(
        WindowCase{"FirstIsLineOne", Pages(1, 10001), LineWindow::FirstLines(), 1, "⑥p1"_sj},
        WindowCase{"FromOne", Pages(1, 10001), LineWindow::FromLine(1), 1, "⑥p1"_sj},
        WindowCase{"FromMiddle", Pages(1, 20000), LineWindow::FromLine(5001), 5001, "⑥p5001"_sj},
        WindowCase{"FromLastLineWithoutEnd", "a\nb\nc", LineWindow::FromLine(3), 3, "c"},
        WindowCase{"FromJustPastTheEnd", "a\nb\nc\n", LineWindow::FromLine(4), 4, "FileEND"},
        WindowCase{"FromFarPastTheEnd", "a\nb\nc\n", LineWindow::FromLine(9), 4, "FileEND"},
        WindowCase{"FromEmptyFile", "", LineWindow::FromLine(2), 1, "FileEND"},
        WindowCase{"FromAfterLongCrLfLine", "⑥"_sj + kLong + "\r\n①a\r\n"_sj, LineWindow::FromLine(2), 2, "①a"_sj},
        WindowCase{"FromLongLineKeepsItsSlots", "①a\r\n⑥"_sj + kLong + "\r\n", LineWindow::FromLine(2), 2,
                   "⑥"_sj + kLong.substr(0, 997)},
        WindowCase{"FromLoneCrIsNoLineEnd", "x\r①y\nz\n"_sj, LineWindow::FromLine(2), 2, "z"},
        WindowCase{"LastEmptyFile", "", LineWindow::LastLines(), 1, "FileEND"},
        WindowCase{"LastShortFileIsWhole", Records(1, 5), LineWindow::LastLines(), 1, "①1"_sj},
        WindowCase{"LastShortFileSkipsHalfRecord", "②t\r\n③h\r\n"_sj + Records(1, 2), LineWindow::LastLines(), 3,
                   "①1"_sj},
        WindowCase{"LastInsideRecordMovesToNextOne", Records(1, 3334), LineWindow::LastLines(), 4, "①2"_sj},
        WindowCase{
            "LastPageRecordStarts",
            "①0\r\n"_sj + Lines(1, 5000, [](int i) { return "⑥p"_sj + std::to_string(i) + "\r\n⑦t"_sj; }) + "①9\r\n"_sj,
            LineWindow::LastLines(), 4, "⑥p2"_sj},
        WindowCase{"LastWithoutRecordsStaysPut", Lines(1, 10005, [](int i) { return "x" + std::to_string(i); }),
                   LineWindow::LastLines(), 6, "x6"},
        WindowCase{"LastEndsWithoutLf", Pages(1, 10002) + "⑥end"_sj, LineWindow::LastLines(), 4, "⑥p4"_sj},
        WindowCase{"LastEndsWithLoneCr", Pages(1, 10002) + "⑥end\r"_sj, LineWindow::LastLines(), 4, "⑥p4"_sj},
        // 1 + 4 * 3 + 9990 slots: ten thousand from the end start at the second long line.
        WindowCase{"LastCountsSlotsOfLongLines",
                   "①a\r\n"_sj + Lines(1, 4, [](int i) { return "⑥"_sj + std::to_string(i) + kLong.substr(0, 2000); }) +
                       Pages(1, 9990),
                   LineWindow::LastLines(), 3, "⑥2"_sj + kLong.substr(0, 996)},
        WindowCase{"LastCountsCrLfOnce", "①a\r\n"_sj + kPage998 + "\r\n" + Pages(1, 9999), LineWindow::LastLines(), 2,
                   kPage998},
        WindowCase{"LastHugeLastLineIsTheWindow", "①a\n"_sj + std::string(kLineSlots * 999 + 5, 'z'),
                   LineWindow::LastLines(), 2, std::string(999, 'z')}),
    [](const auto& info) { return std::string(info.param.name); });

// Short lines of every kind, read backwards in blocks so small that every byte lies at
// a block edge, and in the loader's own blocks: the window found must be the one a
// forward count of slots gives.
TEST(LastWindow, AgreesWithAForwardSlotCountAtEveryBlockEdge) {
    std::string bytes;
    std::vector<long long> starts, slots;
    std::vector<bool> record;
    for (int i = 0; i < 10400; ++i) {
        const char* marker = i % 3 == 0 ? "①"_sj : i % 3 == 1 ? "②"_sj : "⑥"_sj;
        // Every 97th line has 998 bytes: one slot, or two if a CR before its LF were counted.
        const std::string text = marker + std::string(static_cast<size_t>(i % 97 == 0 ? 996 : (i * 7) % 31), 'k');
        starts.push_back(static_cast<long long>(bytes.size()));
        slots.push_back((static_cast<long long>(text.size()) + 1 + 998) / 999);
        record.push_back(i % 3 != 1);
        bytes += text + (i % 2 == 0 ? "\r\n" : "\n");
    }
    long long left = kLineSlots;
    size_t first = starts.size();
    while (first > 0 && slots[first - 1] <= left) {
        left -= slots[--first];
    }
    while (!record[first]) {
        ++first;
    }
    TempDir dir;
    const std::string path = dir.WriteFile("edges.log", bytes);
    for (long long block : {1, 3, 1001}) {
        EXPECT_EQ(detail::FindLastWindowStart(path, block), starts[first]) << "blocks of " << block;
    }
    EXPECT_EQ(LoadLineStore(path, LineWindow::LastLines()).startByte, starts[first]);
}

TEST(CountLinesBefore, CountsLfBytesBeforeTheOffset) {
    TempDir dir;
    const std::string path = dir.WriteFile("count.log", "a\r\nb\rc\n\nd");
    const std::vector<std::pair<long long, long long>> expected = {{0, 0}, {2, 0}, {3, 1}, {7, 2}, {8, 3}, {100, 3}};
    for (const auto& [offset, lines] : expected) {
        EXPECT_EQ(CountLinesBefore(path, offset), lines) << "offset " << offset;
    }
    // Blank lines only: every byte counts, however many there are in a row.
    const std::string blank = dir.WriteFile("blank.log", std::string(300'000, '\n') + "x");
    for (long long offset : {4095LL, 4096LL, 4097LL, 300'001LL}) {
        EXPECT_EQ(CountLinesBefore(blank, offset), std::min(offset, 300'000LL)) << "offset " << offset;
    }
}

// Windows of files that cannot be read as logs fail like a whole load, naming the file.
TEST(WindowErrors, NameTheFile) {
    TempDir dir;
    ::alarm(10);  // a hang on an endless device ends the test program
    for (const std::string& path : {dir.Path() + "/missing.log", dir.Path(), std::string("/dev/zero")}) {
        for (const LineWindow& window : {LineWindow::FromLine(2), LineWindow::LastLines()}) {
            try {
                LoadLineStore(path, window);
                ADD_FAILURE() << "loading a window of " << path << " succeeded";
            } catch (const LogFileError& error) {
                EXPECT_EQ(error.Path(), path);
            }
        }
    }
    ::alarm(0);
    EXPECT_THROW(CountLinesBefore(dir.Path() + "/missing.log", 0), LogFileError);
    const std::string path = dir.WriteFile("a.log", "a\n");
    EXPECT_THROW(LoadLineStore(path, LineWindow::FromLine(0)), std::invalid_argument);
    EXPECT_THROW(CountLinesBefore(path, -1), std::invalid_argument);
}

}  // namespace
}  // namespace quorlet3
