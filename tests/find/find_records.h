// A small ledger-like record set for the find component's tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/find/find_field.h"
#include "orvasaleprice/recordset.h"

namespace orva::test {

// Fields as the browse window offers them for a customer's ledger.
inline std::vector<FindField> LedgerFields() {
    auto f = [](const char* caption, const char* column, int dataType) {
        FindField field;
        field.caption = caption;
        field.column = column;
        field.dataType = dataType;
        return field;
    };
    std::vector<FindField> fields = {f("物料代码", "FNumber", 1), f("物料名称", "FName", 1),
                                     f("报价", "FPrice", 2),      f("生效日期", "FQuoteTime", 0),
                                     f("备注", "FNote", 1),       f("审核状态", "FUsed", 8)};
    fields.back().choices = {"已审核", "未审核"};
    return fields;
}
enum LedgerField { kNumber, kName, kPrice, kQuote, kNote, kUsed };

struct LedgerRow {
    Variant number, name, price, quote, note, used;
};

inline std::shared_ptr<Recordset> Ledger(const std::vector<LedgerRow>& rows) {
    std::vector<Variant> cells;
    for (const LedgerRow& r : rows) {
        for (const Variant* v : {&r.number, &r.name, &r.price, &r.quote, &r.note, &r.used})
            cells.push_back(*v);
    }
    return std::make_shared<Recordset>(
        std::vector<std::string>{"FNumber", "FName", "FPrice", "FQuoteTime", "FNote", "Fused"},
        std::move(cells));
}

// The FNumber texts of a record set, in order.
inline std::vector<std::string> Numbers(const Recordset& rs) {
    std::vector<std::string> out;
    const int col = rs.ColumnIndex("FNumber");
    for (long i = 0; i < rs.RecordCount(); ++i) out.push_back(rs.Cell(i, col).ToText());
    return out;
}

}  // namespace orva::test
