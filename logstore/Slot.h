// One line slot as a report sees it: its text, the text of the slot after it, and its place.
// Every reader (the 10000-line store, a line window, the whole file in parts) hands the
// reports slots of this shape, so one computation serves them all.
#pragma once

#include <string_view>

namespace quorlet3 {

struct Slot {
    std::string_view line;  // the slot's text as the loader stores it (no line end)
    // The text of the slot after this one: the next line, the sentinel after the last
    // line of a log, or the store's end slot after slot 9999 of a full store.
    std::string_view next;
    long long index = 0;  // slot number, counted from 0 at the start of the part being read
    // False only for the last line slot of a 10000-slot store: the record checks pair
    // each line with the next one below that slot, never with the end slot.
    bool pairsWithNext = true;
};

}  // namespace quorlet3
