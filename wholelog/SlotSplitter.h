// Splitting raw log bytes into the slot texts the loader stores, without copying them.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "logstore/LineStore.h"

namespace quorlet3 {

// The text bytes one read of the loader takes at most (a 1000-byte buffer and its zero).
inline constexpr size_t kSlotTextLimit = 999;

namespace detail {

// The slot text of the read [begin, begin + count): cut at its first NUL; a text that
// starts with the fifth marker loses every ASCII space, rewritten into scratch.
inline std::string_view SlotText(const char* begin, size_t count, std::string& scratch) {
    std::string_view text(begin, count);
    if (const void* nul = std::memchr(begin, '\0', count)) {
        text = text.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - begin));
    }
    if (text.size() >= 2 && text[0] == kMarker5[0] && text[1] == kMarker5[1] &&
        text.find(' ') != std::string_view::npos) {
        scratch.clear();
        for (char c : text) {
            if (c != ' ') {
                scratch.push_back(c);
            }
        }
        return scratch;
    }
    return text;
}

// The slots of one file line whose content (the bytes before its line end) is
// [begin, begin + content). ended is true when an LF (raw LF or CR LF) follows the
// content: it reads as one more text byte, which may take a read of its own when the
// content fills whole reads. Reads are kSlotTextLimit text bytes each.
template <class Visit>
void VisitLongLine(const char* begin, size_t content, bool ended, std::string& scratch, Visit& visit) {
    const size_t textBytes = content + (ended ? 1 : 0);
    for (size_t at = 0; at < textBytes; at += kSlotTextLimit) {
        const size_t take = std::min(kSlotTextLimit, content > at ? content - at : 0);
        visit(SlotText(begin + at, take, scratch));
    }
}

}  // namespace detail

// Calls visit(std::string_view text) for each slot the loader would store from bytes,
// in order, when bytes begin at the start of a file line: one slot per read of at most
// 999 text-mode bytes (CR LF reads as LF) that stops after an LF; the text is the read
// cut at its first NUL, less a final LF; a text starting with the fifth marker loses
// its ASCII spaces.
//
// A text is a view into bytes, except for a fifth-marker text that held spaces: that
// one lives in scratch and stays valid only until visit returns.
template <class Visit>
void SplitSlots(std::string_view bytes, std::string& scratch, Visit&& visit) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    // The next NUL byte at or after p (end when there is none): lines before it need no
    // NUL search of their own.
    auto findNul = [end](const char* from) {
        const void* nul = std::memchr(from, '\0', static_cast<size_t>(end - from));
        return nul != nullptr ? static_cast<const char*>(nul) : end;
    };
    const char* nextNul = findNul(p);
    while (p != end) {
        const void* found = std::memchr(p, '\n', static_cast<size_t>(end - p));
        const char* lf = found != nullptr ? static_cast<const char*>(found) : end;
        const bool ended = lf != end;
        // Only the CR right before the line's LF pairs with it; any other CR is text.
        const char* contentEnd = ended && lf != p && lf[-1] == '\r' ? lf - 1 : lf;
        const auto content = static_cast<size_t>(contentEnd - p);
        if (content < kSlotTextLimit && nextNul >= contentEnd) {
            // One read, no NUL: the common line.
            if (content >= 2 && p[0] == kMarker5[0] && p[1] == kMarker5[1]) {
                visit(detail::SlotText(p, content, scratch));
            } else {
                visit(std::string_view(p, content));
            }
        } else {
            detail::VisitLongLine(p, content, ended, scratch, visit);
        }
        p = ended ? lf + 1 : end;
        if (nextNul < p) {
            nextNul = findNul(p);
        }
    }
}

// The text of the first slot of bytes that begin at the start of a file line; empty
// when bytes are empty. Looks at no more than the first 1001 bytes.
std::string FirstSlotText(std::string_view followingBytes);

}  // namespace quorlet3
