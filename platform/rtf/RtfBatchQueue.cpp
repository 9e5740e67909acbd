#include "platform/rtf/RtfBatchQueue.h"

namespace {

// Enough to keep both threads busy when one runs ahead for a while; a batch holds up to 512K
// characters (about 1.5 MB with its runs).
constexpr std::size_t kDepth = 3;

} // namespace

void RtfBatchQueue::Take(RtfBatch &batch) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_full.size() < kDepth || m_cancelled; });
    if (m_cancelled)
        throw Cancelled();
    m_full.push_back(std::move(batch));
    batch = RtfBatch();
    if (!m_empty.empty()) {
        std::swap(batch, m_empty.back());
        m_empty.pop_back();
    }
    m_changed.notify_all();
}

void RtfBatchQueue::Close(std::exception_ptr error) {
    const std::lock_guard lock(m_mutex);
    m_closed = true;
    m_error = std::move(error);
    m_changed.notify_all();
}

bool RtfBatchQueue::Next(RtfBatch &batch) {
    std::unique_lock lock(m_mutex);
    m_empty.push_back(std::move(batch));
    m_changed.wait(lock, [this] { return !m_full.empty() || m_closed; });
    if (m_full.empty())
        return false;
    batch = std::move(m_full.front());
    m_full.pop_front();
    m_changed.notify_all();
    return true;
}

void RtfBatchQueue::Drain(RtfBatchSink &into) {
    RtfBatch batch;
    try {
        while (Next(batch))
            into.Take(batch);
    } catch (...) {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_changed.notify_all();
        throw;
    }
    if (m_error)
        std::rethrow_exception(m_error);
}
