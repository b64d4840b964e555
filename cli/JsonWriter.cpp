// A small streaming JSON writer appending to one string.
#include "cli/JsonWriter.h"

#include <array>
#include <charconv>

#include "cli/ReportRun.h"

namespace quorlet3 {
namespace {

// For each byte: 0 copies it as it is, 'u' writes \u00XX, anything else follows a backslash.
constexpr std::array<char, 256> MakeEscapes() {
    std::array<char, 256> escapes{};
    for (int c = 0; c < 0x20; ++c) {
        escapes[static_cast<size_t>(c)] = 'u';
    }
    escapes['\b'] = 'b';
    escapes['\f'] = 'f';
    escapes['\n'] = 'n';
    escapes['\r'] = 'r';
    escapes['\t'] = 't';
    escapes['"'] = '"';
    escapes['\\'] = '\\';
    return escapes;
}
constexpr std::array<char, 256> kEscapes = MakeEscapes();

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

void AppendJsonEscaped(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    size_t run = 0;  // start of the bytes not yet copied
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const char escape = kEscapes[c];
        if (escape == 0) {
            continue;
        }
        out.append(text.data() + run, i - run);
        run = i + 1;
        if (escape == 'u') {
            const char code[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
            out.append(code, sizeof code);
        } else {
            const char code[] = {'\\', escape};
            out.append(code, sizeof code);
        }
    }
    out.append(text.data() + run, text.size() - run);
}

void JsonWriter::Key(std::string_view name) {
    BeforeValue();
    m_out += '"';
    m_out += name;
    m_out += "\":";
    m_needComma = false;
}

void JsonWriter::Int(long long value) {
    BeforeValue();
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    m_out.append(digits, static_cast<size_t>(end - digits));
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    m_out += value ? "true" : "false";
}

void JsonWriter::Utf8(std::string_view text) {
    BeforeValue();
    m_out += '"';
    AppendJsonEscaped(m_out, text);
    m_out += '"';
}

void JsonWriter::Cp932(std::string_view text) {
    // ASCII bytes are the same in cp932 and UTF-8; only other text needs the decoder.
    if (IsAscii(text)) {
        Utf8(text);
    } else {
        Utf8(LogTextToUtf8(text));
    }
}

}  // namespace quorlet3
