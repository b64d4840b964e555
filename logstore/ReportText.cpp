// printf-style appending for report text.
#include "logstore/ReportText.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace quorlet3 {
namespace {

// Writes the format's conversions exactly as printf would, for those reports use:
// %d in decimal, %s up to its NUL, %.*s up to its precision or an earlier NUL (all of
// it for a negative precision), and %%. '%' never occurs inside a double-byte
// character, so the format's cp932 text is copied byte for byte. Returns false, with
// out as it was, at the first other conversion.
bool AppendSimple(std::string& out, const char* format, va_list args) {
    const size_t start = out.size();
    const char* p = format;
    for (;;) {
        const char* q = ::strchrnul(p, '%');
        out.append(p, static_cast<size_t>(q - p));
        if (*q == '\0') {
            return true;
        }
        if (q[1] == 'd') {
            char digits[16];
            const auto result = std::to_chars(digits, digits + sizeof digits, va_arg(args, int));
            out.append(digits, result.ptr);
            p = q + 2;
        } else if (q[1] == 'l' && q[2] == 'l' && q[3] == 'd') {
            char digits[24];
            const auto result = std::to_chars(digits, digits + sizeof digits, va_arg(args, long long));
            out.append(digits, result.ptr);
            p = q + 4;
        } else if (q[1] == 's') {
            out.append(va_arg(args, const char*));
            p = q + 2;
        } else if (q[1] == '%') {
            out += '%';
            p = q + 2;
        } else if (q[1] == '.' && q[2] == '*' && q[3] == 's') {
            const int precision = va_arg(args, int);
            const char* text = va_arg(args, const char*);
            // An empty view may carry a null pointer; printf reads nothing for precision 0.
            if (precision != 0) {
                out.append(text, precision < 0 ? std::strlen(text) : ::strnlen(text, static_cast<size_t>(precision)));
            }
            p = q + 4;
        } else {
            out.resize(start);
            return false;
        }
    }
}

// The formatting behind both AppendFormat forms; args is used up.
__attribute__((format(printf, 2, 0))) void AppendFormatV(std::string& out, const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    const bool done = AppendSimple(out, format, args);
    if (done) {
        va_end(again);
        return;
    }
    char small[256];
    va_list last;
    va_copy(last, again);
    const int needed = std::vsnprintf(small, sizeof small, format, again);
    va_end(again);
    if (needed < 0) {
        va_end(last);
        return;
    }
    if (static_cast<size_t>(needed) < sizeof small) {
        out.append(small, static_cast<size_t>(needed));
    } else {
        const size_t start = out.size();
        out.resize(start + static_cast<size_t>(needed) + 1);
        std::vsnprintf(out.data() + start, static_cast<size_t>(needed) + 1, format, last);
        out.resize(start + static_cast<size_t>(needed));
    }
    va_end(last);
}

}  // namespace

void AppendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(out, format, args);
    va_end(args);
}

// The format comes from a "..."_sjf literal whose conversions were checked against the
// arguments when the caller was compiled; the compiler cannot see that here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
void detail::AppendCheckedFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(out, format, args);
    va_end(args);
}
#pragma GCC diagnostic pop

void AppendBarUnitLine(std::string& out, char mark, long long unit, const char* countWord) {
    if (unit > 1) {
        out += mark;
        AppendFormat(out, " 1 個 = %lld %s\r\n"_sjf, unit, countWord);
    }
}

}  // namespace quorlet3
