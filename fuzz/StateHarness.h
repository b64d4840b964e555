// Runs arbitrary bytes as a kept whole-log state. Used by the fuzz target and by the
// replay of stored inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorlet3::fuzz {

// Reads the bytes as the state file of a small log: they must be refused unless they
// are a state the writer wrote for it. Then loads them straight into each report's
// accumulator, past the file's checks: a load either fails cleanly or leaves a state
// that every report and output can be made from. Returns an empty string when that
// held, otherwise a description of what broke.
std::string RunStateInput(const uint8_t* data, size_t size);

// The states the writer wrote for the harness's log, for seeds: the whole log read, and
// its first half.
std::string WrittenState(bool half);

}  // namespace quorlet3::fuzz
