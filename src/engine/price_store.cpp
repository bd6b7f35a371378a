// The price store: the duplicate test, the header row and the numbering
// of new entries, single entries, the minimum-price floor and the members
// of a batch add.
#include "engine/price_store.h"

#include <array>
#include <iterator>
#include <stdexcept>

#include "engine/engine_values.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/db/db_backend.h"
#include "host/db/write_transaction.h"
#include "minprice/min_price.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/variant.h"

namespace orva {
namespace {

const std::string kNewLine(kCrLf);

bool IsDateText(std::string_view text) {
    auto date = Date::Parse(Trim(text));
    return date && date->IsValid();
}

bool IsUniqueConflict(const std::exception& e) {
    const auto* error = dynamic_cast<const ComError*>(&e);
    return error && error->Number() == ComError::kUniqueKeyConflict;
}

// The key of an entry, rendered: no two entries share customer, item, unit,
// band, currency and both dates.
struct DuplicateKey {
    bool custFirst = false;  // the batch names the customer first
    std::string cust, item;
    std::string unitMatch;  // " AND FUnitID=..."; "" tests no unit
    std::string startQty, endQty, currency, quoteTime, expireDate;
    std::string tail;  // what follows the expiry date
};

// The duplicate test: the one statement that finds another entry with the key.
std::string DuplicateTest(const DuplicateKey& k) {
    const std::string pair = k.custFirst ? "FCustID=" + k.cust + " AND FItemID=" + k.item
                                         : "FItemID=" + k.item + " AND FCustID=" + k.cust;
    return "SELECT * FROM t_CustEntry WHERE " + pair + k.unitMatch +
           " AND FStartQty=" + k.startQty + " AND FEndQty=" + k.endQty +
           " AND FCyID=" + k.currency + " AND FQuoteTime=" + k.quoteTime +
           " AND FExpireDate=" + k.expireDate + k.tail;
}

// The key of a single entry: a new one (its expiry date as the cell holds
// it) or a stored one, which must not find itself.
DuplicateKey SingleKey(const PriceEntry& e, bool stored) {
    DuplicateKey k;
    k.item = SqlId(ValId(e.itemID));
    k.cust = SqlId(ValId(e.custID));
    k.unitMatch = " AND FUnitID=" + (stored ? SqlNumber(Val(e.unitID)) : SqlId(ValId(e.unitID)));
    k.startQty = SqlNumber(Val(e.startQty));
    k.endQty = SqlNumber(Val(e.endQty));
    k.currency = SqlNumber(Val(e.currencyID));
    k.quoteTime = SqlDate(Trim(e.quoteTime));
    if (stored) {
        k.expireDate = SqlDate(Trim(e.expireDate));
        k.tail = " AND FEntryID<>" + SqlId(e.entryID);
    } else {
        k.expireDate = SqlText(e.expireDate);
        k.tail = " ";
    }
    return k;
}

// A column's value as the insert of a new entry writes it.
std::string InsertValue(const PriceColumn& column, const std::string& text) {
    if (column.field == &PriceEntry::used)
        return "0";  // a new entry is never audited
    const std::string_view trimmed = Trim(text);
    switch (column.kind) {
        case PriceColumnKind::kDate:
            return IsDateText(text) ? SqlDate(trimmed) : std::string("null");
        case PriceColumnKind::kNumber:
            return trimmed.empty() ? "0" : SqlNumber(Val(text));
        case PriceColumnKind::kCurrency:
            return trimmed.empty() ? "1" : SqlNumber(Val(text));  // no currency: currency 1
        case PriceColumnKind::kText:
            break;
    }
    return SqlText(text);
}

// A column's value as the update of a stored entry writes it.
std::string UpdateValue(const PriceColumn& column, const std::string& text) {
    switch (column.kind) {
        case PriceColumnKind::kDate:
            return IsDateText(text) ? SqlDate(Trim(text)) : std::string("null");
        case PriceColumnKind::kNumber:
        case PriceColumnKind::kCurrency:
            return SqlNumber(Val(text));
        case PriceColumnKind::kText:
            break;
    }
    return SqlText(text);
}

}  // namespace

// --- The duplicate test and the header row ----------------------------------

bool PriceStore::HasDuplicate(const PriceEntry& entry, bool stored) {
    return HasRow(db_.Execute(DuplicateTest(SingleKey(entry, stored))));
}

// A header row written by another client between the look-up and the insert
// clashes on the insert; the row the entry needs is then there, which is all
// the insert was for.
bool PriceStore::HeaderAppeared(const std::exception& e, const std::string& lookUp) {
    return IsUniqueConflict(e) && HasRow(db_.Execute(lookUp));
}

void PriceStore::EnsureHeaderRow(const std::string& item, const std::string& cust) {
    const std::string lookUp =
        "select FBrNo FROM t_Cust WHERE FItemID=" + item + " AND FCustID=" + cust;
    RecordsetPtr header = db_.Execute(lookUp);
    const bool hasHeader = HasRow(header);
    if (header && header->IsOpen())
        header->Close();
    if (hasHeader)
        return;
    try {
        db_.Execute("INSERT INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0'," + item + "," + cust +
                    ")");
    } catch (const ComError& e) {
        if (!HeaderAppeared(e, lookUp))
            throw;
    }
}

// Whether a stored entry holds the key an insert wrote; a unique clash of
// that insert was then on the entry's key, otherwise on something else, such
// as the entry number.
bool PriceStore::KeyStored(const std::string& where) {
    return HasRow(db_.Execute("SELECT FEntryID FROM t_CustEntry WHERE " + where));
}

// New entry numbers are kept by the connection's numbering under the name of
// the header table.
std::int32_t PriceStore::NextEntryID() {
    return db_.GetICMaxNum("t_Cust");
}

// --- Single entries ------------------------------------------------------------

PriceOutcome PriceStore::Add(const PriceEntry& entry, std::int32_t& entryID) {
    return Add(entry, entryID, Known{});
}

PriceOutcome PriceStore::Add(const PriceEntry& entry, std::int32_t& entryID, Known known) {
    const bool keyChecked = known.keyFree && db_.Backend().UniqueEntryKey();
    if (!keyChecked && HasDuplicate(entry, false))
        return {PriceOutcome::kDuplicate, {}};
    // A number that cannot be drawn is 0, which is refused.
    const std::int32_t number = PassOver([&] { return NextEntryID(); }, 0);
    if (number < 1)
        return {PriceOutcome::kNoNumber, {}};

    const std::string item = SqlId(ValId(entry.itemID));
    const std::string cust = SqlId(ValId(entry.custID));
    const std::int32_t previousEntry = entryID;
    // The value inserted into each column, by its place in kPriceColumns.
    std::array<std::string, std::size(kPriceColumns)> written;
    try {
        if (!known.headerRow)
            EnsureHeaderRow(item, cust);  // created once per pair

        std::string sql =
            "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
            "FPrice,FCyID,FDisCount,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote) VALUES ('0'," +
            SqlId(number);
        entryID = number;
        for (std::size_t i = 0; i < std::size(kPriceColumns); ++i) {
            written[i] = InsertValue(kPriceColumns[i], entry.*kPriceColumns[i].field);
            sql += ',';
            sql += written[i];
        }
        sql += ")";
        db_.Execute(sql);
        return {PriceOutcome::kWritten, {}};
    } catch (const std::runtime_error& e) {
        entryID = previousEntry;
        // Another client saved the same entry after the duplicate test: the
        // same answer as the test's own. A key with a Null date never clashes.
        auto keyStored = [&] {
            std::string where;
            for (const char* column : {"FItemID", "FCustID", "FUnitID", "FStartQty", "FEndQty",
                                       "FCyID", "FQuoteTime", "FExpireDate"}) {
                std::string_view value;
                for (std::size_t i = 0; i < std::size(kPriceColumns); ++i) {
                    if (std::string_view(kPriceColumns[i].name) == column)
                        value = written[i];
                }
                if (value.empty() || value == "null")
                    return false;
                where +=
                    (where.empty() ? "" : " AND ") + std::string(column) + "=" + std::string(value);
            }
            return KeyStored(where);
        };
        if (IsUniqueConflict(e) && PassOver(keyStored, false))
            return {PriceOutcome::kDuplicate, {}};
        return {PriceOutcome::kDatabaseError, e.what()};
    }
}

PriceOutcome PriceStore::Update(const PriceEntry& entry, const PriceEntry& loaded) {
    if (loaded.Audited())
        return {PriceOutcome::kAudited, {}};
    if (HasDuplicate(entry, true))
        return {PriceOutcome::kDuplicate, {}};
    std::string sql = "Update t_CustEntry SET ";
    for (const PriceColumn& column : kPriceColumns) {
        const std::string& text = entry.*column.field;
        // The currency is always written; any other column only when changed.
        if (column.kind != PriceColumnKind::kCurrency && text == loaded.*column.field)
            continue;
        sql += std::string(column.name) + "=" + UpdateValue(column, text) + ",";
    }
    if (sql.back() == ',')
        sql.pop_back();
    sql += " WHERE FEntryID=" + SqlId(entry.entryID);
    try {
        std::int16_t rows = 0;
        db_.Execute(sql, rows);
        return {PriceOutcome::kWritten, {}};
    } catch (const std::runtime_error& e) {
        // Another client saved an entry with these keys first.
        if (IsUniqueConflict(e) && PassOver([&] { return HasDuplicate(entry, true); }, false))
            return {PriceOutcome::kDuplicate, {}};
        return {PriceOutcome::kDatabaseError, e.what()};
    }
}

// --- The minimum-price floor ---------------------------------------------------------

double PriceStore::BasePrice(const PriceEntry& entry) {
    double converted = 0;
    ConvertByRate(db_, ValId(entry.currencyID), Val(entry.price), converted);
    return converted;
}

// The unit's coefficient, the quantity of the base unit in one of it; a unit
// without one (or with 0) counts as the base unit.
double PriceStore::UnitCoefficient(const std::string& unitID) {
    RecordsetPtr unit = db_.Execute("select FCoefficient from t_MeasureUnit where FMeasureUnitID=" +
                                    SqlId(ValId(unitID)));
    if (HasRow(unit)) {
        const Variant& v = unit->Fields("FCoefficient").Value();
        if (!v.IsNull() && v.ToDouble() != 0)
            return v.ToDouble();
    }
    return 1;
}

PriceOutcome PriceStore::CheckFloor(const FloorQuery& query) {
    double coefficient = 1;
    if (query.unitID && query.coefficientFirst)
        coefficient = UnitCoefficient(*query.unitID);
    double floor = 0;
    GetSELowPrice(db_, query.custID, query.itemID, floor);
    if (query.unitID && !query.coefficientFirst)
        coefficient = UnitCoefficient(*query.unitID);
    // The floor is per base unit.
    if (query.basePrice / coefficient < floor)
        return {PriceOutcome::kBelowFloor, {}};
    return {PriceOutcome::kAccepted, {}};
}

// --- Batch add -------------------------------------------------------------------

PriceStore::AddTexts PriceStore::RenderAdd(const PriceEntry& batch, bool gridUnit) {
    AddTexts v;
    if (gridUnit)
        v.unit = SqlId(WholeNumber(Trim(batch.unitID)));
    v.startQty = SqlNumber(Val(batch.startQty));
    v.endQty = SqlNumber(Val(batch.endQty));
    v.price = SqlNumber(Val(batch.price));
    v.currency = SqlNumber(Val(batch.currencyID));
    v.leadTime = SqlNumber(Val(batch.leadTime));
    v.quoteTime = SqlDate(Trim(batch.quoteTime));
    v.expireDate = SqlDate(Trim(batch.expireDate));
    v.note = SqlText(batch.note);
    return v;
}

std::optional<PriceStore::MemberEntry> PriceStore::PlanMember(const AddTexts& v,
                                                              std::int32_t custID,
                                                              std::int32_t itemID, bool baseUnit) {
    MemberEntry m;
    m.custID = custID;
    m.itemID = itemID;
    const std::string cust = SqlId(custID);
    const std::string item = SqlId(itemID);
    m.headerLookUp = "SELECT * FROM t_Cust WHERE FItemID=" + item + " AND FCustID=" + cust;
    if (!HasRow(db_.GetAnyRecordset(m.headerLookUp))) {
        m.header = "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) " +
                   kNewLine + "VALUES ('0'," + item + "," + cust + ",1,0 ) " + kNewLine;
    }

    DuplicateKey k;
    k.custFirst = true;
    k.cust = cust;
    k.item = item;
    m.unit = v.unit;
    k.unitMatch = " AND FUnitID=" + v.unit;
    if (baseUnit) {
        // Each item in its own base unit; an item without one gets 0.
        RecordsetPtr base =
            db_.GetAnyRecordset("select FUnitID from t_ICItem where FItemID=" + item);
        if (HasRow(base) && !base->Fields("FUnitID").Value().IsNull()) {
            m.unit = SqlId(base->Fields("FUnitID").Value().ToInteger());
            k.unitMatch = " And FunitID=" + m.unit;
        } else {
            m.unit = "0";
            k.unitMatch.clear();
        }
    }
    k.startQty = v.startQty;
    k.endQty = v.endQty;
    k.currency = v.currency;
    k.quoteTime = v.quoteTime;
    k.expireDate = v.expireDate;
    k.tail = " ";
    m.duplicate = DuplicateTest(k);
    if (HasRow(db_.GetAnyRecordset(m.duplicate)))
        return std::nullopt;
    return m;
}

PriceOutcome PriceStore::WriteMember(const AddTexts& v, const MemberEntry& m, bool audited) {
    try {
        // The number, the header row and the entry in one write transaction
        // where the database allows it: one commit per member instead of two.
        WriteTransaction write(db_.Backend());
        const std::int32_t entryID = NextEntryID();
        if (entryID < 1)
            return {PriceOutcome::kNoNumber, {}};
        const std::string entry =
            "INSERT INTO t_CustEntry(FBrNo,FCustID,FItemID,FEntryID,FUnitID,FStartQty,FEndQty,"
            "FPrice,FCyID,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote)" +
            kNewLine + "VALUES('0'," + SqlId(m.custID) + "," + SqlId(m.itemID) + "," +
            SqlId(entryID) + "," + m.unit + "," + v.startQty + "," + v.endQty + "," + v.price +
            "," + v.currency + "," + v.leadTime + "," + v.quoteTime + "," +
            (audited ? "1," : "0,") + v.expireDate + "," + v.note + ")" + kNewLine;
        // The header row and the entry go as one text. When another client
        // wrote the same entry since the look-ups, the member is skipped; when
        // only the header row appeared, the entry goes alone.
        std::string text = m.header + entry;
        for (;;) {
            try {
                db_.Execute(text);
                break;
            } catch (const ComError& e) {
                if (IsUniqueConflict(e) && HasRow(db_.GetAnyRecordset(m.duplicate))) {
                    write.Commit();
                    return {PriceOutcome::kDuplicate, {}};
                }
                if (text == entry || !HeaderAppeared(e, m.headerLookUp))
                    throw;
                text = entry;
            }
        }
        write.Commit();
        return {PriceOutcome::kWritten, {}};
    } catch (const std::runtime_error& e) {
        return {PriceOutcome::kDatabaseError, e.what()};
    }
}

}  // namespace orva
