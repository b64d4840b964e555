// Loading real log files into the line store: line ends, long lines, NUL bytes, the
// 10000-line cap, failed loads and files that are not plain logs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "encoding/Cp932Literal.h"
#include "logstore/Quorlet3Doc.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

using namespace std::string_literals;
using test::LoadBytes;
using test::LoadLines;
using test::TempDir;

// Slots 0 to lines.size() must hold the lines and the sentinel; every later slot is empty.
void ExpectStore(const CQuorlet3Doc& doc, std::vector<std::string> lines) {
    lines.emplace_back(kSentinel);
    std::vector<std::string> stored;
    for (int slot = 0; slot < static_cast<int>(lines.size()); ++slot) {
        stored.push_back(doc.Store()[slot]);
    }
    EXPECT_EQ(stored, lines);
    int filledAfter = 0;
    for (int slot = static_cast<int>(lines.size()); slot < kStoreSlots; ++slot) {
        filledAfter += doc.Store()[slot].empty() ? 0 : 1;
    }
    EXPECT_EQ(filledAfter, 0) << "slots after the sentinel must be empty";
}

std::string NumberedLines(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i) {
        lines.push_back("⑥page"_sj + std::to_string(i));
    }
    return test::JoinCrLf(lines);
}

struct LoadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

class LoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadTest, StoresEachReadAsOneSlot) {
    ExpectStore(LoadBytes(GetParam().bytes), GetParam().lines);
    // From memory into a store that held a longer log: nothing of it may remain.
    CQuorlet3Doc fromMemory;
    fromMemory.LoadLogBytes(NumberedLines(40));
    fromMemory.LoadLogBytes(GetParam().bytes);
    ExpectStore(fromMemory, GetParam().lines);
}

const std::string k998(998, 'x');
const std::string k999(999, 'x');
// A referring address long enough to be split: only its first read starts with the marker.
const std::string kLongFifth = "⑤"_sj + std::string(600, 'a') + std::string(600, ' ') + "b c";

INSTANTIATE_TEST_SUITE_P(
    Lines, LoadTest,
    ::testing::Values(
        LoadCase{"Empty", "", {}}, LoadCase{"CrLf", "①1\r\n②a\r\n"_sj, {"①1"_sj, "②a"_sj}},
        LoadCase{"BareLf", "①1\n②a\n"_sj, {"①1"_sj, "②a"_sj}}, LoadCase{"LoneCrKept", "a\rb\r\nc\r", {"a\rb", "c\r"}},
        LoadCase{"CrBeforeCrLf", "a\r\r\n", {"a\r"}}, LoadCase{"LastLineWithoutEnd", "a\r\nb", {"a", "b"}},
        LoadCase{"BlankLines", "a\r\n\r\n\nb\r\n\r\n", {"a", "", "", "b", ""}},
        LoadCase{"SentinelLineStoredAsIs", "a\r\nFileEND\r\nb\r\n", {"a", "FileEND", "b"}},
        LoadCase{"NulEndsItsRead", "ab\0cd\r\nef\r\n"s, {"ab", "ef"}}, LoadCase{"NulFirst", "\0xyz\n"s, {""}},
        LoadCase{"FifthLosesAsciiSpaces", "⑤http://a/?q=a b  c \r\n"_sj, {"⑤http://a/?q=abc"_sj}},
        LoadCase{"FifthKeepsTabAndIdeographicSpace", "⑤a\t　b\r\n"_sj, {"⑤a\t　b"_sj}},
        LoadCase{"FifthSpacesAfterNulGone", "⑤a b"_sj + "\0c d\n"s, {"⑤ab"_sj}},
        LoadCase{"OtherLinesKeepSpaces", "③a b\r\n⑥c d\r\n ⑤e f\r\n"_sj, {"③a b"_sj, "⑥c d"_sj, " ⑤e f"_sj}},
        LoadCase{"Line998", k998 + "\r\n", {k998}}, LoadCase{"Line999GivesEmptySlot", k999 + "\r\n", {k999, ""}},
        LoadCase{"Line1000", k999 + "y\r\n", {k999, "y"}}, LoadCase{"CrLfCountsOnce", k998 + "\r\nz\r\n", {k998, "z"}},
        LoadCase{"LoneCrCounts", k998 + "\r\r\n", {k998 + "\r", ""}},
        LoadCase{"CutInsideACharacter",
                 k998 + "①1\r\n"_sj,
                 {k998 + "\x87",
                  "\x40"
                  "1"}},
        LoadCase{"SecondReadStartingWithFifth", k999 + "⑤a b\r\n"_sj, {k999, "⑤ab"_sj}},
        LoadCase{"Line2500",
                 std::string(2500, 'q') + "\n",
                 {std::string(999, 'q'), std::string(999, 'q'), std::string(502, 'q')}},
        LoadCase{"LongFifthStripsFirstReadOnly",
                 kLongFifth + "\r\n",
                 {"⑤"_sj + std::string(600, 'a'), std::string(600 - 397, ' ') + "b c"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadCap, OnlyTheFirstTenThousandLinesAreRead) {
    for (const std::string& bytes : {NumberedLines(10000), NumberedLines(10001) + "tail without end"}) {
        const CQuorlet3Doc doc = LoadBytes(bytes);
        EXPECT_EQ(doc.Store()[0], "⑥page1"_sj);
        EXPECT_EQ(doc.Store()[9999], "⑥page10000"_sj);
        EXPECT_EQ(doc.Store().m_strEndSlot, kSentinel);
    }
}

TEST(LoadState, SecondLoadLeavesNothingOfTheFirst) {
    TempDir dir;
    CQuorlet3Doc doc;
    doc.LoadLogFile(dir.WriteFile("long.log", "a\nb\nc\nd\n"));
    doc.LoadLogFile(dir.WriteFile("short.log", "x\n"));
    ExpectStore(doc, {"x"});
}

TEST(LoadState, LogFileKeepsItsBytesAndTime) {
    TempDir dir;
    const std::string bytes = test::JoinCrLf({"①1"_sj, "⑤a b"_sj, ""}) + "\x87";
    const std::string path = dir.WriteFile("keep.log", bytes);
    const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    CQuorlet3Doc doc;
    doc.LoadLogFile(path);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, 1000000000);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
}

// Each kind of file that cannot be read as a log. The loader must say so, naming the
// file and the cause, within a moment and without touching the store already loaded.
struct BadFile {
    const char* name;
    std::string (*make)(const TempDir& dir);
    LogFileCause cause;
};

class FailedLoadTest : public ::testing::TestWithParam<BadFile> {};

// A socket's name in the folder, as a server leaves it; opening it fails with ENXIO.
std::string MakeSocketFile(const TempDir& dir) {
    const std::string path = dir.PathOf("socket.log");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return "socket path too long";
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return bound ? path : std::string("bind failed");
}

TEST_P(FailedLoadTest, NamesTheFileAndKeepsTheOldStore) {
    TempDir dir;
    const std::string path = GetParam().make(dir);
    CQuorlet3Doc doc;
    doc.LoadLogFile(dir.WriteFile("good.log", "①1\r\n②a\r\n"_sj));
    test::WithoutFileOverride asAnOrdinaryUser;  // root must not read the unreadable file
    ::alarm(10);                                 // a hang ends the test program instead of the whole run
    try {
        doc.LoadLogFile(path);
        ADD_FAILURE() << "loading " << path << " succeeded";
    } catch (const LogFileError& error) {
        EXPECT_EQ(error.Path(), path);
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        EXPECT_EQ(error.Cause(), GetParam().cause) << error.what();
    }
    ::alarm(0);
    ExpectStore(doc, {"①1"_sj, "②a"_sj});
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FailedLoadTest,
    ::testing::Values(BadFile{"Nonexistent", [](const TempDir& d) { return d.PathOf("missing.log"); },
                              LogFileCause::NotFound},
                      BadFile{"Directory", [](const TempDir& d) { return d.Path(); }, LogFileCause::NotRegularFile},
                      BadFile{"FifoWithoutWriter",
                              [](const TempDir& d) {
                                  const std::string path = d.PathOf("fifo.log");
                                  return ::mkfifo(path.c_str(), 0600) == 0 ? path : std::string("mkfifo failed");
                              },
                              LogFileCause::NotRegularFile},
                      BadFile{"NoReadPermission",
                              [](const TempDir& d) { return test::WriteUnreadableFile(d, "secret.log", "①1\n"_sj); },
                              LogFileCause::NoPermission},
                      BadFile{"ReadErrorAfterOpen", [](const TempDir&) { return std::string("/proc/self/mem"); },
                              LogFileCause::ReadError},
                      BadFile{"SymlinkLoop",
                              [](const TempDir& d) {
                                  const std::string path = d.PathOf("loop.log");
                                  return ::symlink("loop.log", path.c_str()) == 0 ? path
                                                                                  : std::string("symlink failed");
                              },
                              LogFileCause::SymlinkLoop},
                      BadFile{"Socket", MakeSocketFile, LogFileCause::NoDevice},
                      // A new pseudo-terminal has nothing to read until something writes to it.
                      BadFile{"TerminalWithoutData", [](const TempDir&) { return std::string("/dev/ptmx"); },
                              LogFileCause::NoDataWithoutWaiting}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadDevice, EndlessDevicesAreCappedAtTenThousandReads) {
    CQuorlet3Doc doc;
    ::alarm(10);
    doc.LoadLogFile("/dev/urandom");
    EXPECT_EQ(doc.Store().m_strEndSlot, kSentinel);
    doc.LoadLogFile("/dev/zero");  // every read is 999 NUL bytes: an empty line
    ::alarm(0);
    ExpectStore(doc, std::vector<std::string>(kLineSlots));
}

TEST(SelectLogFile, LoadsTheChosenFileOrKeepsTheStore) {
    TempDir dir;
    const std::string path = dir.WriteFile("a.log", "①7\r\n"_sj);
    CQuorlet3Doc doc;
    // The second answer declines; the third is a typed name of a file that does not exist.
    test::FakeChooser chooser{path, std::nullopt, dir.PathOf("typed-name.log")};
    doc.SetFileChooser(&chooser);
    EXPECT_EQ(doc.SelectLogFile(), path);
    EXPECT_EQ(doc.SelectLogFile(), std::nullopt);
    doc.SetFileChooser(nullptr);
    EXPECT_EQ(doc.SelectLogFile(), std::nullopt);
    doc.SetFileChooser(&chooser);
    EXPECT_THROW(doc.SelectLogFile(), LogFileError);
    EXPECT_EQ(chooser.m_calls, 3);
    ExpectStore(doc, {"①7"_sj});
}

}  // namespace
}  // namespace quorlet3
