// The benchmarks' realistic store: the sample generator's 10000-line log with faults,
// the same bytes on every run (fixed seed), so that figures compare across builds.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace quorlet3::bench {

// Writes the generated sample to path and returns path; exits when the generator fails,
// as no benchmark can run without its store.
inline std::string GenerateSample(const std::string& path) {
    const std::string command =
        std::string("'") + QUORLET3_SAMPLEGEN + "' --lines 10000 --seed 3 --faults --output '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cannot run %s\n", command.c_str());
        std::exit(1);
    }
    return path;
}

}  // namespace quorlet3::bench
