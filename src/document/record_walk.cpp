#include "document/record_walk.h"

#include <sched.h>

#include <algorithm>
#include <system_error>

namespace q3::doc {

namespace {

// Bytes between two records that are read along rather than asked for with a
// read of its own: one call costs more than copying this much.
constexpr uint64_t kMaxGap = uint64_t{64} << 10;
// What the chunks on their way to the visitor may hold together (stored and
// charged bytes); at least one chunk is always on its way.
constexpr uint64_t kInFlightBytes = uint64_t{64} << 20;
// Record contents above this are given back once visited, so one huge record
// does not keep its memory for the rest of the walk.
constexpr size_t kContentKeep = size_t{1} << 20;

}  // namespace

int DefaultWalkWorkers() {
    cpu_set_t set;
    CPU_ZERO(&set);
    int cores = 0;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        cores = CPU_COUNT(&set);
    if (cores <= 0)
        cores = static_cast<int>(std::thread::hardware_concurrency());
    return cores >= 2 ? 2 : 0;
}

RecordWalk::RecordWalk(TQBXManage& document, int32_t first, int32_t last, int workers)
    : document_(document), next_(first), last_(last), budget_(document.FileSize()) {
    for (int i = 0; i < workers; ++i) {
        try {
            workers_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;  // fewer workers, or the calling thread alone
        }
    }
}

RecordWalk::~RecordWalk() {
    {
        std::lock_guard lock(mutex_);
        cancel_ = true;
        queue_.clear();
    }
    work_ready_.notify_all();
    for (std::thread& t : workers_)
        t.join();
}

void RecordWalk::Reserve(Chunk& chunk, size_t size) {
    if (chunk.capacity >= size)
        return;
    const size_t grown =
        std::max<size_t>(size, std::min<size_t>(chunk.capacity * 2, kChunkStoredBytes));
    // Uninitialised: every byte a record is taken from is read first.
    chunk.bytes = std::make_unique_for_overwrite<char[]>(grown);
    chunk.capacity = grown;
}

// Entries of the next records, laid out as they are stored: a record that
// follows the one before it (within kMaxGap) extends that read, any other
// (stored earlier, overlapping, far away) starts a read of its own, so every
// record has bytes of its own in the chunk to decipher in place.
size_t RecordWalk::PlanSlots(Chunk& chunk) {
    chunk.spans.clear();
    size_t planned = 0;
    size_t arena = 0;
    uint64_t span_end = 0;
    while (next_ + static_cast<int64_t>(planned) <= last_ &&
           planned < static_cast<size_t>(kChunkRecords)) {
        if (chunk.slots.size() <= planned)
            chunk.slots.resize(planned + 1);
        Slot& slot = chunk.slots[planned];
        slot.record = static_cast<int32_t>(next_ + static_cast<int64_t>(planned));
        slot.length = 0;
        DirectoryEntry entry;
        if (!document_.ReadEntry(slot.record, entry)) {
            slot.error = RecordError::kNoEntry;
        } else {
            slot.error = document_.StoredRangeError(entry);
        }
        if (slot.error == RecordError::kOk) {
            const uint64_t offset = entry.Offset;
            const auto length = static_cast<size_t>(entry.Length);
            const bool joins =
                !chunk.spans.empty() && offset >= span_end && offset - span_end <= kMaxGap;
            const uint64_t growth = joins ? offset + length - span_end : length;
            if (planned > 0 && arena + growth > kChunkStoredBytes)
                break;
            if (!joins)
                chunk.spans.push_back({entry.Offset, arena, 0, planned, planned});
            Span& span = chunk.spans.back();
            slot.at = span.at + static_cast<size_t>(offset - span.offset);
            slot.length = length;
            slot.offset = entry.Offset;
            slot.check = entry.Check;
            span.size = slot.at + length - span.at;
            span.end = planned + 1;
            arena = span.at + span.size;
            span_end = offset + length;
        }
        ++planned;
    }
    Reserve(chunk, arena);
    return planned;
}

// One read per span; a span that cannot be read whole (the file shrank under
// the reader) is read record by record, so each record fails or reads as it
// would alone.
void RecordWalk::ReadSpans(Chunk& chunk, size_t planned) {
    for (const Span& span : chunk.spans) {
        if (span.first >= planned)
            break;
        if (document_.IORead(span.offset, chunk.bytes.get() + span.at, span.size))
            continue;
        for (size_t i = span.first; i < span.end && i < planned; ++i) {
            Slot& slot = chunk.slots[i];
            if (slot.error == RecordError::kOk &&
                !document_.IORead(slot.offset, chunk.bytes.get() + slot.at, slot.length))
                slot.error = RecordError::kShortRead;
        }
    }
}

// In record order, as a single read would: the head's check, then the charge
// to the budget. The chunk ends at the record the budget cannot pay for, or
// after the one that fills its share of memory.
void RecordWalk::CheckHeads(Chunk& chunk, size_t planned) {
    const std::string_view key = document_.Key();
    uint64_t charged = 0;
    chunk.used = planned;
    for (size_t i = 0; i < planned; ++i) {
        Slot& slot = chunk.slots[i];
        if (slot.error != RecordError::kOk)
            continue;
        char* rec = chunk.bytes.get() + slot.at;
        if (!DecipherAndVerify(rec, slot.length, key, slot.check)) {
            slot.error = RecordError::kCheckMismatch;
            continue;
        }
        const uint64_t size = ChargedSize(rec, slot.length);
        if (!budget_.Take(size)) {
            slot.error = RecordError::kWalkTooLarge;
            damaged_ = true;
            chunk.used = i + 1;
            break;
        }
        charged += size;
        if (charged >= kChunkContentBytes) {
            chunk.used = i + 1;
            break;
        }
    }
    size_t stored = 0;
    for (const Span& span : chunk.spans)
        if (span.first < chunk.used)
            stored = span.at + span.size;
    chunk.weight = stored + charged;
}

bool RecordWalk::Prepare(Chunk& chunk) {
    if (damaged_ || next_ > last_)
        return false;
    const size_t planned = PlanSlots(chunk);
    ReadSpans(chunk, planned);
    CheckHeads(chunk, planned);
    next_ += static_cast<int64_t>(chunk.used);
    chunk.inflated = false;
    return chunk.used > 0;
}

void RecordWalk::InflateAll(Chunk& chunk, const std::atomic<bool>* cancel) {
    for (size_t i = 0; i < chunk.used; ++i) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            return;
        Slot& slot = chunk.slots[i];
        if (slot.error == RecordError::kOk)
            slot.error = InflateRecord(chunk.bytes.get() + slot.at, slot.length, slot.content);
    }
}

void RecordWalk::ReleaseLarge(Chunk& chunk) {
    for (size_t i = 0; i < chunk.used; ++i)
        if (chunk.slots[i].content.capacity() > kContentKeep)
            std::string().swap(chunk.slots[i].content);
    if (chunk.capacity > kChunkStoredBytes) {
        chunk.bytes.reset();
        chunk.capacity = 0;
    }
}

void RecordWalk::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        work_ready_.wait(lock, [this] { return cancel_ || !queue_.empty(); });
        if (cancel_)
            return;
        Chunk* chunk = queue_.front();
        queue_.pop_front();
        lock.unlock();
        InflateAll(*chunk, &cancel_);
        lock.lock();
        chunk->inflated = true;
        chunk_done_.notify_all();
    }
}

void RecordWalk::Queue(Chunk& chunk) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(&chunk);
    }
    work_ready_.notify_one();
}

void RecordWalk::AwaitInflated(Chunk& chunk) {
    std::unique_lock lock(mutex_);
    chunk_done_.wait(lock, [&] { return chunk.inflated; });
}

bool RecordWalk::Run(const Visitor& visit) {
    // Enough chunks that both workers have one while the visitor reads a
    // third; chunk k always lives in the same place, since the one before it
    // there has been visited by the time chunk k is prepared.
    const size_t depth = workers_.empty() ? 1 : workers_.size() + 2;
    while (chunks_.size() < depth)
        chunks_.push_back(std::make_unique<Chunk>());
    std::deque<Chunk*> in_flight;
    uint64_t in_flight_weight = 0;
    size_t prepared = 0;
    const auto fill = [&] {
        while (in_flight.size() < depth &&
               (in_flight.empty() || in_flight_weight < kInFlightBytes)) {
            Chunk& chunk = *chunks_[prepared % depth];
            if (!Prepare(chunk))
                return;
            ++prepared;
            in_flight_weight += chunk.weight;
            in_flight.push_back(&chunk);
            if (!workers_.empty())
                Queue(chunk);
        }
    };
    fill();
    while (!in_flight.empty()) {
        Chunk& chunk = *in_flight.front();
        if (workers_.empty())
            InflateAll(chunk, nullptr);
        else
            AwaitInflated(chunk);
        for (size_t i = 0; i < chunk.used; ++i) {
            const Slot& slot = chunk.slots[i];
            // After a stop the document may be gone: nothing of it is read.
            if (!visit(slot.record, slot.error, slot.content))
                return slot.error != RecordError::kWalkTooLarge;
        }
        in_flight.pop_front();
        in_flight_weight -= chunk.weight;
        ReleaseLarge(chunk);
        fill();
    }
    return !damaged_;
}

}  // namespace q3::doc
