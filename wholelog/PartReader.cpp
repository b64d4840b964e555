// Cuts a log into parts of whole lines, runs them on a thread pool and folds them in order.
#include "wholelog/PartReader.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

#include "logstore/LogLoader.h"
#include "wholelog/SlotSplitter.h"

namespace quorlet3 {
namespace {

// Raw bytes after a part that always hold its look-ahead slot (see FirstSlotText).
constexpr size_t kLookAhead = kSlotTextLimit + 2;

constexpr std::string_view kStandardInputName = "standard input";

class Source {
public:
    explicit Source(const std::string& path) : m_name(path == kStandardInput ? std::string(kStandardInputName) : path) {
        if (path == kStandardInput) {
            m_fd = STDIN_FILENO;
            m_owned = false;
        } else {
            // Non-blocking, so that a FIFO without a writer cannot hang the open.
            m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (m_fd < 0) {
                const int error = errno;
                throw LogFileError(m_name, std::string("cannot open: ") + std::strerror(error), OpenFailureCause(error),
                                   error);
            }
        }
        struct stat info {};
        if (::fstat(m_fd, &info) != 0) {
            const int error = errno;
            Close();
            throw LogFileError(m_name, std::string("cannot open: ") + std::strerror(error), OpenFailureCause(error),
                               error);
        }
        if (S_ISDIR(info.st_mode)) {
            Close();
            throw LogFileError(m_name, "cannot open: it is a directory", LogFileCause::NotRegularFile);
        }
        // A named pipe or socket is refused as the 10000-line loader refuses it; a pipe
        // comes in as standard input.
        if (m_owned && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))) {
            Close();
            throw LogFileError(m_name, "cannot open: it is a pipe or socket, not a file", LogFileCause::NotRegularFile);
        }
        // A device may never end (the loader stops after its 10000 lines; a whole log
        // would not): what a device gives comes in as standard input, chosen so.
        if (m_owned && (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))) {
            Close();
            throw LogFileError(m_name, "cannot open: it is a device, not a file", LogFileCause::NotRegularFile);
        }
        // Standard input is read as a stream even when it is a file: its offset is the shell's.
        m_regular = m_owned && S_ISREG(info.st_mode);
        m_size = m_regular ? static_cast<long long>(info.st_size) : -1;
    }
    ~Source() { Close(); }
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    const std::string& Name() const { return m_name; }
    bool IsRegular() const { return m_regular; }
    long long Size() const { return m_size; }

    // Reads exactly count bytes at offset of a regular file.
    void ReadAt(char* out, long long offset, size_t count) const {
        while (count > 0) {
            const ssize_t got = ::pread(m_fd, out, count, static_cast<off_t>(offset));
            if (got > 0) {
                out += got;
                offset += got;
                count -= static_cast<size_t>(got);
            } else if (got == 0) {
                throw LogFileError(m_name, "cannot read: the file became shorter while it was read",
                                   LogFileCause::FileShrank);
            } else if (errno != EINTR) {
                ThrowReadError();
            }
        }
    }

    // Reads up to count bytes of a stream; 0 only at its end. Waits for a stream that
    // was left non-blocking.
    size_t ReadSome(char* out, size_t count) const {
        for (;;) {
            const ssize_t got = ::read(m_fd, out, count);
            if (got >= 0) {
                return static_cast<size_t>(got);
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd wait{m_fd, POLLIN, 0};
                ::poll(&wait, 1, -1);
            } else if (errno != EINTR) {
                ThrowReadError();
            }
        }
    }

private:
    [[noreturn]] void ThrowReadError() const {
        const int error = errno;
        throw LogFileError(m_name, std::string("cannot read: ") + std::strerror(error), ReadFailureCause(error), error);
    }
    void Close() {
        if (m_owned && m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = -1;
    }

    std::string m_name;
    int m_fd = -1;
    bool m_owned = true;
    bool m_regular = false;
    long long m_size = -1;
};

// What the workers share: which parts may start, which are done, the fold in order,
// progress and the first failure.
class Pool {
public:
    Pool(const PartReadOptions& options, const std::function<void(long long)>& fold)
        : m_fold(fold), m_progress(options.progress) {
        const unsigned hardware = std::thread::hardware_concurrency();
        m_jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, hardware));
        m_window = 2LL * m_jobs;
    }

    int Jobs() const { return m_jobs; }

    // Waits until part index may start: the parts before it are close enough to folded
    // that few states are alive at once. False when the work has stopped.
    bool WaitForTurn(std::unique_lock<std::mutex>& lock, long long index) {
        m_changed.wait(lock, [&] { return m_stopped || MayStart(index); });
        return !m_stopped;
    }
    // The same test without waiting; the caller holds Mutex().
    bool MayStart(long long index) const { return index < m_nextFold + m_window; }

    // Records that part index is over (ran: its state is waiting to be folded) and folds
    // every part in order that can be, unless another thread is folding.
    void Finish(long long index, bool ran) {
        std::unique_lock lock(m_mutex);
        m_finished.emplace(index, ran);
        if (m_folding) {
            return;
        }
        m_folding = true;
        for (auto it = m_finished.begin(); !m_stopped && it != m_finished.end() && it->first == m_nextFold;
             it = m_finished.begin()) {
            const bool toFold = it->second;
            m_finished.erase(it);
            if (toFold) {
                const long long folding = m_nextFold;
                lock.unlock();
                try {
                    m_fold(folding);
                } catch (...) {
                    lock.lock();
                    StopLocked(std::current_exception());
                    break;
                }
                lock.lock();
            }
            ++m_nextFold;
            m_changed.notify_all();
        }
        m_folding = false;
    }

    void Fail(std::exception_ptr error) {
        const std::lock_guard lock(m_mutex);
        StopLocked(std::move(error));
    }

    void Progress(long long bytes, long long total) {
        if (!m_progress) {
            return;
        }
        const std::lock_guard lock(m_progressMutex);
        m_bytesRead += bytes;
        m_progress(m_bytesRead, total);
    }

    // Buffers of delta bytes more (or fewer) are held.
    void CountBuffers(long long delta) {
        const long long now = m_bufferBytes.fetch_add(delta) + delta;
        long long peak = m_peakBufferBytes.load();
        while (now > peak && !m_peakBufferBytes.compare_exchange_weak(peak, now)) {
        }
    }
    long long PeakBufferBytes() const { return m_peakBufferBytes.load(); }

    void RethrowFailure() {
        if (m_error) {
            std::rethrow_exception(m_error);
        }
    }

    std::mutex& Mutex() { return m_mutex; }
    std::condition_variable& Changed() { return m_changed; }
    bool Stopped() const { return m_stopped; }

private:
    void StopLocked(std::exception_ptr error) {
        if (!m_error) {
            m_error = std::move(error);
        }
        m_stopped = true;
        m_changed.notify_all();
    }

    const std::function<void(long long)>& m_fold;
    const std::function<void(long long, long long)>& m_progress;
    int m_jobs = 1;
    long long m_window = 2;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<long long, bool> m_finished;  // parts over but not folded yet: whether they ran
    long long m_nextFold = 0;
    bool m_folding = false;
    bool m_stopped = false;
    std::exception_ptr m_error;

    std::mutex m_progressMutex;
    long long m_bytesRead = 0;

    std::atomic<long long> m_bufferBytes{0};
    std::atomic<long long> m_peakBufferBytes{0};
};

// A worker's window on a regular file: bytes [base, base + size()) read so far.
class FileWindow {
public:
    // The window never needs more than maxBytes: it grows no further than that.
    FileWindow(const Source& source, Pool& pool, size_t maxBytes)
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
    const Source& m_source;
    Pool& m_pool;
    size_t m_maxBytes;
    std::unique_ptr<char[]> m_bytes;
    size_t m_capacity = 0;
    size_t m_size = 0;
    long long m_base = 0;
};

// A regular file: every worker takes the next part number, finds the part's lines with
// pread and runs it. Part i holds the lines that start in [i * partBytes, (i + 1) * partBytes).
void RunFileParts(const Source& source, ByteRange range, bool goesOn, size_t partBytes, Pool& pool,
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
void RunStreamParts(const Source& source, size_t partBytes, Pool& pool,
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
                const size_t got = source.ReadSome(current.data() + have, want - have);
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
    const Source source(path);
    Pool pool(options, fold);
    const size_t partBytes = std::max<size_t>(options.partBytes, 1);
    if (!options.dates.IsOpen()) {
        if (!source.IsRegular()) {
            throw LogFileError(source.Name(), "cannot find a date window: it is not a regular file",
                               LogFileCause::NotRegularFile);
        }
        RunFileParts(source, FindDateWindow(path, options.dates), false, partBytes, pool, run);
    } else if (options.range) {
        if (!source.IsRegular()) {
            throw LogFileError(source.Name(), "cannot read a part of it: it is not a regular file",
                               LogFileCause::NotRegularFile);
        }
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
