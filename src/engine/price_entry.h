// PriceEntry: one price entry of t_CustEntry as the editor's grid holds it,
// and the one place that knows which grid row holds which of its columns.
//
// Each column is kept as the text of its cell, because the statements write
// these texts by fixed rules (a number by its value, an empty currency as
// currency 1, a date that does not read as one as null, a note as it
// stands): reading them into other types first would change what is sent.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace orva {

struct PriceEntry {
    std::int32_t entryID = 0;  // FEntryID; 0 while the entry is not stored
    std::string custID;        // FCustID
    std::string itemID;        // FItemID
    std::string unitID;        // FUnitID
    std::string startQty;      // FStartQty
    std::string endQty;        // FEndQty
    std::string price;         // FPrice, in the entry's currency per its unit
    std::string currencyID;    // FCyID
    std::string discount;      // FDiscount
    std::string leadTime;      // FLeadTime
    std::string quoteTime;     // FQuoteTime, the effective date
    std::string used;          // FUsed, the audit flag ("1" audited)
    std::string expireDate;    // FExpireDate
    std::string note;          // FNote

    bool Audited() const;
};

// How a saved column is written into a statement.
enum class PriceColumnKind {
    kNumber,    // unquoted number; empty is 0
    kCurrency,  // a number; an empty currency on insert is currency 1
    kDate,      // quoted date; a text that is no date is null
    kText,      // quoted text
};

struct PriceColumn {
    int row;           // the editor grid's row
    const char* name;  // the column of t_CustEntry
    PriceColumnKind kind;
    std::string PriceEntry::*field;
};

// The saved columns in the order of the editor's rows (customer, item, unit,
// band, price, currency, discount, lead time, effective date, audit flag,
// expiry date, note), which is the order the insert lists them in.
extern const PriceColumn kPriceColumns[13];

// Reads an entry from a source of cell texts by grid row: the one mapping of
// rows to columns. The editor passes the stored values (column 3) of its
// grid, or the values the descriptors loaded.
PriceEntry ReadPriceEntry(const std::function<std::string(int row)>& cell);

}  // namespace orva
