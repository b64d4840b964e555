// libFuzzer entry point: bytes for the cp932 decoder and the multibyte order and search.
// A broken property aborts with its description.
#include <cstdio>
#include <cstdlib>

#include "fuzz/Cp932Harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken = quorlet3::fuzz::RunCp932Input(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "quorlet3 fuzz: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
