// The slot texts SplitSlots gives for some bytes, as strings, for the whole-log tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "wholelog/SlotSplitter.h"

namespace quorlet3::test {

using Slots = std::vector<std::string>;

inline Slots Split(std::string_view bytes) {
    Slots slots;
    std::string scratch;
    SplitSlots(bytes, scratch, [&](std::string_view text) { slots.emplace_back(text); });
    return slots;
}

}  // namespace quorlet3::test
