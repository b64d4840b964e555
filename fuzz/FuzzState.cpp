// libFuzzer entry point: the bytes of a kept whole-log state. A broken property aborts
// with its description.
#include <cstdio>
#include <cstdlib>

#include "fuzz/StateHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken = quorlet3::fuzz::RunStateInput(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "quorlet3 fuzz: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
