#include "host/tsql/record_cells.h"

#include <cstdint>

#include <sys/mman.h>

namespace orva::tsql {

// Room for `count` cells in an empty vector. A large result is backed by huge
// pages where the system allows it: a fresh buffer of tens of megabytes is
// otherwise faulted in 4 KB at a time, which on a virtual machine costs more
// than reading the rows into it.
void ReserveCells(std::vector<Variant>& cells, std::size_t count) {
    cells.reserve(count);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const std::size_t bytes = count * sizeof(Variant);
    if (bytes >= 4 * kHugePage) {
        auto start = reinterpret_cast<std::uintptr_t>(cells.data());
        std::uintptr_t begin = (start + kHugePage - 1) & ~(kHugePage - 1);
        std::uintptr_t end = (start + bytes) & ~(kHugePage - 1);
        if (end > begin)
            ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
#endif
}

std::vector<Variant> NullCells(std::size_t count) {
    std::vector<Variant> cells;
    ReserveCells(cells, count);
    cells.resize(count);
    return cells;
}

}  // namespace orva::tsql
