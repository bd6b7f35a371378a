// What a database text gives back: the record sets of its statements and the
// rows its last data change touched. The T-SQL layer's interpreter builds it
// and every database back end returns it.
#pragma once

#include <vector>

#include "orvasaleprice/recordset.h"

namespace orva {

struct BatchResult {
    // Record sets of the statements that returned rows, in order.
    std::vector<RecordsetPtr> recordsets;
    // Rows affected by the last data-changing statement (-1 when none ran).
    long rowsAffected = -1;
};

}  // namespace orva
