// Small record sets for the record set tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "orvasaleprice/recordset.h"

namespace orva::test {

// Columns FItemID, FNumber, FName, FPrice, FQuoteTime; rows with ids 1..n,
// codes "C01".., names "Name 1".., prices id * 1.5, dates "2024-01-0<id>".
inline std::unique_ptr<Recordset> Numbered(int n) {
    std::vector<Variant> cells;
    for (int i = 1; i <= n; ++i) {
        cells.emplace_back(i);
        cells.emplace_back("C0" + std::to_string(i));
        cells.emplace_back("Name " + std::to_string(i));
        cells.emplace_back(i * 1.5);
        cells.emplace_back("2024-01-0" + std::to_string(i));
    }
    return std::make_unique<Recordset>(
        std::vector<std::string>{"FItemID", "FNumber", "FName", "FPrice", "FQuoteTime"},
        std::move(cells));
}

// The ids of the rows in the current view, read by moving through it.
inline std::vector<long> Ids(Recordset& rs, const char* column = "FItemID") {
    std::vector<long> ids;
    if (rs.RecordCount() == 0)
        return ids;
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
        ids.push_back(static_cast<long>(rs.Fields(column).Value().ToInteger()));
    }
    return ids;
}

}  // namespace orva::test
