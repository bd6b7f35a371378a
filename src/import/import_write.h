// The write of an import: exactly the rows the plan says are written, each
// through the price store the editor saves with and committed on its own, so
// that a fault or the user's Cancel keeps the rows before it and a second
// import of the same file completes the rest (the rows written are then
// unchanged). The progress window shows the row being written.
#pragma once

#include <cstdint>
#include <functional>

#include "import/import_plan.h"

namespace orva::import {

struct ImportResult {
    std::int64_t added = 0;
    std::int64_t changed = 0;
    std::int64_t failed = 0;  // rows the database refused (marked kWriteFailed)
    bool stopped = false;     // the user cancelled
};

// Writes the plan's rows through `db`. A row the database refuses is marked
// kWriteFailed with the database's words and the write goes on with the next.
// Throws ComError when the rows written cannot be made durable at the end
// (a rerun of the import writes what is missing).
ImportResult WriteImport(ModuleContext& ctx, AppConnection& db, ImportPlan& plan);

}  // namespace orva::import
