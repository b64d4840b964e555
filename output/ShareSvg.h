// Writes the share dialog's picture (pies, swatches, legends) as an SVG file.
#pragma once

#include <string>

#include "share/ShareCounters.h"

namespace quorlet3 {

// The SVG document for the counters (UTF-8 text).
std::string ShareSvg(const ShareCounters& counters);

// Writes ShareSvg to path; false (errno set) when the file cannot be written.
bool WriteShareSvg(const std::string& path, const ShareCounters& counters);

}  // namespace quorlet3
