// The keys of the numbering table t_ICMaxNum (FTableName, FMaxNum) and the
// column each one numbers. Every engine's numbering reads this one table: a
// key's counter never hands out a number at or below the highest already in
// use in its column (t_Cust numbers t_CustEntry.FEntryID), so an existing
// company needs no seeding. A key without a column counts from its counter
// alone.
#pragma once

#include <string_view>

namespace orva {

struct NumberedColumn {
    std::string_view key;  // FTableName of the counter's row
    std::string_view table;
    std::string_view column;
};

// The column the key numbers (keys compare without regard to letter case);
// nullptr when it numbers none.
const NumberedColumn* NumberedColumnOf(std::string_view tableKey);

}  // namespace orva
