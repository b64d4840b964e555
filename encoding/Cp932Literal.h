// cp932 texts written as UTF-8 in the source.
//
// Report texts, menu texts and the log lines tests and tools build are cp932
// (Shift-JIS) bytes, but the source stays readable UTF-8: a narrow string literal with
// the suffix _sj or _sjf is converted while compiling, by a constexpr lookup in
// encoding/Cp932Table.h. That table holds every character the C library's iconv
// converts to CP932 (scripts/gen-cp932-tables.py writes it), so the bytes are the ones
// iconv gives, and no compiler option for the execution character set is needed: GCC
// and Clang build the same bytes.
//
//   "ファイル検査\r\n"_sj   a const char[N] of static storage: the cp932 bytes and a
//                          NUL, usable wherever a string literal is (const char*,
//                          std::string, std::string_view, sizeof, constexpr).
//   "%d行目\r\n"_sjf        a printf format for AppendFormat (logstore/ReportText.h);
//                          its conversions are checked against the argument types at
//                          compile time (the compiler's own check sees no literal).
//
// The literal must be valid UTF-8 and every character must exist in cp932, or it does
// not compile; raw bytes ("\x81") belong in ordinary literals, not in these. ASCII,
// including '\\' and '~', stays as it is. A double-byte character may have 0x5C ('\\')
// or 0x7C ('|') as its second byte (表 is 95 5C); it is just a byte of the array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "encoding/Cp932Table.h"

namespace quorlet3::cp932 {

// The UTF-8 text of a literal, with a closing NUL. The literal operators take the
// text as a pack of characters, not as one object of class type: Clang 14 crashes
// printing a call of a function that has such an object as its template argument.
template <char... U>
inline constexpr char kUtf8[] = {U..., '\0'};

// Reached only while compiling a literal that cannot be converted; being no constexpr
// function, it turns the mistake into a compile error that names it.
void LiteralIsNotValidUtf8();
void LiteralHoldsACharacterThatCp932Lacks();

// The code point of the UTF-8 sequence at pos (advanced past it).
constexpr std::uint32_t NextCodePoint(const char* text, std::size_t length, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(text[i])); };
    const std::uint32_t lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t extra = 0;
    std::uint32_t value = 0;
    std::uint32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        value = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        value = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        LiteralIsNotValidUtf8();
    }
    if (pos + extra >= length) {
        LiteralIsNotValidUtf8();
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        if ((byte(pos + k) & 0xC0) != 0x80) {
            LiteralIsNotValidUtf8();
        }
        value = value << 6 | (byte(pos + k) & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        LiteralIsNotValidUtf8();
    }
    pos += extra + 1;
    return value;
}

// The cp932 code of a code point above U+007F (below 0x100: one byte).
constexpr std::uint32_t EncodeCodePoint(std::uint32_t codePoint) {
    std::size_t low = 0;
    std::size_t high = sizeof kEncodeTable / sizeof kEncodeTable[0];
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        const std::uint32_t key = kEncodeTable[mid] >> 16;
        if (key == codePoint) {
            return kEncodeTable[mid] & 0xFFFF;
        }
        if (key < codePoint) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    LiteralHoldsACharacterThatCp932Lacks();
    return 0;
}

// Converted bytes in an array as long as the UTF-8 text (cp932 never needs more);
// size tells how many are used.
template <std::size_t N>
struct Converted {
    char bytes[N]{};
    std::size_t size = 0;
};

template <std::size_t N>
constexpr Converted<N> Convert(const char (&utf8)[N]) {
    Converted<N> out;
    std::size_t pos = 0;
    while (pos < N - 1) {
        const std::uint32_t codePoint = NextCodePoint(utf8, N - 1, pos);
        if (codePoint < 0x80) {
            out.bytes[out.size++] = static_cast<char>(codePoint);
            continue;
        }
        const std::uint32_t code = EncodeCodePoint(codePoint);
        if (code > 0xFF) {
            out.bytes[out.size++] = static_cast<char>(code >> 8);
        }
        out.bytes[out.size++] = static_cast<char>(code & 0xFF);
    }
    return out;
}

// The cp932 bytes of one literal.
template <char... U>
inline constexpr Converted<sizeof...(U) + 1> kConverted = Convert(kUtf8<U...>);

// The bytes in static storage: an array of exactly their length plus the NUL.
template <char... C>
inline constexpr char kBytes[] = {C..., '\0'};

template <char... U, std::size_t... I>
constexpr const auto& StoredBytes(std::index_sequence<I...>) {
    return kBytes<kConverted<U...>.bytes[I]...>;
}

template <char... U>
constexpr const auto& Literal() {
    return StoredBytes<U...>(std::make_index_sequence<kConverted<U...>.size>());
}

// What a conversion takes, and what an argument is.
enum class ArgKind { Int, LongLong, CharPointer, Other };

template <class T>
constexpr ArgKind KindOf() {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_pointer_v<U> && std::is_same_v<std::remove_cv_t<std::remove_pointer_t<U>>, char>) {
        return ArgKind::CharPointer;
    } else if constexpr (std::is_integral_v<U> && sizeof(U) <= sizeof(int)) {
        return ArgKind::Int;  // promoted to int or unsigned int
    } else if constexpr (std::is_same_v<U, long long>) {
        return ArgKind::LongLong;
    } else {
        return ArgKind::Other;
    }
}

// The arguments a format takes, in order; valid is false at a conversion it does not know.
struct FormatArgs {
    ArgKind kinds[32]{};
    std::size_t count = 0;
    bool valid = true;
};

// The report texts need six conversions: %d, %lld (counts), %02d (two digits, as in
// dates), %s, %.*s (a counted part of a text) and %%. Anything else is refused, so that every format is
// one of those the tests cover.
constexpr FormatArgs ParseFormat(const char* format, std::size_t length) {
    FormatArgs args;
    auto take = [&](ArgKind kind) {
        if (args.count == sizeof args.kinds / sizeof args.kinds[0]) {
            args.valid = false;
        } else {
            args.kinds[args.count++] = kind;
        }
    };
    auto at = [&](std::size_t i) { return i < length ? format[i] : '\0'; };
    for (std::size_t i = 0; i < length && args.valid; ++i) {
        if (format[i] != '%') {
            continue;
        }
        ++i;
        if (at(i) == '%') {
            continue;
        }
        if (at(i) == 'd') {
            take(ArgKind::Int);
        } else if (at(i) == 'l' && at(i + 1) == 'l' && at(i + 2) == 'd') {
            take(ArgKind::LongLong);
            i += 2;
        } else if (at(i) == '0' && at(i + 1) == '2' && at(i + 2) == 'd') {
            take(ArgKind::Int);
            i += 2;
        } else if (at(i) == 's') {
            take(ArgKind::CharPointer);
        } else if (at(i) == '.' && at(i + 1) == '*' && at(i + 2) == 's') {
            take(ArgKind::Int);
            take(ArgKind::CharPointer);
            i += 2;
        } else {
            args.valid = false;
        }
    }
    return args;
}

void FormatHasAConversionNotSupportedHere();
void FormatTakesAnotherNumberOfArguments();
void FormatArgumentDoesNotMatchItsConversion();

// True when the arguments fit the format's conversions; otherwise does not compile.
template <char... U, class... Args>
constexpr bool FormatFits(std::type_identity<Args>...) {
    constexpr FormatArgs expected = ParseFormat(kUtf8<U...>, sizeof...(U));
    if (!expected.valid) {
        FormatHasAConversionNotSupportedHere();
    }
    if (expected.count != sizeof...(Args)) {
        FormatTakesAnotherNumberOfArguments();
    }
    constexpr ArgKind given[] = {KindOf<Args>()..., ArgKind::Other};
    for (std::size_t i = 0; i < sizeof...(Args); ++i) {
        if (given[i] != expected.kinds[i]) {
            FormatArgumentDoesNotMatchItsConversion();
        }
    }
    return true;
}

}  // namespace quorlet3::cp932

namespace quorlet3 {

// A cp932 printf format made by _sjf; AppendFormat takes it.
template <char... U>
struct Cp932Format {
    static constexpr const char* c_str() { return cp932::Literal<U...>(); }
    template <class... Args>
    static constexpr bool Fits() {
        return cp932::FormatFits<U...>(std::type_identity<Args>()...);
    }
};

inline namespace literals {

// String literal operator templates over a pack of characters are an extension that
// GCC and Clang share; see kUtf8 for why they are used.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wgnu-string-literal-operator-template"
#endif

template <class Char, Char... U>
constexpr const auto& operator""_sj() {
    static_assert(std::is_same_v<Char, char>, "_sj takes a narrow literal");
    return cp932::Literal<U...>();
}

template <class Char, Char... U>
constexpr Cp932Format<U...> operator""_sjf() {
    static_assert(std::is_same_v<Char, char>, "_sjf takes a narrow literal");
    return {};
}

#pragma GCC diagnostic pop

}  // namespace literals
}  // namespace quorlet3
