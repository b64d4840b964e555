// Differential checks of the cp932 text routines against simple reference
// implementations written from their documented rules. Used by the fuzz target and by
// the replay of stored inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorlet3::fuzz {

// Runs the bytes through the decoder, the multibyte order and the multibyte search and
// compares each with its reference. Returns an empty string when all agree, otherwise
// a description of the first difference.
std::string RunCp932Input(const uint8_t* data, size_t size);

}  // namespace quorlet3::fuzz
