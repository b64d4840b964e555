// cp932 character order and search.
#include "tally/MultibyteOrder.h"

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
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        // Equal single bytes that cannot begin a double-byte character compare equal
        // as characters too; this keeps the common ASCII case cheap.
        const auto ca = static_cast<unsigned char>(a[i]);
        if (ca == static_cast<unsigned char>(b[j]) && !IsLeadByte(ca)) {
            ++i;
            ++j;
            continue;
        }
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
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == c) {
            return pos;
        }
        pos += IsLeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
    }
    return std::string_view::npos;
}

}  // namespace quorlet3
