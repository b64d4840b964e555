// A sequence of integers kept compactly: variable-length bytes in memory and, when asked,
// in a temporary file once they pass a size, so that a list of millions of findings
// takes little memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

namespace quorlet3 {

class NumberStream {
public:
    // With spillBytes, bytes past that many go to a temporary file (made when first
    // needed); 0 keeps them all in memory.
    explicit NumberStream(size_t spillBytes = 0) : m_spillBytes(spillBytes) {}
    ~NumberStream();
    NumberStream(NumberStream&& other) noexcept;
    NumberStream& operator=(NumberStream&& other) noexcept;
    NumberStream(const NumberStream&) = delete;
    NumberStream& operator=(const NumberStream&) = delete;

    // Appends one record of values. A record is never split between file and memory.
    void Add(std::span<const std::uint64_t> record);

    // Calls each(record) for every record in order; records of recordSize values, as added.
    // Throws std::runtime_error when the temporary file cannot be read back.
    void ForEach(size_t recordSize, const std::function<void(const std::uint64_t*)>& each) const;

    bool Empty() const { return m_bytes.empty() && m_file == nullptr; }

    // Signed values as unsigned ones of about their size: 0, -1, 1, -2, ... as 0, 1, 2, 3, ...
    static std::uint64_t Zigzag(long long value) {
        return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
    }
    static long long Unzigzag(std::uint64_t value) {
        return static_cast<long long>(value >> 1) ^ -static_cast<long long>(value & 1);
    }

private:
    void Spill();

    size_t m_spillBytes = 0;
    std::string m_bytes;
    std::FILE* m_file = nullptr;
};

}  // namespace quorlet3
