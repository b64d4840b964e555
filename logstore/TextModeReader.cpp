// Text-mode reading: CR LF reads as LF, reads stop after an LF; and counting LF bytes fast.
#include "logstore/TextModeReader.h"

#include <algorithm>
#include <cstring>

namespace quorlet3 {

// Sixteen bytes at a time: each comparison gives 0xFF per LF, subtracted into byte
// counters that are summed before they can overflow.
long long CountLf(const char* p, size_t n) {
    using Bytes = unsigned char __attribute__((vector_size(16)));
    long long count = 0;
    size_t i = 0;
    while (n - i >= sizeof(Bytes)) {
        Bytes counters = {};
        const size_t steps = std::min<size_t>((n - i) / sizeof(Bytes), 255);
        for (size_t step = 0; step < steps; ++step, i += sizeof(Bytes)) {
            Bytes bytes;
            std::memcpy(&bytes, p + i, sizeof(Bytes));
            counters -= reinterpret_cast<Bytes>(bytes == '\n');
        }
        for (size_t k = 0; k < sizeof(Bytes); ++k) {
            count += counters[k];
        }
    }
    for (; i < n; ++i) {
        count += p[i] == '\n' ? 1 : 0;
    }
    return count;
}

size_t TextModeReader::ReadLine(char* out, size_t limit) {
    size_t n = 0;
    while (n < limit) {
        if (m_pos == m_end && !Fill()) {
            break;
        }
        // Copy the run before the next CR or LF in one piece.
        const char* start = m_data + m_pos;
        size_t run = std::min(m_end - m_pos, limit - n);
        if (const void* lf = std::memchr(start, '\n', run)) {
            run = static_cast<size_t>(static_cast<const char*>(lf) - start);
        }
        if (const void* cr = std::memchr(start, '\r', run)) {
            run = static_cast<size_t>(static_cast<const char*>(cr) - start);
        }
        std::memcpy(out + n, start, run);
        n += run;
        m_pos += run;
        if (n == limit || m_pos == m_end) {
            continue;
        }
        // At a CR or LF: a CR LF pair reads as one LF, a lone CR stays.
        const char c = m_data[m_pos++];
        if (c == '\r' && PeekRaw() == '\n') {
            ++m_pos;
            out[n++] = '\n';
            break;
        }
        out[n++] = c;
        if (c == '\n') {
            break;
        }
    }
    return n;
}

long long TextModeReader::SkipLines(long long count) {
    long long skipped = 0;
    while (skipped < count) {
        if (m_pos == m_end && !Fill()) {
            break;
        }
        // A buffer with fewer LF bytes than are left to pass is passed whole;
        // otherwise the last one to pass is in it.
        const long long inBuffer = CountLf(m_data + m_pos, m_end - m_pos);
        if (skipped + inBuffer < count) {
            skipped += inBuffer;
            m_pos = m_end;
            continue;
        }
        while (skipped < count) {
            const void* lf = std::memchr(m_data + m_pos, '\n', m_end - m_pos);
            m_pos = static_cast<size_t>(static_cast<const char*>(lf) - m_data) + 1;
            ++skipped;
        }
    }
    return skipped;
}

int TextModeReader::PeekRaw() {
    if (m_pos == m_end && !Fill()) {
        return -1;
    }
    return static_cast<unsigned char>(m_data[m_pos]);
}

bool TextModeReader::Fill() {
    if (m_eof) {
        return false;
    }
    if (m_file == nullptr) {
        m_eof = m_memory.empty();
        if (m_eof) {
            return false;
        }
        m_data = m_memory.data();
        m_pos = 0;
        m_end = m_memory.size();
        m_consumed += static_cast<long long>(m_end);
        m_memory = {};
        return true;
    }
    size_t want = sizeof m_buffer;
    if (m_limit >= 0) {
        want = static_cast<size_t>(std::clamp<long long>(m_limit - m_consumed, 0, static_cast<long long>(want)));
        if (want == 0) {
            m_eof = true;
            return false;
        }
    }
    const size_t got = m_file->Read(m_buffer, want);
    if (got == 0) {
        m_eof = true;
        return false;
    }
    m_data = m_buffer;
    m_pos = 0;
    m_end = got;
    m_consumed += static_cast<long long>(got);
    return true;
}

}  // namespace quorlet3
