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
#include "fuzz/StateHarness.h"

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

TEST(FuzzReplay, StateSeedsAreRefusedOrLoadCleanly) {
    EXPECT_GT(Replay(QUORLET3_FUZZ_CORPUS "/state", quorlet3::fuzz::RunStateInput, 0), 0u);
}

// The writer's own states are taken; each of them with one byte changed is not.
TEST(FuzzReplay, StateHarnessTakesTheWritersStatesOnly) {
    for (const bool half : {false, true}) {
        std::string state = quorlet3::fuzz::WrittenState(half);
        ASSERT_FALSE(state.empty());
        auto run = [&] {
            return quorlet3::fuzz::RunStateInput(reinterpret_cast<const uint8_t*>(state.data()), state.size());
        };
        EXPECT_EQ(run(), "");
        for (size_t at = 0; at < state.size(); at += 97) {
            state[at] = static_cast<char>(state[at] ^ 1);
            EXPECT_EQ(run(), "") << at;
            state[at] = static_cast<char>(state[at] ^ 1);
        }
    }
}

// An empty file loads to a store holding only the sentinel; every report runs on it.
TEST(FuzzReplay, EmptyInputHoldsEveryProperty) {
    EXPECT_EQ(quorlet3::fuzz::RunLogInput(nullptr, 0), "");
    EXPECT_EQ(quorlet3::fuzz::RunCp932Input(nullptr, 0), "");
    EXPECT_EQ(quorlet3::fuzz::RunStateInput(nullptr, 0), "");
}

}  // namespace
