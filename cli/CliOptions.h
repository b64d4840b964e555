// quorlet3-report's options: the format and the lines asked for, as parsed from the
// command line, and the usage error that ends a run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "logstore/Quorlet3Doc.h"
#include "wholelog/WholeLogRun.h"

namespace quorlet3::cli {

inline constexpr const char* kProgram = "quorlet3-report";

// Writes the message and the hint to --help on standard error; returns exit status 2.
int UsageError(const std::string& message);

enum class Format { Text, Json, Csv, Html };

struct Options {
    Format format = Format::Text;
    bool raw = false;
    bool whole = false;
    PartReadOptions parts;
    std::string svgPath;
    std::string statePath;  // --state: the whole-log state kept between runs
    LineWindow window;
    std::vector<std::string> args;  // LOGFILE REPORT [ARG]
};

// Parses the command line into options; returns an exit status when the run ends here.
std::optional<int> ParseArguments(int argc, char** argv, Options& options);

}  // namespace quorlet3::cli
