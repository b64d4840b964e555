// Building report text: printf-style appends over cp932 byte strings.
#pragma once

#include <string>

namespace quorlet3 {

// Appends the formatted text to out (printf rules; cp932 bytes pass through unchanged).
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Appends count copies of mark (nothing for a count of 0 or less): the bar of a row.
inline void AppendBar(std::string& out, char mark, int count) {
    if (count > 0) {
        out.append(static_cast<size_t>(count), mark);
    }
}

}  // namespace quorlet3
