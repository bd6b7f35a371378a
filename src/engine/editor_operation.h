// What the record editor is opened for: its OperationType, which the browse
// window sets on the editor and the editor on its engine. Any value but the
// three batches counts as a single entry.
#pragma once

#include <cstdint>

namespace orva {

enum class EditorOperation : std::int32_t {
    kSingle = 0,
    kBatchAdd = 8,
    kBatchUpdate = 16,
    kBatchDelete = 32,
};

}  // namespace orva
