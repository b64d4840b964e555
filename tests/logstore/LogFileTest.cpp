// Opening a log: which kinds each reader takes, the exact words of a refusal, reads by offset and in order.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "encoding/Cp932Literal.h"
#include "logstore/LogFile.h"
#include "tests/support/TestLog.h"

namespace quorlet3 {
namespace {

// How the 10000-line loader and the whole-log reader open a log.
constexpr LogOpening kLoader{.standardInput = true};
constexpr LogOpening kWholeLog{.standardInput = true, .refuseInputFolder = true, .devices = false};

// The words of opening path ("" when it opens), as the command-line tool prints them.
std::string Opening(const std::string& path, const LogOpening& opening) {
    try {
        const LogFile file(path, opening);
        return "";
    } catch (const LogFileError& error) {
        return error.what();
    }
}

TEST(LogFileTest, EachReaderTakesItsKindsAndNamesTheRestExactly) {
    const test::TempDir dir;
    const std::string log = dir.WriteFile("a.log", "x\n");
    const std::string fifo = dir.PathOf("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string missing = dir.PathOf("missing.log");
    struct Case {
        std::string path;
        std::string loader;  // the loader's words
        std::string whole;   // the whole-log reader's words
    };
    const Case cases[] = {
        {log, "", ""},
        {"/dev/zero", "", "'/dev/zero': cannot open: it is a device, not a file"},
        {dir.Path(), "'" + dir.Path() + "': cannot open: it is a directory",
         "'" + dir.Path() + "': cannot open: it is a directory"},
        {fifo, "'" + fifo + "': cannot open: it is a pipe or socket, not a file",
         "'" + fifo + "': cannot open: it is a pipe or socket, not a file"},
        {missing, "'" + missing + "': cannot open: No such file or directory",
         "'" + missing + "': cannot open: No such file or directory"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Opening(c.path, kLoader), c.loader) << c.path;
        EXPECT_EQ(Opening(c.path, kWholeLog), c.whole) << c.path;
    }
    // Standard input that is a directory: the loader fails at its first read, the whole-log reader at once.
    const test::StandardInputFrom input(::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY));
    EXPECT_EQ(Opening("-", kWholeLog), "'standard input': cannot open: it is a directory");
    const LogFile taken("-", kLoader);
    char byte = 0;
    try {
        taken.Read(&byte, 1);
        ADD_FAILURE() << "a directory was read";
    } catch (const LogFileError& error) {
        EXPECT_STREQ(error.what(), "'standard input': cannot read: Is a directory");
        EXPECT_EQ(error.Cause(), LogFileCause::NotRegularFile);
    }
}

TEST(LogFileTest, ReadsByOffsetAndInOrderAndTellsAShrunkenFile) {
    const test::TempDir dir;
    const std::string path = dir.WriteFile("a.log", "0123456789");
    const LogFile file(path, kLoader);
    ASSERT_TRUE(file.IsRegular());
    EXPECT_EQ(file.Size(), 10);
    char bytes[4] = {};
    file.ReadAt(bytes, 6, 4);
    EXPECT_EQ(std::string(bytes, 4), "6789");
    file.SeekTo(3);
    EXPECT_EQ(file.Read(bytes, 2), 2u);
    EXPECT_EQ(std::string(bytes, 2), "34");
    ASSERT_EQ(::truncate(path.c_str(), 8), 0);
    try {
        file.ReadAt(bytes, 6, 4);
        ADD_FAILURE() << "read past the end";
    } catch (const LogFileError& error) {
        EXPECT_EQ(error.Cause(), LogFileCause::FileShrank);
        EXPECT_EQ(error.what(), "'" + path + "': cannot read: the file became shorter while it was read");
    }
    EXPECT_THROW(LogFile("/dev/zero", kLoader).RequireRegular(LogFailure::NoLineWindow), LogFileError);
}

// The window's sentence: the cause's own, or the system's error number for a cause without words.
TEST(LogFileErrorTest, WindowSentenceNamesTheErrorNumberWhenTheCauseHasNoWords) {
    EXPECT_EQ(LogFileCauseSentence(LogFileError("x", LogFailure::Shrank)),
              "読み込みの途中でファイルが短くなりました。"_sj);
    EXPECT_EQ(LogFileCauseSentence(LogFileError("x", LogFailure::SystemError, EBADMSG)),
              "システムのエラー（番号 "_sj + std::to_string(EBADMSG) + "）で読み込めませんでした。"_sj);
    EXPECT_EQ(LogFileCauseSentence(LogFileError("x", LogFailure::IsTheStateFile)),
              "原因の分からないエラーで読み込めませんでした。"_sj);
}

}  // namespace
}  // namespace quorlet3
