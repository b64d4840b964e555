// Reading a log in parallel parts: the folded slots equal one pass over the whole log.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <random>
#include <stdexcept>
#include <thread>

#include "encoding/Cp932Literal.h"
#include "logstore/LogLoader.h"
#include "tests/support/TestLog.h"
#include "tests/wholelog/SplitTexts.h"
#include "wholelog/PartReader.h"
#include "wholelog/SlotSplitter.h"

namespace quorlet3 {
namespace {

using namespace std::string_literals;
using test::Slots;
using test::Split;

// The slots of the parts read so far, and what the last of them promised about the next.
struct Folded {
    Slots slots;
    std::string next;
    bool isLast = false;
    long long lastIndex = -1;
    int faults = 0;  // look-ahead slots that did not match, parts out of order, overlapping merges
};

struct Reading {
    Folded folded;
    long long parts = 0;
};

Reading ReadSlots(const std::string& path, int jobs, size_t partBytes, long long* peakBufferBytes = nullptr) {
    std::atomic<int> merging{0};
    std::atomic<long long> parts{0};
    PartReadOptions options;
    options.jobs = jobs;
    options.partBytes = partBytes;
    options.peakBufferBytes = peakBufferBytes;
    Folded folded = ReadInParts<Folded>(
        path, options,
        [&](const PartInput& part) {
            ++parts;
            Folded state;
            // Piece by piece: a piece cut inside a long line must split as the whole does.
            part.forEachPiece([&](std::string_view bytes) {
                const Slots slots = Split(bytes);
                state.slots.insert(state.slots.end(), slots.begin(), slots.end());
            });
            state.next = part.nextSlot;
            state.isLast = part.isLast;
            state.lastIndex = part.index;
            return state;
        },
        [&](Folded& earlier, Folded&& later) {
            const bool alone = merging.fetch_add(1) == 0;
            const bool followsOn = !earlier.isLast && !later.slots.empty() && later.slots.front() == earlier.next &&
                                   later.lastIndex > earlier.lastIndex;
            earlier.faults += later.faults + (alone && followsOn ? 0 : 1);
            earlier.slots.insert(earlier.slots.end(), later.slots.begin(), later.slots.end());
            earlier.next = std::move(later.next);
            earlier.isLast = later.isLast;
            earlier.lastIndex = later.lastIndex;
            merging.fetch_sub(1);
        });
    return {std::move(folded), parts.load()};
}

void ExpectSameAsOnePass(const Reading& reading, std::string_view bytes) {
    EXPECT_EQ(reading.folded.slots, Split(bytes));
    EXPECT_EQ(reading.folded.faults, 0);
    EXPECT_TRUE(reading.folded.isLast);
    EXPECT_EQ(reading.folded.next, "");
}

std::string RandomLog(size_t size, unsigned seed) {
    constexpr char kAlphabet[] = {'\r', '\n', '\n', '\0', ' ', 'a', 'b', '\x87', '\x44'};
    std::mt19937 random(seed);
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 1);
    std::string bytes(size, ' ');
    for (char& c : bytes) {
        c = kAlphabet[pick(random)];
    }
    return bytes;
}

struct LogCase {
    const char* name;
    std::string bytes;
};

const LogCase kLogs[] = {
    {"Empty", ""},
    {"MixedLines", "①1\r\n②a b\r\n"_sj + std::string(5000, 'L') + "\r\n" + "⑤x y\r\n\r\n\n"_sj + "n\0ul\r\nend"s},
    // With 17-byte parts: a CR LF whose LF opens the second part, and an LF that ends the first.
    {"CrLfAtBoundary", std::string(16, 'a') + "\r\n" + std::string(15, 'b') + "\r\n" + "c\r\n"},
    {"LfEndsPart", std::string(16, 'a') + "\n" + std::string(16, 'b') + "\n"},
    {"LongLastLineWithoutLf", "a\n" + std::string(9000, 'z')},
    {"Random", RandomLog(20000, 5)},
};

class ReadInPartsTest : public ::testing::TestWithParam<std::tuple<LogCase, int, size_t>> {};

TEST_P(ReadInPartsTest, FoldsToTheSlotsOfOnePass) {
    const auto& [log, jobs, partBytes] = GetParam();
    const test::TempDir dir;
    const std::string path = dir.WriteFile("log.txt", log.bytes);
    const Reading reading = ReadSlots(path, jobs, partBytes);
    ExpectSameAsOnePass(reading, log.bytes);
    EXPECT_GE(reading.parts, 1);
}

INSTANTIATE_TEST_SUITE_P(Logs, ReadInPartsTest,
                         ::testing::Combine(::testing::ValuesIn(kLogs), ::testing::Values(1, 2, 7),
                                            ::testing::Values(size_t{1}, size_t{3}, size_t{17}, size_t{4096})),
                         [](const auto& testCase) {
                             return std::string(std::get<0>(testCase.param).name) + "_jobs" +
                                    std::to_string(std::get<1>(testCase.param)) + "_part" +
                                    std::to_string(std::get<2>(testCase.param));
                         });

class StandardInputTest : public ::testing::TestWithParam<std::tuple<int, size_t>> {};

TEST_P(StandardInputTest, ReadsAPipeInOrder) {
    const auto& [jobs, partBytes] = GetParam();
    // More than a pipe holds, so the writer blocks while the parts are read.
    const std::string bytes = RandomLog(300000, 9);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const test::StandardInputFrom input(ends[0]);
    std::jthread writer([&bytes, fd = ends[1]] {
        for (size_t at = 0; at < bytes.size();) {
            const ssize_t wrote = ::write(fd, bytes.data() + at, bytes.size() - at);
            if (wrote <= 0) {
                break;
            }
            at += static_cast<size_t>(wrote);
        }
        ::close(fd);
    });
    ExpectSameAsOnePass(ReadSlots("-", jobs, partBytes), bytes);
}

INSTANTIATE_TEST_SUITE_P(Pipe, StandardInputTest,
                         ::testing::Combine(::testing::Values(1, 2, 7), ::testing::Values(size_t{17}, size_t{65536})),
                         [](const auto& testCase) {
                             return "jobs" + std::to_string(std::get<0>(testCase.param)) + "_part" +
                                    std::to_string(std::get<1>(testCase.param));
                         });

TEST(StandardInputTest, EmptyPipeIsOneEmptyPart) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[1]);
    const test::StandardInputFrom input(ends[0]);
    const Reading reading = ReadSlots("-", 2, 17);
    ExpectSameAsOnePass(reading, "");
    EXPECT_EQ(reading.parts, 1);
}

// Logs whose lines are far longer than a part, or many: the reader's buffers stay
// within a few parts per job, from a file and from standard input alike.
struct LongCase {
    const char* name;
    std::string bytes;
};

const LongCase kLongLogs[] = {
    {"OneLineWithoutLf", std::string(1 << 21, 'a')},
    {"NulBytes", std::string(1 << 21, '\0')},
    {"PageLineThenShortLines", "⑥"_sj + std::string(1 << 20, 'p') + "\r\n⑦2001/03/04 05:06\r\n"_sj + "x\n"},
    {"LinesOfExactlyOneRead",
     [] {
         std::string bytes;
         for (size_t i = 0; i < 300; ++i) {
             bytes += std::string(999 * (i % 5), '\x87') + (i % 2 == 0 ? "\r\n" : "\n");
         }
         return bytes;
     }()},
    {"EmptyLines", std::string(1 << 20, '\n')},
};

class LongLineTest : public ::testing::TestWithParam<std::tuple<LongCase, int, bool>> {};

TEST_P(LongLineTest, ReadsInBoundedBuffers) {
    const auto& [log, jobs, fromStandardInput] = GetParam();
    const test::TempDir dir;
    const std::string path = dir.WriteFile("long.log", log.bytes);
    constexpr size_t kPart = 4096;
    long long peak = 0;
    Reading reading;
    if (fromStandardInput) {
        const test::StandardInputFrom input(::open(path.c_str(), O_RDONLY));
        reading = ReadSlots("-", jobs, kPart, &peak);
    } else {
        reading = ReadSlots(path, jobs, kPart, &peak);
    }
    ExpectSameAsOnePass(reading, log.bytes);
    // A buffer per job of two parts and some look-ahead, each at most twice what it holds
    // as it grows; a stream keeps two parts per job and the one being cut.
    const long long bound = (2LL * jobs + 3) * 2 * (2 * static_cast<long long>(kPart) + 3 * 1001);
    EXPECT_GT(peak, 0);
    EXPECT_LE(peak, bound);
}

INSTANTIATE_TEST_SUITE_P(Logs, LongLineTest,
                         ::testing::Combine(::testing::ValuesIn(kLongLogs), ::testing::Values(1, 3), ::testing::Bool()),
                         [](const auto& testCase) {
                             return std::string(std::get<0>(testCase.param).name) + "_" +
                                    std::to_string(std::get<1>(testCase.param)) + "Jobs" +
                                    (std::get<2>(testCase.param) ? "_StandardInput" : "_File");
                         });

void ExpectRefused(const std::string& path, const std::string& name) {
    try {
        ReadSlots(path, 2, 17);
        ADD_FAILURE() << "no LogFileError for " << name;
    } catch (const LogFileError& error) {
        EXPECT_EQ(error.Path(), name);
        EXPECT_NE(std::string(error.what()).find(name), std::string::npos);
    }
}

TEST(ReadInPartsRefusalTest, MissingFile) {
    const test::TempDir dir;
    ExpectRefused(dir.PathOf("absent.log"), dir.PathOf("absent.log"));
}

TEST(ReadInPartsRefusalTest, Directory) {
    const test::TempDir dir;
    ExpectRefused(dir.Path(), dir.Path());
}

TEST(ReadInPartsRefusalTest, Device) { ExpectRefused("/dev/zero", "/dev/zero"); }

TEST(ReadInPartsRefusalTest, DirectoryOnStandardInputIsNamedSo) {
    const test::TempDir dir;
    const test::StandardInputFrom input(::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY));
    ExpectRefused("-", "standard input");
}

struct Failure {
    const char* name;
    bool inWork;  // thrown by work, else by merge
    int jobs;
};

class FailureTest : public ::testing::TestWithParam<Failure> {};

TEST_P(FailureTest, ReachesTheCaller) {
    const test::TempDir dir;
    const std::string path = dir.WriteFile("log.txt", RandomLog(50000, 3));
    PartReadOptions options;
    options.jobs = GetParam().jobs;
    options.partBytes = 64;
    const bool inWork = GetParam().inWork;
    auto read = [&] {
        ReadInParts<int>(
            path, options,
            [&](const PartInput& part) {
                if (inWork && part.index >= 40) {
                    throw std::runtime_error("work failed");
                }
                return 1;
            },
            [&](int& earlier, int&& later) {
                if (!inWork && earlier >= 40) {
                    throw std::runtime_error("merge failed");
                }
                earlier += later;
            });
    };
    EXPECT_THROW(read(), std::runtime_error);
}

INSTANTIATE_TEST_SUITE_P(Thrown, FailureTest,
                         ::testing::Values(Failure{"WorkOneJob", true, 1}, Failure{"WorkSevenJobs", true, 7},
                                           Failure{"MergeOneJob", false, 1}, Failure{"MergeSevenJobs", false, 7}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ReadInPartsProgressTest, CountsEveryByteOneCallAtATime) {
    const test::TempDir dir;
    const std::string bytes = RandomLog(30000, 4);
    const std::string path = dir.WriteFile("log.txt", bytes);
    std::atomic<int> inside{0};
    int overlaps = 0;
    long long last = 0;
    long long total = 0;
    PartReadOptions options;
    options.jobs = 7;
    options.partBytes = 100;
    options.progress = [&](long long bytesRead, long long totalBytes) {
        overlaps += inside.fetch_add(1) == 0 ? 0 : 1;
        EXPECT_GT(bytesRead, last);
        last = bytesRead;
        total = totalBytes;
        inside.fetch_sub(1);
    };
    ReadInParts<int>(
        path, options, [](const PartInput&) { return 0; }, [](int&, int&&) {});
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(last, static_cast<long long>(bytes.size()));
    EXPECT_EQ(total, static_cast<long long>(bytes.size()));
}

}  // namespace
}  // namespace quorlet3
