// libFuzzer entry point for the slower checks of a log (every report at once, threads):
// a byte choosing the check, then a log file's bytes. A broken
// property aborts with its description.
#include <cstdio>
#include <cstdlib>

#include "fuzz/LogHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken = quorlet3::fuzz::RunAllReportsFuzzInput(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "quorlet3 fuzz: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
