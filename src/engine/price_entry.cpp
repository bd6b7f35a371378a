#include "engine/price_entry.h"

#include "engine/engine_values.h"
#include "engine/user_def_info.h"

namespace orva {

using Row = UserDefInfo::Row;
using Kind = PriceColumnKind;

const PriceColumn kPriceColumns[13] = {
    {Row::kRowCustNumber, "FCustID", Kind::kNumber, &PriceEntry::custID},
    {Row::kRowItemNumber, "FItemID", Kind::kNumber, &PriceEntry::itemID},
    {Row::kRowUnit, "FUnitID", Kind::kNumber, &PriceEntry::unitID},
    {Row::kRowStartQty, "FStartQty", Kind::kNumber, &PriceEntry::startQty},
    {Row::kRowEndQty, "FEndQty", Kind::kNumber, &PriceEntry::endQty},
    {Row::kRowPrice, "FPrice", Kind::kNumber, &PriceEntry::price},
    {Row::kRowCurrency, "FCyID", Kind::kCurrency, &PriceEntry::currencyID},
    {Row::kRowDiscount, "FDiscount", Kind::kNumber, &PriceEntry::discount},
    {Row::kRowLeadTime, "FLeadTime", Kind::kNumber, &PriceEntry::leadTime},
    {Row::kRowQuoteTime, "FQuoteTime", Kind::kDate, &PriceEntry::quoteTime},
    {Row::kRowUsed, "FUsed", Kind::kNumber, &PriceEntry::used},
    {Row::kRowExpireDate, "FExpireDate", Kind::kDate, &PriceEntry::expireDate},
    {Row::kRowNote, "FNote", Kind::kText, &PriceEntry::note},
};

bool PriceEntry::Audited() const {
    return Val(used) != 0;
}

PriceEntry ReadPriceEntry(const std::function<std::string(int row)>& cell) {
    PriceEntry entry;
    for (const PriceColumn& column : kPriceColumns) entry.*column.field = cell(column.row);
    return entry;
}

}  // namespace orva
