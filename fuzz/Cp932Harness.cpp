// The cp932 differential harness: decoder, multibyte order and multibyte search, each
// against a reference that follows the documented rule one character at a time.
#include "fuzz/Cp932Harness.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "encoding/Cp932.h"
#include "encoding/MultibyteOrder.h"
#include "fuzz/Cp932DecodeTable.h"
#include "reports/ReportRun.h"

namespace quorlet3::fuzz {
namespace {

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char byte : bytes.substr(0, 64)) {
        const auto c = static_cast<unsigned char>(byte);
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
        out += ' ';
    }
    return out + (bytes.size() > 64 ? "..." : "");
}

// The code point of a cp932 code (a byte, or lead * 256 + trail), if it decodes.
std::optional<char32_t> TableLookup(unsigned code) {
    const auto table = std::begin(cp932::kDecodeTable);
    const auto end = std::end(cp932::kDecodeTable);
    const auto it = std::lower_bound(table, end, code << 16);
    if (it == end || *it >> 16 != code) {
        return std::nullopt;
    }
    return static_cast<char32_t>(*it & 0xFFFF);
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decoding as documented: a byte below 0x80 is itself; otherwise the byte, or the
// byte and the next one, when the table lists that code; anything else is one U+FFFD
// per byte, and decoding goes on with the next byte.
std::string ReferenceDecode(std::string_view bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
        } else if (const auto single = TableLookup(b)) {
            AppendUtf8(out, *single);
            ++i;
        } else if (const auto pair = i + 1 < bytes.size()
                                         ? TableLookup(b * 256u + static_cast<unsigned char>(bytes[i + 1]))
                                         : std::nullopt) {
            AppendUtf8(out, *pair);
            i += 2;
        } else {
            AppendUtf8(out, U'\uFFFD');
            ++i;
        }
    }
    return out;
}

// The characters of a string as the multibyte order sees them: a lead byte and the
// byte after it are one character worth lead * 256 + trail, any other byte (and a lead
// byte that ends the string) its unsigned value. Also the start of each character.
struct Characters {
    std::vector<unsigned> values;
    std::vector<size_t> starts;
};

Characters Split(std::string_view s) {
    Characters chars;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        chars.starts.push_back(i);
        if (IsLeadByte(b) && i + 1 < s.size()) {
            chars.values.push_back(b * 256u + static_cast<unsigned char>(s[i + 1]));
            i += 2;
        } else {
            chars.values.push_back(b);
            ++i;
        }
    }
    return chars;
}

int ReferenceCompare(std::string_view a, std::string_view b) {
    const std::vector<unsigned> x = Split(a).values;
    const std::vector<unsigned> y = Split(b).values;
    if (std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end())) {
        return -1;
    }
    return std::lexicographical_compare(y.begin(), y.end(), x.begin(), x.end()) ? 1 : 0;
}

size_t ReferenceFind(std::string_view text, char c) {
    const Characters chars = Split(text);
    for (size_t k = 0; k < chars.values.size(); ++k) {
        if (chars.values[k] == static_cast<unsigned char>(c)) {
            return chars.starts[k];
        }
    }
    return std::string_view::npos;
}

int Sign(int v) { return (v > 0) - (v < 0); }

std::string CheckDecode(std::string_view bytes) {
    const std::string decoded = DecodeCp932ToUtf8(bytes);
    if (decoded != ReferenceDecode(bytes)) {
        return "decode differs from the reference for " + Hex(bytes);
    }
    if (!IsUtf8(decoded)) {
        return "decode gave text that is not UTF-8 for " + Hex(bytes);
    }
    // Whatever encodes back decodes to the same text (cp932 has several codes for some
    // characters, so the bytes may differ).
    if (const std::optional<std::string> encoded = EncodeUtf8ToCp932(decoded)) {
        if (DecodeCp932ToUtf8(*encoded) != decoded) {
            return "encoding the decoded text does not decode back for " + Hex(bytes);
        }
    } else if (decoded.find("\uFFFD") == std::string::npos) {
        return "decoded text without replacements does not encode for " + Hex(bytes);
    }
    return {};
}

std::string CheckOrder(std::string_view a, std::string_view b) {
    const int got = Sign(CompareMultibyte(a, b));
    if (got != ReferenceCompare(a, b)) {
        return "CompareMultibyte(" + Hex(a) + ", " + Hex(b) + ") is " + std::to_string(got);
    }
    if (Sign(CompareMultibyte(b, a)) != -got) {
        return "CompareMultibyte is not antisymmetric for " + Hex(a) + " and " + Hex(b);
    }
    if ((got == 0) != (a == b)) {
        return "CompareMultibyte is zero for different bytes " + Hex(a) + " and " + Hex(b);
    }
    return {};
}

std::string CheckFind(std::string_view text) {
    // Every ASCII byte of the text, and a few the reports search for.
    std::string wanted = "?/.\\|";
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x80 && wanted.find(c) == std::string::npos && wanted.size() < 24) {
            wanted += c;
        }
    }
    for (char c : wanted) {
        const size_t got = FindMultibyte(text, c);
        if (got != ReferenceFind(text, c)) {
            return "FindMultibyte(" + Hex(text) + ", " + std::to_string(c) + ") is " + std::to_string(got);
        }
    }
    return {};
}

}  // namespace

std::string RunCp932Input(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (std::string broken = CheckDecode(bytes); !broken.empty()) {
        return broken;
    }
    if (std::string broken = CheckFind(bytes); !broken.empty()) {
        return broken;
    }
    // The order: the input split at its first byte 0x0A into two strings, then each
    // string against its own prefixes, which share every byte up to where they end.
    const size_t split = std::min(bytes.find('\n'), bytes.size());
    const std::string_view a = bytes.substr(0, split);
    const std::string_view b = bytes.substr(std::min(split + 1, bytes.size()));
    if (std::string broken = CheckOrder(a, b); !broken.empty()) {
        return broken;
    }
    for (size_t cut : {a.size() / 2, a.size() - std::min<size_t>(a.size(), 1)}) {
        if (std::string broken = CheckOrder(a, a.substr(0, cut)); !broken.empty()) {
            return broken;
        }
    }
    return {};
}

}  // namespace quorlet3::fuzz
