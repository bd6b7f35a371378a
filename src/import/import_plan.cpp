// The dry run: reads the file, matches its columns and decides every row.
#include "import/import_plan.h"

#include <filesystem>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "engine/engine_values.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/gl_data.h"
#include "import/import_codes.h"
#include "import/import_values.h"
#include "import/table_file.h"
#include "minprice/min_price.h"
#include "model/sql_values.h"
#include "orvasaleprice/recordset.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/rights.h"
#include "session/session.h"

namespace orva::import {
namespace {

constexpr const char* kOpenEnd = "2100-01-01";

// The key of the duplicate test: no two entries share customer, item, unit,
// band, currency and both dates. Numbers compare by value, as their texts
// in a statement do (the shortest text that reads back as the number).
struct EntryKey {
    std::int32_t cust = 0, item = 0, unit = 0, currency = 0;
    double startQty = 0, endQty = 0;
    std::int32_t quoteTime = 0, expireDate = 0;  // PackDate; 0 for none, which no row has
    bool operator==(const EntryKey&) const = default;
};

struct EntryKeyHash {
    std::size_t operator()(const EntryKey& k) const {
        std::size_t h = 0;
        auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
        mix(std::hash<std::int32_t>{}(k.cust));
        mix(std::hash<std::int32_t>{}(k.item));
        mix(std::hash<std::int32_t>{}(k.unit));
        mix(std::hash<std::int32_t>{}(k.currency));
        mix(std::hash<double>{}(k.startQty == 0 ? 0.0 : k.startQty));  // -0 is 0
        mix(std::hash<double>{}(k.endQty == 0 ? 0.0 : k.endQty));
        mix(std::hash<std::int32_t>{}(k.quoteTime));
        mix(std::hash<std::int32_t>{}(k.expireDate));
        return h;
    }
};

EntryKey KeyOf(const PlannedValues& v) {
    return {v.custID,   v.itemID, v.unitID,    v.currencyID,
            v.startQty, v.endQty, v.quoteTime, v.expireDate};
}

double VariantNumber(const Variant& v) {
    return v.IsNull() ? 0.0 : v.ToDouble();
}

std::int32_t VariantDate(const Variant& v) {
    std::optional<Date> date;
    if (!v.IsNull())
        date = ParseDate(v.ToText());
    return date ? PackDate(*date) : 0;
}

// A function right asked without a message: the preview says it per row.
bool Holds(ModuleContext& ctx, std::int32_t right) {
    return PassOver(
        [&] {
            return GetGLData(ctx)->AccessCheck(FunctionObjectID(ctx), kFunctionRightIndex, right);
        },
        false);
}

// The numbers a row holds, in the order a refused number's detail counts them.
struct NumberField {
    Field field;
    double PlannedValues::*target;
    bool required;
};
constexpr NumberField kNumberFields[] = {
    {Field::kStartQty, &PlannedValues::startQty, false},
    {Field::kEndQty, &PlannedValues::endQty, false},
    {Field::kPrice, &PlannedValues::price, true},
    {Field::kDiscount, &PlannedValues::discount, false},
    {Field::kLeadTime, &PlannedValues::leadTime, false},
};

class Planner {
  public:
    Planner(ModuleContext& ctx, AppConnection& db, const ImportLeaf& leaf, ImportPlan& plan,
            std::size_t rows)
        : ctx_(ctx), db_(db), leaf_(leaf), plan_(plan), codes_(ctx, db) {
        keysInFile_.reserve(rows);
        mayAdd_ = Holds(ctx, kRightAdd);
        mayModify_ = Holds(ctx, kRightModify);
        alertFloor_ = GetSysProfile(ctx, "AlertSELowPrice") != 0;
        const bool auditAsked = GetSysProfile(ctx, "BatchAuditSalePrice") != 0;
        const bool auditRight = auditAsked && Holds(ctx, kRightAudit);
        plan_.auditNew = auditAsked && auditRight;
        plan_.auditRightMissing = auditAsked && !auditRight;
        today_ = Date::Today().ToText();
    }

    void Row(PlannedRow& row);

  private:
    bool Refuse(PlannedRow& row, RowOutcome outcome, Refusal refusal, std::int64_t detail = 0) {
        row.outcome = outcome;
        row.refusal = refusal;
        row.detail = detail;
        return false;
    }
    bool ReadCodes(PlannedRow& row);
    bool ReadValues(PlannedRow& row);
    void Decide(PlannedRow& row);
    bool BelowFloor(const PlannedValues& e);
    bool MayHaveFloor(std::int32_t cust, std::int32_t item);
    void ReadEntriesOf(std::int32_t custID);
    std::string Cell(const PlannedRow& row, Field f) const {
        return std::string(plan_.FieldCell(row, f));
    }

    ModuleContext& ctx_;
    AppConnection& db_;
    ImportLeaf leaf_;
    ImportPlan& plan_;
    CodeBook codes_;
    bool mayAdd_ = false, mayModify_ = false, alertFloor_ = false;
    std::string today_;
    ItemCode item_;
    // The stored entries of the customers the file names, read once per customer.
    std::unordered_set<std::int32_t> customersRead_;
    std::unordered_map<EntryKey, StoredValues, EntryKeyHash> entries_;
    std::unordered_map<EntryKey, std::int64_t, EntryKeyHash> keysInFile_;  // key -> row
    std::map<std::pair<std::int32_t, std::int32_t>, double> floors_;       // (customer, item)
    std::unordered_map<std::int32_t, double> coefficients_;                // by unit
    bool floorsRead_ = false;
    bool itemFloorsKnown_ = false;
    std::unordered_map<std::int32_t, double> itemFloorValues_;
    struct Rate {
        bool known = false;  // the currency has a row
        bool divide = false;
        double rate = 1;
    };
    std::unordered_map<std::int32_t, Rate> rates_;  // by currency
    // The last date text of each column read, and what it read as: a list
    // repeats its dates row after row.
    struct DateMemo {
        std::string from;
        std::optional<Date> date;
        const std::optional<Date>& Read(std::string_view cell) {
            if (cell != from || from.empty()) {
                from = cell;
                date = ParseDate(cell);
            }
            return date;
        }
    };
    DateMemo quoteDates_, expireDates_;
    std::unordered_set<std::int32_t> itemFloors_;                 // items priced for all
    std::set<std::pair<std::int32_t, std::int32_t>> pairFloors_;  // (customer, item)
};

bool Planner::ReadCodes(PlannedRow& row) {
    PlannedValues& e = row.values;
    std::int32_t cust = leaf_.custID;
    if (plan_.columns.Has(Field::kCustNumber)) {
        switch (codes_.Customer(Cell(row, Field::kCustNumber), cust)) {
            case Found::kUnknown:
                return Refuse(row, RowOutcome::kUnknownCode, Refusal::kCustomerUnknown);
            case Found::kNoRight:
                return Refuse(row, RowOutcome::kNoDataRight, Refusal::kCustomerHidden);
            case Found::kYes:
                break;
        }
    } else if (!codes_.CustomerVisible(cust)) {
        return Refuse(row, RowOutcome::kNoDataRight, Refusal::kLeafCustomerHidden);
    }
    if (plan_.columns.Has(Field::kItemNumber)) {
        switch (codes_.Item(Cell(row, Field::kItemNumber), item_)) {
            case Found::kUnknown:
                return Refuse(row, RowOutcome::kUnknownCode, Refusal::kItemUnknown);
            case Found::kNoRight:
                return Refuse(row, RowOutcome::kNoDataRight, Refusal::kItemHidden);
            case Found::kYes:
                break;
        }
    } else if (auto item = codes_.ItemByID(leaf_.itemID)) {
        item_ = *item;
    } else {
        return Refuse(row, RowOutcome::kNoDataRight, Refusal::kLeafItemHidden);
    }
    if (item_.erpClass == 6 || item_.erpClass == 8)
        return Refuse(row, RowOutcome::kUnknownCode, Refusal::kItemClass);
    const auto unit = codes_.Unit(item_, Cell(row, Field::kUnit));
    if (!unit)
        return Refuse(row, RowOutcome::kUnknownCode, Refusal::kUnitUnknown);
    std::int32_t currency = 1;  // no currency: currency 1, as a new entry's default
    const std::string currencyText = Cell(row, Field::kCurrency);
    if (!currencyText.empty()) {
        switch (codes_.Currency(currencyText, currency)) {
            case Found::kUnknown:
                return Refuse(row, RowOutcome::kUnknownCode, Refusal::kCurrencyUnknown);
            case Found::kNoRight:
                return Refuse(row, RowOutcome::kNoDataRight, Refusal::kCurrencyHidden);
            case Found::kYes:
                break;
        }
    }
    e.custID = cust;
    e.itemID = item_.id;
    e.unitID = *unit;
    e.currencyID = currency;
    return true;
}

bool Planner::ReadValues(PlannedRow& row) {
    PlannedValues& e = row.values;
    for (std::size_t i = 0; i < std::size(kNumberFields); ++i) {
        const NumberField& n = kNumberFields[i];
        const std::string_view text = plan_.FieldCell(row, n.field);
        if (text.empty() && !n.required) {
            e.*n.target = 0;
            continue;
        }
        const auto value = ParseNumber(text);
        // Quantities, prices and the rest are never negative (the editor
        // takes a negative entry back).
        if (!value || *value < 0)
            return Refuse(row, RowOutcome::kBadNumber, Refusal::kBadNumber,
                          static_cast<std::int64_t>(i));
        e.*n.target = *value;
    }
    const std::string_view quote = plan_.FieldCell(row, Field::kQuoteTime);
    const std::string_view expire = plan_.FieldCell(row, Field::kExpireDate);
    const auto from = quoteDates_.Read(quote.empty() ? std::string_view(today_) : quote);
    const auto to = expireDates_.Read(expire.empty() ? std::string_view(kOpenEnd) : expire);
    if (!from || !to)
        return Refuse(row, RowOutcome::kBadDate, Refusal::kBadDate);
    if (*to < *from)
        return Refuse(row, RowOutcome::kExpiryBeforeEffective, Refusal::kExpiryBeforeEffective);
    if (e.endQty - e.startQty < 0)
        return Refuse(row, RowOutcome::kBadBand, Refusal::kBadBand);
    e.quoteTime = PackDate(*from);
    e.expireDate = PackDate(*to);
    return true;
}

// Whether GetSELowPrice can find a floor for the pair: the item's own for
// every customer, or the pair's header row; the rest have none, and asking
// the database for each of 10,000 pairs that have none would cost more than
// the rest of the dry run.
bool Planner::MayHaveFloor(std::int32_t cust, std::int32_t item) {
    if (!floorsRead_) {
        floorsRead_ = true;
        RecordsetPtr rs = db_.Execute(
            "SELECT FItemID FROM t_ICItem WHERE FSalePriceFixingType=1 AND FSoLowPrc<>0");
        for (; rs && !rs->EOF_(); rs->MoveNext())
            itemFloors_.insert(static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger()));
        // The floors of those items at once, by GetSELowPrice's own statement
        // for one item; when it fails (a rate of 0 somewhere), each pair asks
        // GetSELowPrice, which passes its own failure over.
        try {
            rs = db_.Execute(
                "SELECT t1.FItemID,CASE WHEN RTRIM(t2.FOperator)='*' THEN "
                "(ISNULL(t1.FSoLowPrc,0)*t2.FExchangeRate) \r\n  ELSE "
                "(ISNULL(t1.FSoLowPrc,0)/t2.FExchangeRate) END AS FSELowPrice \r\nFROM t_ICItem "
                "t1 INNER JOIN t_Currency t2 ON t1.FSoLowPrcMnyType=t2.FCurrencyID\r\nWHERE "
                "t1.FSalePriceFixingType=1 AND t1.FSoLowPrc<>0");
            for (; rs && !rs->EOF_(); rs->MoveNext()) {
                const Variant& v = rs->Fields(1).Value();
                itemFloorValues_[static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger())] =
                    v.IsNull() ? 0.0 : v.ToDouble();
            }
            itemFloorsKnown_ = true;
        } catch (const std::runtime_error&) {
            itemFloorValues_.clear();
        }
        rs = db_.Execute("SELECT FCustID,FItemID FROM t_Cust WHERE FSELowPrice<>0");
        for (; rs && !rs->EOF_(); rs->MoveNext()) {
            pairFloors_.insert({static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger()),
                                static_cast<std::int32_t>(rs->Fields(1).Value().ToInteger())});
        }
    }
    return itemFloors_.count(item) > 0 || pairFloors_.count({cust, item}) > 0;
}

void Planner::ReadEntriesOf(std::int32_t custID) {
    if (!customersRead_.insert(custID).second)
        return;
    RecordsetPtr rs = db_.Execute(
        "SELECT FEntryID,FItemID,FUnitID,FStartQty,FEndQty,FPrice,FCyID,FDiscount,FLeadTime,"
        "FQuoteTime,FUsed,FExpireDate,FNote FROM t_CustEntry WHERE FCustID=" +
        std::to_string(custID));
    for (; rs && !rs->EOF_(); rs->MoveNext()) {
        EntryKey k;
        k.cust = custID;
        k.item = static_cast<std::int32_t>(rs->Fields("FItemID").Value().ToInteger());
        const Variant& unit = rs->Fields("FUnitID").Value();
        k.unit = unit.IsNull() ? 0 : static_cast<std::int32_t>(unit.ToInteger());
        k.startQty = VariantNumber(rs->Fields("FStartQty").Value());
        k.endQty = VariantNumber(rs->Fields("FEndQty").Value());
        k.currency = static_cast<std::int32_t>(rs->Fields("FCyID").Value().ToInteger());
        k.quoteTime = VariantDate(rs->Fields("FQuoteTime").Value());
        k.expireDate = VariantDate(rs->Fields("FExpireDate").Value());
        StoredValues s;
        s.entryID = static_cast<std::int32_t>(rs->Fields("FEntryID").Value().ToInteger());
        s.price = VariantNumber(rs->Fields("FPrice").Value());
        s.discount = VariantNumber(rs->Fields("FDiscount").Value());
        s.leadTime = VariantNumber(rs->Fields("FLeadTime").Value());
        const Variant& used = rs->Fields("FUsed").Value();
        s.used = !used.IsNull() && used.ToInteger() != 0;
        const Variant& note = rs->Fields("FNote").Value();
        s.note = note.IsNull() ? std::string() : note.ToText();
        entries_.emplace(k, std::move(s));
    }
}

// The check the editor's save makes: the price in the base currency, per
// base unit, against the floor of the customer and item.
bool Planner::BelowFloor(const PlannedValues& e) {
    const std::int32_t cust = e.custID, item = e.itemID, unit = e.unitID;
    auto coefficient = coefficients_.find(unit);
    if (coefficient == coefficients_.end()) {
        double c = 1;
        RecordsetPtr rs = db_.Execute(
            "select FCoefficient from t_MeasureUnit where FMeasureUnitID=" + SqlId(unit));
        if (rs && !rs->EOF_()) {
            const Variant& v = rs->Fields("FCoefficient").Value();
            if (!v.IsNull() && v.ToDouble() != 0)
                c = v.ToDouble();
        }
        coefficient = coefficients_.emplace(unit, c).first;
    }
    auto floor = floors_.find({cust, item});
    if (floor == floors_.end()) {
        double f = 0;
        if (MayHaveFloor(cust, item)) {
            if (itemFloorsKnown_ && itemFloors_.count(item)) {
                auto known = itemFloorValues_.find(item);
                f = known == itemFloorValues_.end() ? 0.0 : known->second;  // no currency row
            } else {
                GetSELowPrice(db_, cust, item, f);
            }
        }
        floor = floors_.emplace(std::make_pair(cust, item), f).first;
    }
    if (floor->second <= 0)
        return false;
    // The price in the base currency by ConvertByRate's rule (min_price.h),
    // with the currency's operator and rate read once rather than per row.
    const std::int32_t currency = e.currencyID;
    auto rate = rates_.find(currency);
    if (rate == rates_.end()) {
        RecordsetPtr rs = db_.Execute(
            "select FOperator,FExchangeRate From t_currency Where FCurrencyID =" + SqlId(currency));
        Rate r;
        if (rs && !rs->EOF_()) {
            const Variant& value = rs->Fields("FExchangeRate").Value();
            r.rate = value.IsNull() || value.ToDouble() == 0 ? 1.0 : value.ToDouble();
            const Variant& op = rs->Fields("FOperator").Value();
            r.divide = !op.IsNull() && op.ToText() == "/";
            r.known = true;
        }
        rate = rates_.emplace(currency, r).first;
    }
    const double price = e.price;
    const Rate& r = rate->second;
    const double base = !r.known ? 0.0 : r.divide ? price / r.rate : price * r.rate;
    return base / coefficient->second < floor->second;
}

void Planner::Decide(PlannedRow& row) {
    PlannedValues& e = row.values;
    const EntryKey key = KeyOf(e);
    auto [first, fresh] = keysInFile_.emplace(key, row.number);
    if (!fresh) {
        Refuse(row, RowOutcome::kDuplicateRow, Refusal::kDuplicateRow, first->second);
        return;
    }
    ReadEntriesOf(e.custID);
    auto it = entries_.find(key);
    if (it != entries_.end()) {
        const StoredValues& s = it->second;
        // Columns the file does not have keep their stored values.
        if (!plan_.columns.Has(Field::kDiscount))
            e.discount = s.discount;
        if (!plan_.columns.Has(Field::kLeadTime))
            e.leadTime = s.leadTime;
        const bool sameNote =
            !plan_.columns.Has(Field::kNote) ||
            plan_.Cell(row, static_cast<std::size_t>(plan_.columns[Field::kNote])) == s.note;
        if (e.price == s.price && e.discount == s.discount && e.leadTime == s.leadTime &&
            sameNote) {
            row.outcome = RowOutcome::kUnchanged;
            return;
        }
        if (s.used) {
            Refuse(row, RowOutcome::kAudited, Refusal::kAudited);
            return;
        }
        if (!mayModify_) {
            Refuse(row, RowOutcome::kNoFunctionRight, Refusal::kNoFunctionRight);
            return;
        }
        row.stored = static_cast<std::int32_t>(plan_.stored.size());
        plan_.stored.push_back(s);
        row.outcome = RowOutcome::kChange;
    } else {
        if (!mayAdd_) {
            Refuse(row, RowOutcome::kNoFunctionRight, Refusal::kNoFunctionRight);
            return;
        }
        row.outcome = RowOutcome::kNew;
    }
    if (alertFloor_ && BelowFloor(e))
        Refuse(row, RowOutcome::kBelowFloor, Refusal::kBelowFloor);
}

void Planner::Row(PlannedRow& row) {
    if (ReadCodes(row) && ReadValues(row))
        Decide(row);
}

}  // namespace

ImportPlan PlanImport(ModuleContext& ctx, AppConnection& db, const std::string& path,
                      const std::string& sheet, const ImportLeaf& leaf) {
    ImportPlan plan;
    plan.leaf = leaf;
    bool header = true;
    ReadTableFile(path, sheet, [&](SourceRow&& row) {
        if (header) {
            plan.captions = std::move(row.cells);
            header = false;
        } else {
            PlannedRow& planned = plan.rows.emplace_back();
            planned.number = row.number;
            planned.cells = plan.cells.Add(row.cells);
        }
    });
    plan.rows.shrink_to_fit();
    plan.cells.ShrinkToFit();
    plan.file = std::filesystem::path(path).filename().string();
    plan.columns = MatchColumns(plan.captions);
    // A file without the customer's or the item's column belongs to the leaf.
    for (const auto& [field, leafID, caption] :
         {std::tuple{Field::kCustNumber, leaf.custID, N_("客户代码")},
          std::tuple{Field::kItemNumber, leaf.itemID, N_("物料代码")},
          std::tuple{Field::kPrice, std::int32_t{-1}, N_("报价")}}) {
        if (!plan.columns.Has(field) && leafID <= 0)
            throw SourceError(SourceError::kMissingColumn, plan.file, 1, GetResText(caption));
    }

    Planner planner(ctx, db, leaf, plan, plan.rows.size());
    for (PlannedRow& row : plan.rows) planner.Row(row);
    return plan;
}

}  // namespace orva::import
