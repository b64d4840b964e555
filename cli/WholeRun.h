// quorlet3-report --whole: the reports over every line of the log, read in parallel
// parts, with the state kept between runs when --state names a file.
#pragma once

#include <string>

#include "cli/CliOptions.h"
#include "reports/CommandTable.h"

namespace quorlet3::cli {

// The reports over every line of the log, read in parallel parts. row is null for 'all'.
// Returns the exit status.
int RunWhole(const Options& options, const std::string& path, const CommandRow* row, const std::string& argument);

}  // namespace quorlet3::cli
