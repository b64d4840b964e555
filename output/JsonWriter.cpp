// A small streaming JSON writer appending to one string.
#include "output/JsonWriter.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "reports/ReportRun.h"

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

// Copies text, escaping as it goes, up to the first byte of 0x80 or more; returns that
// byte's index (text.size() when there is none).
size_t AppendEscapedAscii(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    // Most text needs no escape: it is skipped eight bytes at a time while none of them
    // is a control byte, a quote, a backslash or a byte of 0x80 or more.
    constexpr uint64_t kOnes = 0x0101010101010101;
    constexpr uint64_t kHighs = 0x8080808080808080;
    auto anyZero = [](uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    auto plainEight = [&](size_t at) {
        uint64_t v = 0;
        std::memcpy(&v, text.data() + at, 8);
        return (((v - kOnes * 0x20) & ~v & kHighs) | anyZero(v ^ (kOnes * uint64_t{'"'})) |
                anyZero(v ^ (kOnes * uint64_t{'\\'})) | (v & kHighs)) == 0;
    };
    size_t run = 0;  // start of the bytes not yet copied
    size_t i = 0;
    while (i < text.size()) {
        if (i + 8 <= text.size() && plainEight(i)) {
            i += 8;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            break;
        }
        const char escape = kEscapes[c];
        if (escape != 0) {
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
        ++i;
    }
    out.append(text.data() + run, i - run);
    return i;
}

}  // namespace

void AppendJsonEscaped(std::string& out, std::string_view text) {
    // Bytes of 0x80 and more need no escape: each run of them is copied in one piece.
    while (!text.empty()) {
        const size_t stop = AppendEscapedAscii(out, text);
        size_t next = stop;
        while (next < text.size() && static_cast<unsigned char>(text[next]) >= 0x80) {
            ++next;
        }
        out.append(text.data() + stop, next - stop);
        text.remove_prefix(next);
    }
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

void JsonWriter::Written(std::string_view json) {
    BeforeValue();
    m_out += json;
}

std::string JsonWriter::Cp932String(std::string_view text) {
    std::string json;
    JsonWriter(json).Cp932(text);
    return json;
}

void JsonWriter::Cp932(std::string_view text) {
    BeforeValue();
    m_out += '"';
    // ASCII is the same in cp932 and UTF-8, and no multibyte character begins below
    // 0x80, so only the text from the first byte of 0x80 or more needs the decoder.
    const size_t ascii = AppendEscapedAscii(m_out, text);
    if (ascii < text.size()) {
        AppendJsonEscaped(m_out, LogTextToUtf8(text.substr(ascii)));
    }
    m_out += '"';
}

}  // namespace quorlet3
