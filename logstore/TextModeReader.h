// A log's bytes as a text-mode stream, as the 10000-line loader reads them.
#pragma once

#include <cstddef>
#include <string_view>

#include "logstore/LogFile.h"

namespace quorlet3 {

// The number of LF bytes in [p, p + n).
long long CountLf(const char* p, size_t n);

// Delivers a log's bytes as a text-mode stream: each CR LF pair reads as one LF, any
// other CR stays. Reads the file in order from where its sequential reads stand.
class TextModeReader {
public:
    // start is the file offset the file reads from next; limit (when not negative) the
    // offset at which the stream ends as if the file ended there.
    explicit TextModeReader(const LogFile& file, long long start = 0, long long limit = -1)
        : m_file(&file), m_consumed(start), m_limit(limit) {}
    // Bytes already in memory, delivered as one block as if read from a file.
    explicit TextModeReader(std::string_view bytes) : m_memory(bytes) {}

    // Reads up to limit bytes of the text stream into out, stopping after the first
    // LF. Returns the number of bytes read, 0 at the end of the file.
    size_t ReadLine(char* out, size_t limit);

    // Passes over raw bytes up to and including the next count LF bytes, with no
    // translation: a window starts at a file-line start, and a CR before the LF
    // belongs to the line passed over. Returns the number of LF bytes passed, fewer
    // than count when the file ends first.
    long long SkipLines(long long count);

    // File offset of the next raw byte the reader delivers.
    long long Offset() const { return m_consumed - static_cast<long long>(m_end - m_pos); }

private:
    int PeekRaw();
    bool Fill();

    const LogFile* m_file = nullptr;  // null for bytes in memory
    std::string_view m_memory;        // bytes in memory not yet delivered
    char m_buffer[65536];
    const char* m_data = m_buffer;  // the current block: the buffer, or the bytes in memory
    size_t m_pos = 0;
    size_t m_end = 0;
    long long m_consumed = 0;  // file offset just after the bytes read into the buffer so far
    long long m_limit = -1;
    bool m_eof = false;
};

}  // namespace quorlet3
