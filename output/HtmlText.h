// Building HTML and SVG text: one string appended to in order, with numbers, coordinates,
// escaped text and text from the log (cp932) decoded.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

#include "share/ShareClasses.h"

namespace quorlet3 {

// A coordinate written with at most two decimals: page << Coord{x}.
struct Coord {
    double value;
};

// A count as people read it, grouped by thousands: page << Grouped{4500555} writes "4,500,555".
struct Grouped {
    long long value;
};
std::string GroupedText(long long value);

class HtmlText {
public:
    HtmlText& operator<<(std::string_view raw) {
        m_out.append(raw);
        return *this;
    }
    HtmlText& operator<<(char c) {
        m_out.push_back(c);
        return *this;
    }
    HtmlText& operator<<(int value) { return *this << static_cast<long long>(value); }
    HtmlText& operator<<(long long value) {
        char text[24];
        const auto end = std::to_chars(text, text + sizeof text, value).ptr;
        m_out.append(text, end);
        return *this;
    }

    HtmlText& operator<<(Coord c);
    HtmlText& operator<<(Grouped g) { return *this << std::string_view(GroupedText(g.value)); }

    // UTF-8 text, escaped for element content and quoted attribute values alike.
    // C0 controls other than tab and line feed become U+FFFD (they are not text).
    void Escaped(std::string_view utf8);

    // Text from the log (cp932), decoded and escaped.
    void LogText(std::string_view cp932);

    bool empty() const { return m_out.empty(); }
    const std::string& str() const { return m_out; }
    std::string Take() { return std::move(m_out); }

private:
    std::string m_out;
};

// "#rrggbb".
std::string Colour(const Rgb& c);

}  // namespace quorlet3
