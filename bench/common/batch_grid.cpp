#include "common/batch_grid.h"

#include "engine/user_def_info.h"
#include "orvasaleprice/variant.h"

namespace orva::bench {

void FillBatchGrid(orva::Spread& grid, int group, int item, double price,
                   const std::string& quote) {
    using Row = orva::UserDefInfo;
    grid.SetMaxCols(3);
    grid.SetMaxRows(Row::kRowCount);
    auto set = [&](int row, const std::string& value) {
        grid.SetText(2, row, value);
        grid.SetText(3, row, value);
    };
    set(Row::kRowCustNumber, std::to_string(group));
    set(Row::kRowItemNumber, std::to_string(item));
    set(Row::kRowUnit, "101");
    set(Row::kRowStartQty, "0");
    set(Row::kRowEndQty, "100");
    set(Row::kRowPrice, orva::FormatDouble(price));
    set(Row::kRowCurrency, "1");
    set(Row::kRowLeadTime, "3");
    set(Row::kRowQuoteTime, quote);
    set(Row::kRowExpireDate, "2100-01-01");
    set(Row::kRowNote, "bench");
}

}  // namespace orva::bench
