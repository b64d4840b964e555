// Cuts a log into parts of whole lines, runs them on a thread pool and folds them in order.
#include "wholelog/PartReader.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

#include "logstore/LogFile.h"
#include "wholelog/PartPool.h"
#include "wholelog/SlotSplitter.h"

namespace quorlet3 {
namespace {

// Raw bytes after a part that always hold its look-ahead slot (see FirstSlotText).
constexpr size_t kLookAhead = kSlotTextLimit + 2;

// A whole log is read from a regular file by offset, or from standard input as a stream,
// whatever it is but a directory. A device under a path is refused, for it may never end
// (the 10000-line loader stops after its reads; a whole log would not): what a device
// gives comes in as standard input, chosen so.
constexpr LogOpening kWholeLog{.standardInput = true, .refuseInputFolder = true, .devices = false};

using detail::PartPool;

// A worker's window on a regular file: bytes [base, base + size()) read so far.
class FileWindow {
public:
    // The window never needs more than maxBytes: it grows no further than that.
    FileWindow(const LogFile& source, PartPool& pool, size_t maxBytes)
        : m_source(source), m_pool(pool), m_maxBytes(maxBytes) {}
    ~FileWindow() { m_pool.CountBuffers(-static_cast<long long>(m_capacity)); }
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    // Reads [from, to) afresh, reusing the buffer.
    void ReadRange(long long from, long long to) {
        m_base = from;
        m_size = 0;
        Extend(to);
    }
    // Reads on until the window reaches to (or the end of the file).
    void Extend(long long to) {
        to = std::min(to, m_source.Size());
        const long long have = End();
        if (to <= have) {
            return;
        }
        const auto wanted = static_cast<size_t>(to - m_base);
        if (wanted > m_capacity) {
            // Grown without zeroing: every byte is read before it is looked at.
            const size_t capacity = std::max(wanted, std::min(2 * m_capacity, m_maxBytes));
            auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
            if (m_size != 0) {  // the first buffer has nothing to keep (and no address to copy from)
                std::memcpy(bigger.get(), m_bytes.get(), m_size);
            }
            m_bytes = std::move(bigger);
            m_pool.CountBuffers(static_cast<long long>(capacity - m_capacity));
            m_capacity = capacity;
        }
        m_source.ReadAt(m_bytes.get() + m_size, have, wanted - m_size);
        m_size = wanted;
    }
    long long Base() const { return m_base; }
    long long End() const { return m_base + static_cast<long long>(m_size); }
    const char* At(long long offset) const { return m_bytes.get() + (offset - m_base); }
    std::string_view View(long long from, long long to) const { return {At(from), static_cast<size_t>(to - from)}; }

    // The offset of the first LF in [from, to), or -1.
    long long FindLf(long long from, long long to) const {
        if (from >= to) {
            return -1;
        }
        const void* lf = std::memchr(At(from), '\n', static_cast<size_t>(to - from));
        return lf != nullptr ? from + (static_cast<const char*>(lf) - At(from)) : -1;
    }

private:
    const LogFile& m_source;
    PartPool& m_pool;
    size_t m_maxBytes;
    std::unique_ptr<char[]> m_bytes;
    size_t m_capacity = 0;
    size_t m_size = 0;
    long long m_base = 0;
};

// A regular file: every worker takes the next part number, finds the part's lines with
// pread and runs it. Part i holds the lines that start in [i * partBytes, (i + 1) * partBytes).
void RunFileParts(const LogFile& source, ByteRange range, bool goesOn, size_t partBytes, PartPool& pool,
                  const std::function<void(const PartInput&)>& run) {
    // The bytes read end at the range's end as if the file ended there.
    const long long size = range.end;
    const long long length = range.end - range.begin;
    const auto step = static_cast<long long>(partBytes);
    const long long parts = length == 0 ? 1 : (length + step - 1) / step;
    long long nextPart = 0;

    // A window of two parts and the look-ahead is searched for the LF that ends a part
    // before a line that goes on past it is handed out in pieces.
    const long long windowBytes = 2 * step + static_cast<long long>(kLookAhead);
    // Bytes known to hold no LF, [from, to): parts that lie wholly inside a long line that
    // an earlier part reads are passed over without reading them again.
    struct LfFree {
        long long from = 0;
        long long to = 0;
    } lfFree;
    std::mutex lfFreeMutex;
    auto knownWithoutLf = [&](long long from, long long to) {
        const std::lock_guard lock(lfFreeMutex);
        return lfFree.from <= from && to <= lfFree.to;
    };
    auto noLfIn = [&](long long from, long long to) {
        const std::lock_guard lock(lfFreeMutex);
        if (to > lfFree.to) {
            lfFree = {from, to};
        }
    };
    auto runPart = [&](FileWindow& window, long long index) {
        const long long nominalStart = range.begin + index * step;
        const long long nominalEnd = std::min(size, nominalStart + step);
        const long long readFrom = std::max(range.begin, nominalStart - 1);
        if (index > 0 && knownWithoutLf(readFrom, nominalEnd - 1)) {
            return false;  // inside a line that started in an earlier part
        }
        window.ReadRange(readFrom, nominalEnd + static_cast<long long>(kLookAhead));
        // A line starts in the part when the byte before it, an LF, lies in [start - 1, end - 1).
        long long start = range.begin;
        if (index > 0) {
            const long long lf = window.FindLf(readFrom, nominalEnd - 1);
            if (lf < 0) {
                return false;  // inside a line that started in an earlier part
            }
            start = lf + 1;
        }
        PartInput input;
        input.index = index;
        std::string nextSlot;
        bool walked = false;
        // The part ends after the first LF at or after nominalEnd - 1: its last line's end.
        input.forEachPiece = [&](const std::function<void(std::string_view)>& each) {
            walked = true;
            long long pieceStart = start;
            const long long searchFrom = std::max(start, nominalEnd - 1);
            long long searched = searchFrom;  // no LF in [searchFrom, searched)
            long long end = size;
            // An empty range has no line to find: the search would run on past its end.
            while (start < size) {
                const long long lf = window.FindLf(searched, window.End());
                if (lf >= 0) {
                    end = lf + 1;
                    break;
                }
                searched = window.End();
                noLfIn(searchFrom, searched);
                if (searched >= size) {
                    break;
                }
                // The window starts at most a part and a byte before pieceStart: once it
                // holds windowBytes, a slot start lies well after pieceStart.
                if (searched - window.Base() < windowBytes) {
                    window.Extend(window.Base() + windowBytes);
                    continue;
                }
                // A line longer than a part: hand out the window up to a slot start two
                // bytes or more before its end (no LF lies there) and read on from there.
                const long long cut =
                    pieceStart + static_cast<long long>(LastSlotStart(window.View(pieceStart, searched - 2)));
                each(window.View(pieceStart, cut));
                pool.Progress(cut - pieceStart, length);
                pieceStart = cut;
                window.ReadRange(cut, cut + windowBytes);  // searched lies in it: cut is at most 1001 bytes before
            }
            input.isLast = end == size && !goesOn;
            if (!input.isLast) {
                window.Extend(end + static_cast<long long>(kLookAhead));
                nextSlot =
                    FirstSlotText(window.View(end, std::min(window.End(), end + static_cast<long long>(kLookAhead))));
            }
            input.nextSlot = nextSlot;
            each(window.View(pieceStart, end));
            if (end > pieceStart) {
                pool.Progress(end - pieceStart, length);
            }
        };
        run(input);
        if (!walked) {
            input.forEachPiece([](std::string_view) {});
        }
        return true;
    };

    auto worker = [&] {
        FileWindow window(source, pool, static_cast<size_t>(windowBytes) + 2 * kLookAhead);
        for (;;) {
            long long index = 0;
            {
                std::unique_lock lock(pool.Mutex());
                if (nextPart >= parts || !pool.WaitForTurn(lock, nextPart)) {
                    return;
                }
                index = nextPart++;
            }
            bool ran = false;
            try {
                ran = runPart(window, index);
            } catch (...) {
                pool.Fail(std::current_exception());
                return;
            }
            pool.Finish(index, ran);
        }
    };
    std::vector<std::jthread> threads;
    threads.reserve(static_cast<size_t>(pool.Jobs()));
    for (int i = 0; i < pool.Jobs(); ++i) {
        threads.emplace_back(worker);
    }
}

// A stream: the calling thread reads it in order and cuts it into parts after an LF;
// the workers run them. Buffers go back and forth, about two per worker.
void RunStreamParts(const LogFile& source, size_t partBytes, PartPool& pool,
                    const std::function<void(const PartInput&)>& run) {
    struct Part {
        long long index = 0;
        std::vector<char> bytes;  // the part's lines and the bytes read after them
        size_t length = 0;        // the part's lines
        std::string nextSlot;
        bool isLast = false;
    };
    std::deque<Part> queue;
    std::vector<std::vector<char>> spare;
    bool producing = true;
    const auto capacity = static_cast<size_t>(pool.Jobs());

    auto worker = [&] {
        for (;;) {
            Part part;
            {
                std::unique_lock lock(pool.Mutex());
                pool.Changed().wait(lock, [&] {
                    return pool.Stopped() || (queue.empty() ? !producing : pool.MayStart(queue.front().index));
                });
                if (pool.Stopped() || queue.empty()) {
                    return;
                }
                part = std::move(queue.front());
                queue.pop_front();
                pool.Changed().notify_all();
            }
            try {
                PartInput input;
                input.forEachPiece = [&part](const std::function<void(std::string_view)>& each) {
                    each(std::string_view(part.bytes.data(), part.length));
                };
                input.nextSlot = part.nextSlot;
                input.isLast = part.isLast;
                input.index = part.index;
                run(input);
            } catch (...) {
                pool.Fail(std::current_exception());
                return;
            }
            pool.Finish(part.index, true);
            const std::lock_guard lock(pool.Mutex());
            spare.push_back(std::move(part.bytes));
        }
    };

    std::vector<std::jthread> threads;
    threads.reserve(static_cast<size_t>(pool.Jobs()));
    for (int i = 0; i < pool.Jobs(); ++i) {
        threads.emplace_back(worker);
    }
    auto finishProducing = [&] {
        const std::lock_guard lock(pool.Mutex());
        producing = false;
        pool.Changed().notify_all();
    };
    try {
        std::vector<char> current;
        size_t have = 0;
        bool atEnd = false;
        // Resizes a buffer, counting what its capacity grew by.
        auto resize = [&pool](std::vector<char>& buffer, size_t size) {
            const size_t before = buffer.capacity();
            buffer.resize(size);
            pool.CountBuffers(static_cast<long long>(buffer.capacity() - before));
        };
        // Reads until have reaches want or the stream ends.
        auto readTo = [&](size_t want) {
            if (current.size() < want) {
                if (want > current.capacity()) {
                    // Room for the most a part reads (a part and two look-aheads) at once,
                    // rather than a buffer that doubles past it.
                    const size_t before = current.capacity();
                    current.reserve(std::max(want, partBytes + 3 * kLookAhead));
                    pool.CountBuffers(static_cast<long long>(current.capacity() - before));
                }
                resize(current, want);
            }
            const size_t before = have;
            while (have < want && !atEnd) {
                const size_t got = source.ReadWaiting(current.data() + have, want - have);
                atEnd = got == 0;
                have += got;
            }
            if (have > before) {
                pool.Progress(static_cast<long long>(have - before), -1);
            }
        };
        auto takeSpare = [&] {
            const std::lock_guard lock(pool.Mutex());
            std::vector<char> buffer;
            if (!spare.empty()) {
                buffer = std::move(spare.back());
                spare.pop_back();
            }
            return buffer;
        };
        for (long long index = 0;; ++index) {
            readTo(partBytes + 2 * kLookAhead);
            if (have == 0 && index > 0) {
                break;  // unreachable in practice: the part before saw the end
            }
            // The part ends after the first LF at or after byte partBytes - 1. A line that
            // goes on past what was read is cut where one of its reads starts, a look-ahead
            // or more before the end (no LF lies there), so that no part grows with it.
            size_t from = std::min(partBytes, have);
            from = from > 0 ? from - 1 : 0;
            size_t cut = have;
            if (const void* lf = std::memchr(current.data() + from, '\n', have - from)) {
                cut = static_cast<size_t>(static_cast<const char*>(lf) - current.data()) + 1;
            } else if (!atEnd) {
                cut = LastSlotStart(std::string_view(current.data(), have - kLookAhead));
            }
            readTo(cut + kLookAhead);
            Part part;
            part.index = index;
            part.length = cut;
            part.isLast = atEnd && cut == have;
            part.nextSlot = FirstSlotText(std::string_view(current.data() + cut, have - cut));
            std::vector<char> next = takeSpare();
            resize(next, std::max(next.size(), have - cut));
            std::copy(current.begin() + static_cast<std::ptrdiff_t>(cut),
                      current.begin() + static_cast<std::ptrdiff_t>(have), next.begin());
            have -= cut;
            part.bytes = std::move(current);
            current = std::move(next);
            const bool last = part.isLast;
            {
                std::unique_lock lock(pool.Mutex());
                pool.Changed().wait(lock, [&] { return pool.Stopped() || queue.size() < capacity; });
                if (pool.Stopped()) {
                    break;
                }
                queue.push_back(std::move(part));
                pool.Changed().notify_all();
            }
            if (last) {
                break;
            }
        }
    } catch (...) {
        pool.Fail(std::current_exception());
    }
    finishProducing();
}

}  // namespace

namespace detail {

void RunParts(const std::string& path, const PartReadOptions& options, const std::function<void(const PartInput&)>& run,
              const std::function<void(long long)>& fold) {
    const LogFile source(path, kWholeLog);
    PartPool pool(options, fold);
    const size_t partBytes = std::max<size_t>(options.partBytes, 1);
    if (!options.dates.IsOpen()) {
        source.RequireRegular(LogFailure::NoDateWindow);
        RunFileParts(source, FindDateWindow(source, options.dates), false, partBytes, pool, run);
    } else if (options.range) {
        source.RequireRegular(LogFailure::NoPartOfIt);
        RunFileParts(source, *options.range, options.rangeGoesOn, partBytes, pool, run);
    } else if (source.IsRegular()) {
        RunFileParts(source, {0, source.Size()}, false, partBytes, pool, run);
    } else {
        RunStreamParts(source, partBytes, pool, run);
    }
    if (options.peakBufferBytes != nullptr) {
        *options.peakBufferBytes = pool.PeakBufferBytes();
    }
    pool.RethrowFailure();
}

}  // namespace detail
}  // namespace quorlet3
