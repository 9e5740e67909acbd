#pragma once

#include "platform/rtf/RtfDocumentBuilder.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <vector>

// Carries batches from the thread that reads RTF to the thread that owns the document, in order.
// At most a few batches wait at a time: a reader far ahead only waits, and the buffers of
// batches put in go back to the reader for reuse.
class RtfBatchQueue final : public RtfBatchSink {
public:
    // What Take() raises on the reading thread once the other side has given up.
    struct Cancelled {};

    // Reading side: queues the batch and gives back an empty one; waits while the queue is full.
    void Take(RtfBatch &batch) override;
    // Reading side, at the end: no more batches; `error` is raised again by Drain().
    void Close(std::exception_ptr error = nullptr);

    // Document side: passes every batch on to `into` until the queue is closed, then raises the
    // reading side's error, if any. When `into` fails, the reading side is stopped (its next
    // Take() raises Cancelled) and the error goes on.
    void Drain(RtfBatchSink &into);

private:
    bool Next(RtfBatch &batch);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<RtfBatch> m_full;
    std::vector<RtfBatch> m_empty;
    bool m_closed = false;
    bool m_cancelled = false;
    std::exception_ptr m_error;
};
