// Writing an accumulator's state to bytes and reading it back. Each accumulator lists its
// members once, in a Keep(ar) member that both directions share:
//     template <class Ar> void Keep(Ar& ar) { ar(m_total, m_counts); }
// Numbers are written as 8 little-endian bytes, texts and containers with their length
// first. The reader checks every length against the bytes left and throws StateError on
// anything it cannot read; the file around the bytes carries the checksum.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quorlet3 {

class StateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace detail {
template <class T>
struct IsStdArray : std::false_type {};
template <class T, size_t N>
struct IsStdArray<std::array<T, N>> : std::true_type {};
template <class T>
struct IsPair : std::false_type {};
template <class A, class B>
struct IsPair<std::pair<A, B>> : std::true_type {};
template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};
}  // namespace detail

class StateWriter {
public:
    static constexpr bool kLoading = false;

    template <class... T>
    void operator()(const T&... values) {
        (Put(values), ...);
    }

    const std::string& Bytes() const { return m_bytes; }

    void Number(std::uint64_t value) {
        char bytes[8];
        for (char& b : bytes) {
            b = static_cast<char>(value & 0xFF);
            value >>= 8;
        }
        m_bytes.append(bytes, 8);
    }

    void Text(std::string_view text) {
        Number(text.size());
        m_bytes.append(text);
    }

    template <class T>
    void Put(const T& value) {
        if constexpr (std::is_same_v<T, bool>) {
            Number(value ? 1 : 0);
        } else if constexpr (std::is_enum_v<T>) {
            Number(static_cast<std::uint64_t>(static_cast<std::underlying_type_t<T>>(value)));
        } else if constexpr (std::is_integral_v<T>) {
            Number(static_cast<std::uint64_t>(value));
        } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::string_view>) {
            Text(value);
        } else if constexpr (detail::IsPair<T>::value) {
            Put(value.first);
            Put(value.second);
        } else if constexpr (detail::IsOptional<T>::value) {
            Put(value.has_value());
            if (value) {
                Put(*value);
            }
        } else if constexpr (detail::IsStdArray<T>::value) {
            for (const auto& item : value) {
                Put(item);
            }
        } else if constexpr (requires {
                                 value.begin();
                                 value.size();
                             }) {
            Number(value.size());
            for (const auto& item : value) {
                Put(item);
            }
        } else {
            // A class lists its members in Keep; writing does not change them.
            const_cast<T&>(value).Keep(*this);  // NOLINT(cppcoreguidelines-pro-type-const-cast)
        }
    }

private:
    std::string m_bytes;
};

class StateReader {
public:
    static constexpr bool kLoading = true;

    explicit StateReader(std::string_view bytes) : m_in(bytes) {}

    template <class... T>
    void operator()(T&... values) {
        (Get(values), ...);
    }

    bool AtEnd() const { return m_in.empty(); }

    std::uint64_t Number() {
        if (m_in.size() < 8) {
            throw StateError("cut short");
        }
        std::uint64_t value = 0;
        for (int i = 7; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(m_in[static_cast<size_t>(i)]);
        }
        m_in.remove_prefix(8);
        return value;
    }

    // A count of items that each take at least one number: never more than the bytes left allow.
    size_t Count() {
        const std::uint64_t count = Number();
        if (count > m_in.size() / 8 + 1) {
            throw StateError("a count larger than its bytes");
        }
        return static_cast<size_t>(count);
    }

    std::string_view Text() {
        const std::uint64_t size = Number();
        if (size > m_in.size()) {
            throw StateError("a text longer than its bytes");
        }
        const std::string_view text = m_in.substr(0, static_cast<size_t>(size));
        m_in.remove_prefix(static_cast<size_t>(size));
        return text;
    }

    template <class T>
    void Get(T& value) {
        if constexpr (std::is_same_v<T, bool>) {
            const std::uint64_t n = Number();
            if (n > 1) {
                throw StateError("not a truth value");
            }
            value = n == 1;
        } else if constexpr (std::is_enum_v<T>) {
            value = static_cast<T>(static_cast<std::underlying_type_t<T>>(Number()));
        } else if constexpr (std::is_same_v<T, long long>) {
            // Counts, line and guest numbers and offsets: never below 0, and far enough
            // from overflow that sums of them stay exact.
            const std::uint64_t n = Number();
            if (n > (std::uint64_t{1} << 56)) {
                throw StateError("a count out of range");
            }
            value = static_cast<long long>(n);
        } else if constexpr (std::is_signed_v<T>) {
            const auto n = static_cast<std::int64_t>(Number());
            if (n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max()) {
                throw StateError("a number out of range");
            }
            value = static_cast<T>(n);
        } else if constexpr (std::is_integral_v<T>) {
            const std::uint64_t n = Number();
            if (n > std::numeric_limits<T>::max()) {
                throw StateError("a number out of range");
            }
            value = static_cast<T>(n);
        } else if constexpr (std::is_same_v<T, std::string>) {
            value = std::string(Text());
        } else if constexpr (detail::IsPair<T>::value) {
            Get(value.first);
            Get(value.second);
        } else if constexpr (detail::IsOptional<T>::value) {
            bool has = false;
            Get(has);
            value.reset();
            if (has) {
                Get(value.emplace());
            }
        } else if constexpr (detail::IsStdArray<T>::value) {
            for (auto& item : value) {
                Get(item);
            }
        } else if constexpr (requires { typename T::mapped_type; }) {
            value.clear();
            const size_t count = Count();
            for (size_t i = 0; i < count; ++i) {
                typename T::key_type key{};
                typename T::mapped_type mapped{};
                Get(key);
                Get(mapped);
                if (!value.emplace(std::move(key), std::move(mapped)).second) {
                    throw StateError("a key twice");
                }
            }
        } else if constexpr (requires { value.push_back(typename T::value_type{}); }) {
            value.clear();
            const size_t count = Count();
            for (size_t i = 0; i < count; ++i) {
                typename T::value_type item{};
                Get(item);
                value.push_back(std::move(item));
            }
        } else {
            value.Keep(*this);
        }
    }

private:
    std::string_view m_in;
};

}  // namespace quorlet3
