// The cp932 string order used wherever a report sorts or compares values.
#pragma once

#include <string_view>

namespace quorlet3 {

// True for the bytes that begin a double-byte character (0x81-0x9F, 0xE0-0xFC).
inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Compares character by character: a lead byte and the byte after it are one
// character worth lead * 256 + trail, any other byte (and a lead byte that ends the
// string) is worth its unsigned value. Negative, zero or positive like strcmp; zero
// exactly when the bytes are equal.
int CompareMultibyte(std::string_view a, std::string_view b);

inline bool MultibyteLess(std::string_view a, std::string_view b) { return CompareMultibyte(a, b) < 0; }

// Position of the first character c (an ASCII byte) in text, skipping the trail byte
// of every double-byte character; npos when there is none.
size_t FindMultibyte(std::string_view text, char c);

}  // namespace quorlet3
