// Building report text: printf-style appends over cp932 byte strings.
#pragma once

#include <string>

#include "encoding/Cp932Literal.h"

namespace quorlet3 {

// Appends the formatted text to out (printf rules; cp932 bytes pass through unchanged).
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

namespace detail {
// AppendFormat for a format whose arguments were checked while compiling.
void AppendCheckedFormat(std::string& out, const char* format, ...);
}  // namespace detail

// The same for a cp932 format written "..."_sjf: the format's conversions are checked
// against the arguments' types at compile time.
template <char... U, class... Args>
void AppendFormat(std::string& out, Cp932Format<U...> format, Args... args) {
    static_assert(Cp932Format<U...>::template Fits<Args...>());
    detail::AppendCheckedFormat(out, format.c_str(), args...);
}

// Appends count copies of mark (nothing for a count of 0 or less): the bar of a row.
inline void AppendBar(std::string& out, char mark, long long count) {
    if (count > 0) {
        out.append(static_cast<size_t>(count), mark);
    }
}

// The longest a scaled bar is drawn, in signs.
inline constexpr long long kScaledBarWidth = 60;

// Counts per sign of a scaled bar: 1 while the largest count fits kScaledBarWidth, else
// the least number that makes it fit.
inline long long BarUnit(long long largest) {
    return largest <= kScaledBarWidth ? 1 : (largest + kScaledBarWidth - 1) / kScaledBarWidth;
}

// The bar of count at unit counts per sign, rounded up: any count above 0 shows.
inline void AppendScaledBar(std::string& out, char mark, long long count, long long unit) {
    AppendBar(out, mark, count <= 0 ? 0 : (count + unit - 1) / unit);
}

// What one sign stands for, on a line of its own ("* 1 個 = 5 回"), when unit is above 1.
void AppendBarUnitLine(std::string& out, char mark, long long unit, const char* countWord);

}  // namespace quorlet3
