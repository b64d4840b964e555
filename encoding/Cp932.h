// Conversion between cp932 (Shift-JIS) bytes and UTF-8 at the display edges.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorlet3 {

// Decodes cp932 bytes to UTF-8. Never fails: every byte that does not begin a valid
// character (and a lead byte cut off at the end) becomes U+FFFD; nothing is dropped.
std::string DecodeCp932ToUtf8(std::string_view cp932);

// Encodes UTF-8 text to cp932. Returns nothing when the text is not valid UTF-8
// or holds a character that cp932 cannot represent.
std::optional<std::string> EncodeUtf8ToCp932(std::string_view utf8);

// Turns CR LF line ends into LF (for terminal output).
std::string CrLfToLf(std::string_view text);

}  // namespace quorlet3
