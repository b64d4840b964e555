// Splitting raw log bytes into the slot texts the loader stores, without copying them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "logstore/LineStore.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// Finds the LF bytes of a run in order. Short lines are the rule, so instead of one
// memchr call per line it marks the LF bytes of 64 bytes at a time in a bit mask and
// hands them out one by one.
class LfFinder {
public:
    LfFinder(const char* begin, const char* end) : m_block(begin), m_end(end) { m_mask = MaskAt(m_block); }

    // The next LF not yet handed out, or the end of the run.
    const char* Next() {
        while (m_mask == 0) {
            if (m_end - m_block <= kBlock) {
                return m_end;
            }
            m_block += kBlock;
            m_mask = MaskAt(m_block);
        }
        const int bit = __builtin_ctzll(m_mask);
        m_mask &= m_mask - 1;
        return m_block + bit;
    }

private:
    static constexpr std::ptrdiff_t kBlock = 64;

    std::uint64_t MaskAt(const char* block) const {
        const std::ptrdiff_t left = m_end - block;
#if defined(__SSE2__)
        if (left >= kBlock) {
            const __m128i lf = _mm_set1_epi8('\n');
            std::uint64_t mask = 0;
            for (int i = 0; i < 4; ++i) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
                const auto bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)));
                mask |= static_cast<std::uint64_t>(bits) << (16 * i);
            }
            return mask;
        }
#endif
        std::uint64_t mask = 0;
        for (std::ptrdiff_t i = 0; i < std::min(left, kBlock); ++i) {
            mask |= static_cast<std::uint64_t>(block[i] == '\n' ? 1 : 0) << i;
        }
        return mask;
    }

    const char* m_block;  // the 64 bytes the mask covers start here
    const char* m_end;
    std::uint64_t m_mask;  // LF bytes of the block not yet handed out
};

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
    if (bytes.empty()) {
        return;  // and an empty view may have no data pointer to search from
    }
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    // The next NUL byte at or after p (end when there is none): lines before it need no
    // NUL search of their own.
    auto findNul = [end](const char* from) {
        const void* nul = std::memchr(from, '\0', static_cast<size_t>(end - from));
        return nul != nullptr ? static_cast<const char*>(nul) : end;
    };
    const char* nextNul = findNul(p);
    detail::LfFinder lfs(p, end);
    while (p != end) {
        const char* lf = lfs.Next();
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

// Where bytes may be cut so that both sides split into the slots of the whole: the
// offset of the last slot start in (0, bytes.size()], for bytes that begin where a slot
// begins and whose end lies inside a line's text, at least two bytes before its LF or
// CR LF. The line in progress is read in 999-byte reads from its start (the byte after
// the last LF, else the first byte), so a cut at one of those starts leaves the
// remainder to read as a line of its own. Needs bytes.size() >= kSlotTextLimit when
// they hold no LF.
inline size_t LastSlotStart(std::string_view bytes) {
    size_t lineStart = 0;
    if (const void* lf = bytes.empty() ? nullptr : ::memrchr(bytes.data(), '\n', bytes.size())) {
        lineStart = static_cast<size_t>(static_cast<const char*>(lf) - bytes.data()) + 1;
    }
    return lineStart + (bytes.size() - lineStart) / kSlotTextLimit * kSlotTextLimit;
}

// The text of the first slot of bytes that begin at the start of a file line; empty
// when bytes are empty. Looks at no more than the first 1001 bytes.
std::string FirstSlotText(std::string_view followingBytes);

}  // namespace quorlet3
