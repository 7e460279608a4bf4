#include "generate/zip_workers.h"

#include "platform/cancel_flag.h"

#include <chrono>

namespace zpak {

namespace {

// A cancel flag may be set from a signal handler, which cannot wake a waiting
// thread: the writer looks at it this often while it waits.
constexpr std::chrono::milliseconds kCancelPoll{20};

}  // namespace

ZipWorkers::ZipWorkers(unsigned threads, const CancelFlag* cancel) : cancel_(cancel)
{
    for (unsigned i = 0; i < threads; ++i)
        threads_.emplace_back([this] { Work(); });
}

ZipWorkers::~ZipWorkers()
{
    {
        const std::scoped_lock lock(mutex_);
        stopping_ = true;
    }
    added_.notify_all();
    threads_.clear();
}

void ZipWorkers::Add(ZipPiece piece)
{
    auto work = std::make_unique<ZipWork>();
    work->piece = std::move(piece);
    {
        const std::scoped_lock lock(mutex_);
        queue_.push_back(std::move(work));
    }
    added_.notify_one();
}

std::size_t ZipWorkers::Count()
{
    const std::scoped_lock lock(mutex_);
    return queue_.size();
}

std::unique_ptr<ZipWork> ZipWorkers::TakeOldest()
{
    std::unique_lock lock(mutex_);
    while (!queue_.front()->done) {
        if (Cancelled())
            return nullptr;
        packed_.wait_for(lock, kCancelPoll);
    }
    std::unique_ptr<ZipWork> oldest = std::move(queue_.front());
    queue_.pop_front();
    --started_;
    return oldest;
}

void ZipWorkers::Recycle(std::unique_ptr<ZipWork> work)
{
    buffers_.Give(std::move(work->packed.buffer));
}

bool ZipWorkers::Cancelled() const
{
    return cancel_ && cancel_->IsSet();
}

void ZipWorkers::Work()
{
    PieceCompressor compressor(buffers_);
    std::unique_lock lock(mutex_);
    for (;;) {
        added_.wait(lock, [this] { return stopping_ || started_ < queue_.size(); });
        if (stopping_)
            return;
        ZipWork& work = *queue_[started_++];
        lock.unlock();
        // Once cancelled, what is left is skipped rather than packed.
        PackedPiece packed;
        if (Cancelled())
            packed.result = kZipCancelled;
        else
            packed = compressor.Pack(work.piece);
        lock.lock();
        work.packed = std::move(packed);
        work.done = true;
        packed_.notify_one();
    }
}

}  // namespace zpak
