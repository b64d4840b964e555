// The look-ahead slot: the first slot text of the bytes that follow a part.
#include "wholelog/SlotSplitter.h"

namespace quorlet3 {

std::string FirstSlotText(std::string_view followingBytes) {
    // The first read takes at most 999 text bytes; with a CR LF after them that is
    // 1001 raw bytes, and a cut there leaves the first read as it was.
    const std::string_view head = followingBytes.substr(0, kSlotTextLimit + 2);
    std::string scratch;
    std::string first;
    bool seen = false;
    SplitSlots(head, scratch, [&](std::string_view text) {
        if (!seen) {
            first.assign(text);
            seen = true;
        }
    });
    return first;
}

}  // namespace quorlet3
