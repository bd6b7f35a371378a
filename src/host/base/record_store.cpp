#include "host/base/record_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <utility>

namespace orva {
namespace {

// Blocks of at least this size are kept for reuse when their store goes...
constexpr std::size_t kKeepFrom = std::size_t{1} << 20;
// ...as long as the kept blocks stay below this in all.
constexpr std::size_t kKeepAtMost = std::size_t{192} << 20;
// Blocks this large are backed by huge pages where the system allows it:
// faulting in tens of megabytes 4 KB at a time costs more, on a virtual
// machine, than writing the values into them.
constexpr std::size_t kHugeFrom = std::size_t{8} << 20;

struct KeptBlocks {
    std::mutex mu;
    std::vector<std::pair<std::size_t, void*>> blocks;  // size, memory
    std::size_t bytes = 0;
};

// Never destroyed: stores held by static objects may go after it would.
KeptBlocks& Kept() {
    static KeptBlocks* kept = new KeptBlocks;
    return *kept;
}

void AdviseHugePages(void* memory, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    if (bytes < kHugeFrom)
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(memory);
    const std::uintptr_t begin = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (start + bytes) & ~(kHugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)memory;
    (void)bytes;
#endif
}

// Memory for `bytes`: a kept block of that size up to twice as large, or a
// new one. `bytes` is updated to the size of what is returned.
void* TakeMemory(std::size_t& bytes) {
    if (bytes >= kKeepFrom) {
        KeptBlocks& kept = Kept();
        std::lock_guard lock(kept.mu);
        auto best = kept.blocks.end();
        for (auto it = kept.blocks.begin(); it != kept.blocks.end(); ++it) {
            if (it->first >= bytes && it->first / 2 <= bytes &&
                (best == kept.blocks.end() || it->first < best->first))
                best = it;
        }
        if (best != kept.blocks.end()) {
            void* memory = best->second;
            bytes = best->first;
            kept.bytes -= best->first;
            kept.blocks.erase(best);
            return memory;
        }
    }
    void* memory = ::operator new(bytes);
    AdviseHugePages(memory, bytes);
    return memory;
}

void GiveMemory(void* memory, std::size_t bytes) {
    if (bytes >= kKeepFrom) {
        KeptBlocks& kept = Kept();
        std::lock_guard lock(kept.mu);
        if (kept.bytes + bytes <= kKeepAtMost) {
            kept.blocks.emplace_back(bytes, memory);
            kept.bytes += bytes;
            return;
        }
    }
    ::operator delete(memory);
}

std::size_t ShiftFor(std::size_t rows) {
    // At least 16 rows: a look-up that found nothing last time does not start
    // with a block per row.
    return static_cast<std::size_t>(std::bit_width(std::max<std::size_t>(rows, 16) - 1));
}

}  // namespace

RecordStore::RecordStore(std::size_t width, std::size_t expectedRows)
    : width_(width), shift_(ShiftFor(expectedRows)) {}

RecordStore::RecordStore(std::size_t width, std::vector<Variant>&& cells, std::size_t rows)
    : RecordStore(width, rows) {
    for (std::size_t r = 0; r < rows; ++r) {
        AppendRow([&](std::size_t c) { return std::move(cells[c * rows + r]); });
    }
}

RecordStore::~RecordStore() {
    Release();
}

RecordStore::RecordStore(RecordStore&& other) noexcept
    : width_(other.width_),
      rows_(std::exchange(other.rows_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      shift_(other.shift_),
      blocks_(std::move(other.blocks_)) {
    other.blocks_.clear();
}

RecordStore& RecordStore::operator=(RecordStore&& other) noexcept {
    if (this != &other) {
        Release();
        width_ = other.width_;
        rows_ = std::exchange(other.rows_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        shift_ = other.shift_;
        blocks_ = std::move(other.blocks_);
        other.blocks_.clear();
    }
    return *this;
}

void RecordStore::Grow() {
    const std::size_t rows = blocks_.empty() ? std::size_t{1} << shift_ : capacity_;
    blocks_.reserve(blocks_.size() + 1);
    Block b;
    b.rows = rows;
    b.firstRow = capacity_;
    if (width_ > 0) {
        b.bytes = rows * width_ * sizeof(Variant);
        b.cells = static_cast<Variant*>(TakeMemory(b.bytes));
    }
    blocks_.push_back(b);
    capacity_ += rows;
}

void RecordStore::Release() {
    for (Block& b : blocks_) {
        const std::size_t filled =
            std::min(rows_, b.firstRow + b.rows) - std::min(rows_, b.firstRow);
        for (std::size_t c = 0; c < width_; ++c) {
            Variant* column = b.cells + c * b.rows;
            for (std::size_t r = 0; r < filled; ++r) column[r].~Variant();
        }
        if (b.cells)
            GiveMemory(b.cells, b.bytes);
    }
    blocks_.clear();
    rows_ = 0;
    capacity_ = 0;
}

}  // namespace orva
