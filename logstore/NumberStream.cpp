// A sequence of integers kept compactly, in memory or spilled to a temporary file.
#include "logstore/NumberStream.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace quorlet3 {
namespace {

[[noreturn]] void ThrowFileError(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

NumberStream::~NumberStream() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

NumberStream::NumberStream(NumberStream&& other) noexcept
    : m_spillBytes(other.m_spillBytes),
      m_bytes(std::move(other.m_bytes)),
      m_file(std::exchange(other.m_file, nullptr)) {}

NumberStream& NumberStream::operator=(NumberStream&& other) noexcept {
    if (this != &other) {
        if (m_file != nullptr) {
            std::fclose(m_file);
        }
        m_spillBytes = other.m_spillBytes;
        m_bytes = std::move(other.m_bytes);
        m_file = std::exchange(other.m_file, nullptr);
    }
    return *this;
}

void NumberStream::Add(std::span<const std::uint64_t> record) {
    for (std::uint64_t value : record) {
        while (value >= 0x80) {
            m_bytes += static_cast<char>((value & 0x7f) | 0x80);
            value >>= 7;
        }
        m_bytes += static_cast<char>(value);
    }
    if (m_spillBytes != 0 && m_bytes.size() >= m_spillBytes) {
        Spill();
    }
}

void NumberStream::Spill() {
    if (m_file == nullptr) {
        m_file = std::tmpfile();
        if (m_file == nullptr) {
            ThrowFileError("cannot make a temporary file");
        }
    }
    if (std::fwrite(m_bytes.data(), 1, m_bytes.size(), m_file) != m_bytes.size()) {
        ThrowFileError("cannot write a temporary file");
    }
    m_bytes.clear();
}

void NumberStream::ForEach(size_t recordSize, const std::function<void(const std::uint64_t*)>& each) const {
    std::vector<std::uint64_t> record(recordSize);
    size_t filled = 0;
    std::uint64_t value = 0;
    int shift = 0;
    auto decode = [&](const char* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
            if (byte >= 0x80) {
                shift += 7;
                continue;
            }
            record[filled++] = value;
            value = 0;
            shift = 0;
            if (filled == recordSize) {
                each(record.data());
                filled = 0;
            }
        }
    };
    if (m_file != nullptr) {
        if (std::fflush(m_file) != 0 || std::fseek(m_file, 0, SEEK_SET) != 0) {
            ThrowFileError("cannot read a temporary file");
        }
        std::vector<char> buffer(size_t{1} << 16);
        size_t got = 0;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), m_file)) > 0) {
            decode(buffer.data(), got);
        }
        if (std::ferror(m_file) != 0 || std::fseek(m_file, 0, SEEK_END) != 0) {
            ThrowFileError("cannot read a temporary file");
        }
    }
    decode(m_bytes.data(), m_bytes.size());
}

}  // namespace quorlet3
