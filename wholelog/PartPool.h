// What the threads of a whole-log read share: which parts may start, the fold in file
// order, progress, the buffers' peak and the first failure.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <map>
#include <mutex>

#include "wholelog/PartReader.h"

namespace quorlet3::detail {

class PartPool {
public:
    PartPool(const PartReadOptions& options, const std::function<void(long long)>& fold);

    int Jobs() const { return m_jobs; }

    // Waits until part index may start: the parts before it are close enough to folded
    // that few states are alive at once. False when the work has stopped.
    bool WaitForTurn(std::unique_lock<std::mutex>& lock, long long index);
    // The same test without waiting; the caller holds Mutex().
    bool MayStart(long long index) const { return index < m_nextFold + m_window; }

    // Records that part index is over (ran: its state is waiting to be folded) and folds
    // every part in order that can be, unless another thread is folding.
    void Finish(long long index, bool ran);
    // Stops the work; the first failure is the one rethrown.
    void Fail(std::exception_ptr error);
    // bytes more of total (-1 for a stream) were read.
    void Progress(long long bytes, long long total);
    // Buffers of delta bytes more (or fewer) are held.
    void CountBuffers(long long delta);
    long long PeakBufferBytes() const { return m_peakBufferBytes.load(); }
    void RethrowFailure();

    std::mutex& Mutex() { return m_mutex; }
    std::condition_variable& Changed() { return m_changed; }
    bool Stopped() const { return m_stopped; }

private:
    void StopLocked(std::exception_ptr error);

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

}  // namespace quorlet3::detail
