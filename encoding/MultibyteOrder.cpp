// cp932 character order and search.
#include "encoding/MultibyteOrder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace quorlet3 {
namespace {

// Value of the character at pos; advances pos past it.
unsigned NextCharacter(std::string_view s, size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos++]);
    if (IsLeadByte(lead) && pos < s.size()) {
        return lead * 256u + static_cast<unsigned char>(s[pos++]);
    }
    return lead;
}

}  // namespace

int CompareMultibyte(std::string_view a, std::string_view b) {
    // Skip the bytes both strings share, eight at a time where possible.
    const size_t shared = std::min(a.size(), b.size());
    size_t p = 0;
    for (;; p += 8) {
        if (p + 8 > shared) {
            while (p < shared && a[p] == b[p]) {
                ++p;
            }
            break;
        }
        uint64_t x;
        uint64_t y;
        std::memcpy(&x, a.data() + p, 8);
        std::memcpy(&y, b.data() + p, 8);
        if (x != y) {
            const uint64_t differ = x ^ y;
            p += static_cast<size_t>(std::endian::native == std::endian::little ? std::countr_zero(differ)
                                                                                : std::countl_zero(differ)) /
                 8;
            break;
        }
    }
    // Compare character by character from the start of the character holding byte p.
    // A byte outside the lead range always ends a character, so an odd run of
    // lead-range bytes just before p means byte p is the trail of the last of them.
    size_t leads = 0;
    while (leads < p && IsLeadByte(static_cast<unsigned char>(a[p - 1 - leads]))) {
        ++leads;
    }
    size_t i = p - (leads & 1);
    size_t j = i;
    while (i < a.size() && j < b.size()) {
        const unsigned x = NextCharacter(a, i);
        const unsigned y = NextCharacter(b, j);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (i < a.size()) {
        return 1;
    }
    if (j < b.size()) {
        return -1;
    }
    return 0;
}

size_t FindMultibyte(std::string_view text, char c) {
    // c is ASCII, so it never begins a character of two bytes; a hit is the trail byte
    // of one only when an odd run of lead-range bytes stands just before it (a byte
    // outside the lead range always ends a character).
    size_t from = 0;
    while (from < text.size()) {
        const void* hit = std::memchr(text.data() + from, c, text.size() - from);
        if (hit == nullptr) {
            return std::string_view::npos;
        }
        const size_t pos = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
        size_t leads = 0;
        while (leads < pos && IsLeadByte(static_cast<unsigned char>(text[pos - 1 - leads]))) {
            ++leads;
        }
        if ((leads & 1) == 0) {
            return pos;
        }
        from = pos + 1;
    }
    return std::string_view::npos;
}

}  // namespace quorlet3
