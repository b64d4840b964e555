// Every input the fuzzer once broke the program with, run again through the same harness.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/LogHarness.h"

namespace {

std::vector<std::filesystem::path> StoredInputs() {
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(QUORLET3_FUZZ_INPUTS)) {
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

TEST(FuzzReplay, EveryStoredInputHoldsEveryProperty) {
    const std::vector<std::filesystem::path> inputs = StoredInputs();
    ASSERT_FALSE(inputs.empty()) << "no stored inputs in " << QUORLET3_FUZZ_INPUTS;
    for (const std::filesystem::path& path : inputs) {
        const std::vector<uint8_t> bytes = ReadBytes(path);
        EXPECT_EQ(quorlet3::fuzz::RunLogInput(bytes.data(), bytes.size()), "") << path.filename();
    }
}

// An empty file loads to a store holding only the sentinel; every report runs on it.
TEST(FuzzReplay, EmptyInputHoldsEveryProperty) { EXPECT_EQ(quorlet3::fuzz::RunLogInput(nullptr, 0), ""); }

}  // namespace
