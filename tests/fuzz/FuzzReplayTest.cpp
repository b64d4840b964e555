// Every input a fuzz target once broke the program with, run again through its harness.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/Cp932Harness.h"
#include "fuzz/LogHarness.h"

namespace {

std::vector<std::filesystem::path> StoredInputs(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ReplayFolder(const char* folder, std::string (*harness)(const uint8_t*, size_t)) {
    const std::vector<std::filesystem::path> inputs = StoredInputs(folder);
    ASSERT_FALSE(inputs.empty()) << "no stored inputs in " << folder;
    for (const std::filesystem::path& path : inputs) {
        const std::vector<uint8_t> bytes = ReadBytes(path);
        EXPECT_EQ(harness(bytes.data(), bytes.size()), "") << path.filename();
    }
}

TEST(FuzzReplay, EveryStoredLogInputHoldsEveryProperty) { ReplayFolder(QUORLET3_FUZZ_INPUTS, quorlet3::fuzz::RunLogInput); }

TEST(FuzzReplay, EveryStoredCp932InputAgreesWithTheReferences) {
    ReplayFolder(QUORLET3_FUZZ_CP932_INPUTS, quorlet3::fuzz::RunCp932Input);
}

// An empty file loads to a store holding only the sentinel; every report runs on it.
TEST(FuzzReplay, EmptyInputHoldsEveryProperty) {
    EXPECT_EQ(quorlet3::fuzz::RunLogInput(nullptr, 0), "");
    EXPECT_EQ(quorlet3::fuzz::RunCp932Input(nullptr, 0), "");
}

}  // namespace
