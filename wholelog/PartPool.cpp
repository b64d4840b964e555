// The threads of a whole-log read: parts start in a window ahead of the fold, which runs in file order.
#include "wholelog/PartPool.h"

#include <algorithm>
#include <thread>

namespace quorlet3::detail {

PartPool::PartPool(const PartReadOptions& options, const std::function<void(long long)>& fold)
    : m_fold(fold), m_progress(options.progress) {
    const unsigned hardware = std::thread::hardware_concurrency();
    m_jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, hardware));
    m_window = 2LL * m_jobs;
}

bool PartPool::WaitForTurn(std::unique_lock<std::mutex>& lock, long long index) {
    m_changed.wait(lock, [&] { return m_stopped || MayStart(index); });
    return !m_stopped;
}

void PartPool::Finish(long long index, bool ran) {
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

void PartPool::Fail(std::exception_ptr error) {
    const std::lock_guard lock(m_mutex);
    StopLocked(std::move(error));
}

void PartPool::Progress(long long bytes, long long total) {
    if (!m_progress) {
        return;
    }
    const std::lock_guard lock(m_progressMutex);
    m_bytesRead += bytes;
    m_progress(m_bytesRead, total);
}

void PartPool::CountBuffers(long long delta) {
    const long long now = m_bufferBytes.fetch_add(delta) + delta;
    long long peak = m_peakBufferBytes.load();
    while (now > peak && !m_peakBufferBytes.compare_exchange_weak(peak, now)) {
    }
}

void PartPool::RethrowFailure() {
    if (m_error) {
        std::rethrow_exception(m_error);
    }
}

void PartPool::StopLocked(std::exception_ptr error) {
    if (!m_error) {
        m_error = std::move(error);
    }
    m_stopped = true;
    m_changed.notify_all();
}

}  // namespace quorlet3::detail
