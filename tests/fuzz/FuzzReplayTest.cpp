// Every input a fuzz target once broke the program with, and every seed of the
// committed corpora, run again through its harness with every check.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/Cp932Harness.h"
#include "fuzz/LogHarness.h"

namespace {

// The files of a folder in name order; a folder that is missing is a failure.
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs every file of the folder through the harness, after skipping its first `skip`
// bytes (the byte by which a log fuzz input chooses its check). Returns the count.
size_t Replay(const std::filesystem::path& folder, std::string (*harness)(const uint8_t*, size_t), size_t skip) {
    const std::vector<std::filesystem::path> files = FilesIn(folder);
    for (const std::filesystem::path& path : files) {
        const std::vector<uint8_t> bytes = ReadBytes(path);
        const size_t from = std::min(skip, bytes.size());
        EXPECT_EQ(harness(bytes.data() + from, bytes.size() - from), "") << path;
    }
    return files.size();
}

TEST(FuzzReplay, StoredLogFindingsHoldEveryProperty) {
    EXPECT_GT(Replay(QUORLET3_FUZZ_INPUTS, quorlet3::fuzz::RunLogInput, 0), 0u);
}

TEST(FuzzReplay, LogSeedCorpusHoldsEveryProperty) {
    EXPECT_GT(Replay(QUORLET3_FUZZ_CORPUS "/log", quorlet3::fuzz::RunLogInput, 1), 0u);
}

TEST(FuzzReplay, Cp932SeedsAgreeWithTheReferences) {
    EXPECT_GT(Replay(QUORLET3_FUZZ_CORPUS "/cp932", quorlet3::fuzz::RunCp932Input, 0), 0u);
}

// An empty file loads to a store holding only the sentinel; every report runs on it.
TEST(FuzzReplay, EmptyInputHoldsEveryProperty) {
    EXPECT_EQ(quorlet3::fuzz::RunLogInput(nullptr, 0), "");
    EXPECT_EQ(quorlet3::fuzz::RunCp932Input(nullptr, 0), "");
}

}  // namespace
