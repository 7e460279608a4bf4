#pragma once

#include "generate/zip_piece.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zpak {

class CancelFlag;

// A piece and, once a worker is through with it, the result.
struct ZipWork {
    ZipPiece piece;
    PackedPiece packed;
    bool done = false;
};

// Packs pieces on worker threads and gives them back in the order they were
// added, whatever order they finish in: the archive's bytes do not depend on
// the number of threads or their timing. Add and TakeOldest belong to one
// thread, the archive's writer.
class ZipWorkers {
public:
    ZipWorkers(unsigned threads, const CancelFlag* cancel);
    ZipWorkers(const ZipWorkers&) = delete;
    ZipWorkers& operator=(const ZipWorkers&) = delete;
    // Drops the pieces not started and waits for those being packed.
    ~ZipWorkers();

    void Add(ZipPiece piece);
    // The pieces added and not taken yet.
    std::size_t Count();
    // Waits for the oldest piece not taken yet; null when the run is
    // cancelled first. There must be one.
    std::unique_ptr<ZipWork> TakeOldest();
    // Keeps the buffer of a piece that is written, for the pieces to come.
    void Recycle(std::unique_ptr<ZipWork> work);

private:
    void Work();
    bool Cancelled() const;

    const CancelFlag* cancel_;
    PieceBuffers buffers_;
    std::mutex mutex_;
    std::condition_variable added_;
    std::condition_variable packed_;
    std::deque<std::unique_ptr<ZipWork>> queue_;  // oldest first
    std::size_t started_ = 0;                     // the first pieces of queue_ that workers took
    bool stopping_ = false;
    std::vector<std::jthread> threads_;
};

}  // namespace zpak
