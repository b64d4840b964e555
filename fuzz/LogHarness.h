// Runs arbitrary bytes through the loader and every report, checking what must hold
// for any log. Used by the fuzz target and by the replay of stored inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorlet3::fuzz {

// Loads the bytes as a log (from memory, and as a file whole and in line windows)
// and runs every report, with several page names for the per-page one, through every
// output format, and over the whole file read in small parts. Returns an empty string
// when everything held, otherwise a description of the first broken property. Crashes,
// hangs and sanitizer reports are left to the caller to notice.
std::string RunLogInput(const uint8_t* data, size_t size);

// A fuzz input: its first byte chooses one of the checks RunLogInput makes (the load
// itself is checked every time), the rest is the log; so each execution stays short.
// A finding is stored without its first byte and replayed with RunLogInput.
std::string RunLogFuzzInput(const uint8_t* data, size_t size);

// The same for the checks that run every report at once (JSON 'all', the HTML page, one
// walk against a walk per report) or read the log on threads (whole, and going on from a
// kept state): slower, so they are fuzzed by a target of their own.
std::string RunAllReportsFuzzInput(const uint8_t* data, size_t size);

}  // namespace quorlet3::fuzz
