#include "output/HtmlText.h"

#include <algorithm>
#include <cmath>

#include "encoding/Cp932.h"

namespace quorlet3 {

HtmlText& HtmlText::operator<<(Coord c) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, std::round(c.value * 100) / 100).ptr;
    m_out.append(text, end);
    return *this;
}

std::string GroupedText(long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const std::string_view text(digits, static_cast<size_t>(end - digits));
    const size_t sign = value < 0 ? 1 : 0;
    std::string grouped(text.substr(0, sign));
    for (size_t i = sign; i < text.size(); ++i) {
        if (i > sign && (text.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += text[i];
    }
    return grouped;
}

void HtmlText::Escaped(std::string_view utf8) {
    size_t plain = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        std::string_view replacement;
        switch (c) {
            case '&':
                replacement = "&amp;";
                break;
            case '<':
                replacement = "&lt;";
                break;
            case '>':
                replacement = "&gt;";
                break;
            case '"':
                replacement = "&quot;";
                break;
            case '\'':
                replacement = "&#39;";
                break;
            default:
                if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') || c == '\x7f') {
                    replacement = "\xEF\xBF\xBD";
                } else {
                    continue;
                }
        }
        m_out.append(utf8.substr(plain, i - plain));
        m_out.append(replacement);
        plain = i + 1;
    }
    m_out.append(utf8.substr(plain));
}

void HtmlText::LogText(std::string_view cp932) {
    // ASCII needs no decoding.
    const bool ascii = std::all_of(cp932.begin(), cp932.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii) {
        Escaped(cp932);
    } else {
        Escaped(DecodeCp932ToUtf8(cp932));
    }
}

std::string Colour(const Rgb& c) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "#";
    for (int v : {c.red, c.green, c.blue}) {
        text += kHex[(v >> 4) & 15];
        text += kHex[v & 15];
    }
    return text;
}

}  // namespace quorlet3
