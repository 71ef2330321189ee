// A walk over a run of records in ascending order, for the search and the
// tools that look at every record. The calling thread reads the stored bytes
// a chunk of records at a time, with one read per run of records stored one
// after another, deciphers and checks their heads and charges the walk's
// budget; worker threads inflate; the calling thread is handed each record in
// order. The walk touches the document only on the calling thread, and only
// before it hands over a record or after the visitor asked to go on.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "document/manager.h"
#include "document/record_codec.h"

namespace q3::doc {

// Two inflate workers where the machine has two cores or more, none (the
// calling thread inflates) on one.
int DefaultWalkWorkers();

class RecordWalk {
  public:
    // Each record of the run: its number, whether it could be read, and its
    // content when it could. Returns false to end the walk at once.
    using Visitor =
        std::function<bool(int32_t record, RecordError error, const std::string& content)>;

    RecordWalk(TQBXManage& document, int32_t first, int32_t last,
               int workers = DefaultWalkWorkers());
    ~RecordWalk();
    RecordWalk(const RecordWalk&) = delete;
    RecordWalk& operator=(const RecordWalk&) = delete;

    // Visits first .. last. The record the budget cannot pay for is visited
    // with kWalkTooLarge and ends the walk; the result is then false (the
    // document is damaged), true otherwise. Called once.
    bool Run(const Visitor& visit);

    // A chunk ends after this many records, or earlier once it holds this
    // many stored or charged bytes. Every chunk costs two thread wake-ups,
    // which on a virtual machine cost about as much as inflating a small
    // page: fifty-record chunks left the second core a third idle.
    static constexpr int32_t kChunkRecords = 400;
    static constexpr uint64_t kChunkStoredBytes = uint64_t{8} << 20;
    static constexpr uint64_t kChunkContentBytes = uint64_t{32} << 20;

  private:
    struct Slot {
        int32_t record = 0;
        RecordError error = RecordError::kOk;
        size_t at = 0;  // in the chunk's bytes
        size_t length = 0;
        uint32_t offset = 0;
        uint32_t check = 0;
        std::string content;
    };
    // Records stored one after another, read at once into a chunk's bytes.
    struct Span {
        uint32_t offset = 0;
        size_t at = 0;
        size_t size = 0;
        size_t first = 0;  // its slots: first .. end - 1
        size_t end = 0;
    };
    struct Chunk {
        std::vector<Slot> slots;
        std::vector<Span> spans;
        size_t used = 0;      // slots of this round
        uint64_t weight = 0;  // stored plus charged bytes of this round
        std::unique_ptr<char[]> bytes;
        size_t capacity = 0;
        bool inflated = false;
    };

    // Fills chunk with the records from next_ on; false when none are left.
    bool Prepare(Chunk& chunk);
    size_t PlanSlots(Chunk& chunk);
    void ReadSpans(Chunk& chunk, size_t planned);
    void CheckHeads(Chunk& chunk, size_t planned);
    void Reserve(Chunk& chunk, size_t size);
    static void InflateAll(Chunk& chunk, const std::atomic<bool>* cancel);
    static void ReleaseLarge(Chunk& chunk);
    void Work();
    void Queue(Chunk& chunk);
    void AwaitInflated(Chunk& chunk);

    TQBXManage& document_;
    int64_t next_;
    int64_t last_;
    DecodeBudget budget_;
    bool damaged_ = false;
    std::vector<std::unique_ptr<Chunk>> chunks_;

    std::mutex mutex_;
    std::condition_variable work_ready_;
    std::condition_variable chunk_done_;
    std::deque<Chunk*> queue_;
    std::atomic<bool> cancel_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace q3::doc
