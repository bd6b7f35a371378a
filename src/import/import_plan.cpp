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

// The numbers and dates of a key, written one way so that equal values give
// equal keys.
std::string Number(double v) {
    return SqlNumber(v);
}

// The stored entries of one customer by key.
using EntriesByKey = std::unordered_map<std::string, PriceEntry>;

std::string EntryKey(const PriceEntry& e) {
    return e.itemID + "|" + e.unitID + "|" + e.startQty + "|" + e.endQty + "|" + e.currencyID +
           "|" + e.quoteTime + "|" + e.expireDate;
}

std::string VariantNumber(const Variant& v) {
    return v.IsNull() ? "0" : Number(v.ToDouble());
}

std::string VariantDate(const Variant& v) {
    if (v.IsNull())
        return {};
    auto date = ParseDate(v.ToText());
    return date ? date->ToText() : std::string();
}

// A function right asked without a message: the preview says it per row.
bool Holds(ModuleContext& ctx, std::int32_t right) {
    return PassOver(
        [&] {
            return GetGLData(ctx)->AccessCheck(FunctionObjectID(ctx), kFunctionRightIndex, right);
        },
        false);
}

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
    bool Refuse(PlannedRow& row, RowOutcome outcome, std::string reason) {
        row.outcome = outcome;
        row.reason = std::move(reason);
        return false;
    }
    bool ReadCodes(PlannedRow& row);
    bool ReadValues(PlannedRow& row);
    void Decide(PlannedRow& row);
    bool BelowFloor(const PriceEntry& e);
    bool MayHaveFloor(std::int32_t cust, std::int32_t item);
    const EntriesByKey& EntriesOf(const std::string& custID);
    std::string Cell(const PlannedRow& row, Field f) const {
        return std::string(Trim(plan_.columns.Cell(row.cells, f)));
    }

    ModuleContext& ctx_;
    AppConnection& db_;
    ImportLeaf leaf_;
    ImportPlan& plan_;
    CodeBook codes_;
    bool mayAdd_ = false, mayModify_ = false, alertFloor_ = false;
    std::string today_;
    ItemCode item_;
    std::unordered_map<std::string, EntriesByKey> entries_;           // by customer
    std::unordered_map<std::string, std::int64_t> keysInFile_;        // customer|key -> row
    std::map<std::pair<std::int32_t, std::int32_t>, double> floors_;  // (customer, item)
    std::unordered_map<std::int32_t, double> coefficients_;           // by unit
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
        std::string text;
        const std::optional<Date>& Read(const std::string& cell) {
            if (cell != from || from.empty()) {
                from = cell;
                date = ParseDate(cell);
                text = date ? date->ToText() : std::string();
            }
            return date;
        }
    };
    DateMemo quoteDates_, expireDates_;
    std::unordered_set<std::int32_t> itemFloors_;                 // items priced for all
    std::set<std::pair<std::int32_t, std::int32_t>> pairFloors_;  // (customer, item)
};

bool Planner::ReadCodes(PlannedRow& row) {
    PriceEntry& e = row.entry;
    std::int32_t cust = leaf_.custID;
    if (plan_.columns.Has(Field::kCustNumber)) {
        const std::string code = Cell(row, Field::kCustNumber);
        switch (codes_.Customer(code, cust)) {
            case Found::kUnknown:
                return Refuse(row, RowOutcome::kUnknownCode, GetResText("客户代码不存在：") + code);
            case Found::kNoRight:
                return Refuse(row, RowOutcome::kNoDataRight,
                              GetResText("没有该客户的数据权限：") + code);
            case Found::kYes:
                break;
        }
    } else if (!codes_.CustomerVisible(cust)) {
        return Refuse(row, RowOutcome::kNoDataRight,
                      GetResText("没有该客户的数据权限：") + std::to_string(cust));
    }
    if (plan_.columns.Has(Field::kItemNumber)) {
        const std::string code = Cell(row, Field::kItemNumber);
        switch (codes_.Item(code, item_)) {
            case Found::kUnknown:
                return Refuse(row, RowOutcome::kUnknownCode, GetResText("物料代码不存在：") + code);
            case Found::kNoRight:
                return Refuse(row, RowOutcome::kNoDataRight,
                              GetResText("没有该物料的数据权限：") + code);
            case Found::kYes:
                break;
        }
    } else if (auto item = codes_.ItemByID(leaf_.itemID)) {
        item_ = *item;
    } else {
        return Refuse(row, RowOutcome::kNoDataRight,
                      GetResText("没有该物料的数据权限：") + std::to_string(leaf_.itemID));
    }
    if (item_.erpClass == 6 || item_.erpClass == 8)
        return Refuse(row, RowOutcome::kUnknownCode,
                      GetResText("不能指定规划类、特征类的物料。请重新输入"));
    const std::string unitText = Cell(row, Field::kUnit);
    const auto unit = codes_.Unit(item_, unitText);
    if (!unit)
        return Refuse(row, RowOutcome::kUnknownCode, GetResText("计量单位不存在：") + unitText);
    std::int32_t currency = 1;  // no currency: currency 1, as a new entry's default
    const std::string currencyText = Cell(row, Field::kCurrency);
    if (!currencyText.empty()) {
        switch (codes_.Currency(currencyText, currency)) {
            case Found::kUnknown:
                return Refuse(row, RowOutcome::kUnknownCode,
                              GetResText("币别不存在：") + currencyText);
            case Found::kNoRight:
                return Refuse(row, RowOutcome::kNoDataRight,
                              GetResText("没有该币别的数据权限：") + currencyText);
            case Found::kYes:
                break;
        }
    }
    e.custID = std::to_string(cust);
    e.itemID = std::to_string(item_.id);
    e.unitID = std::to_string(*unit);
    e.currencyID = std::to_string(currency);
    return true;
}

bool Planner::ReadValues(PlannedRow& row) {
    PriceEntry& e = row.entry;
    struct NumberField {
        Field field;
        std::string PriceEntry::*target;
        bool required;
        const char* caption;
    };
    const NumberField numbers[] = {
        {Field::kStartQty, &PriceEntry::startQty, false, N_("销货量(从)")},
        {Field::kEndQty, &PriceEntry::endQty, false, N_("销货量(到)")},
        {Field::kPrice, &PriceEntry::price, true, N_("报价")},
        {Field::kDiscount, &PriceEntry::discount, false, N_("折扣率(%)")},
        {Field::kLeadTime, &PriceEntry::leadTime, false, N_("提前期(天)")},
    };
    for (const NumberField& n : numbers) {
        const std::string text = Cell(row, n.field);
        if (text.empty() && !n.required) {
            e.*n.target = "0";
            continue;
        }
        const auto value = ParseNumber(text);
        // Quantities, prices and the rest are never negative (the editor
        // takes a negative entry back).
        if (!value || *value < 0)
            return Refuse(row, RowOutcome::kBadNumber,
                          GetResText("数值不正确：") + GetResText(n.caption) + " " + text);
        e.*n.target = Number(*value);
    }
    const std::string quote = Cell(row, Field::kQuoteTime);
    const std::string expire = Cell(row, Field::kExpireDate);
    const auto from = quoteDates_.Read(quote.empty() ? today_ : quote);
    const auto to = expireDates_.Read(expire.empty() ? kOpenEnd : expire);
    if (!from || !to)
        return Refuse(row, RowOutcome::kBadDate, GetResText("请输入有效的生效日期和失效日期。"));
    if (*to < *from)
        return Refuse(row, RowOutcome::kExpiryBeforeEffective,
                      GetResText(" 失效日期应大于或等于生效日期。"));
    if (Val(e.endQty) - Val(e.startQty) < 0)
        return Refuse(row, RowOutcome::kBadBand, GetResText(" 销货量(到)应大于或等于销货量(从)。"));
    e.quoteTime = quoteDates_.text;
    e.expireDate = expireDates_.text;
    e.note = plan_.columns.Cell(row.cells, Field::kNote);
    e.used = "0";
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

const EntriesByKey& Planner::EntriesOf(const std::string& custID) {
    auto it = entries_.find(custID);
    if (it != entries_.end())
        return it->second;
    EntriesByKey& byKey = entries_[custID];
    RecordsetPtr rs = db_.Execute(
        "SELECT FEntryID,FItemID,FUnitID,FStartQty,FEndQty,FPrice,FCyID,FDiscount,FLeadTime,"
        "FQuoteTime,FUsed,FExpireDate,FNote FROM t_CustEntry WHERE FCustID=" +
        custID);
    for (; rs && !rs->EOF_(); rs->MoveNext()) {
        PriceEntry s;
        s.entryID = static_cast<std::int32_t>(rs->Fields("FEntryID").Value().ToInteger());
        s.custID = custID;
        s.itemID = std::to_string(rs->Fields("FItemID").Value().ToInteger());
        s.unitID = rs->Fields("FUnitID").Value().IsNull()
                       ? "0"
                       : std::to_string(rs->Fields("FUnitID").Value().ToInteger());
        s.startQty = VariantNumber(rs->Fields("FStartQty").Value());
        s.endQty = VariantNumber(rs->Fields("FEndQty").Value());
        s.price = VariantNumber(rs->Fields("FPrice").Value());
        s.currencyID = std::to_string(rs->Fields("FCyID").Value().ToInteger());
        s.discount = VariantNumber(rs->Fields("FDiscount").Value());
        s.leadTime = VariantNumber(rs->Fields("FLeadTime").Value());
        s.quoteTime = VariantDate(rs->Fields("FQuoteTime").Value());
        s.expireDate = VariantDate(rs->Fields("FExpireDate").Value());
        const Variant& used = rs->Fields("FUsed").Value();
        s.used = !used.IsNull() && used.ToInteger() != 0 ? "1" : "0";
        const Variant& note = rs->Fields("FNote").Value();
        s.note = note.IsNull() ? std::string() : note.ToText();
        byKey.emplace(EntryKey(s), std::move(s));
    }
    return byKey;
}

// The check the editor's save makes: the price in the base currency, per
// base unit, against the floor of the customer and item.
bool Planner::BelowFloor(const PriceEntry& e) {
    const std::int32_t cust = ValId(e.custID), item = ValId(e.itemID), unit = ValId(e.unitID);
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
    const std::int32_t currency = ValId(e.currencyID);
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
    const double price = Val(e.price);
    const Rate& r = rate->second;
    const double base = !r.known ? 0.0 : r.divide ? price / r.rate : price * r.rate;
    return base / coefficient->second < floor->second;
}

void Planner::Decide(PlannedRow& row) {
    PriceEntry& e = row.entry;
    const std::string key = EntryKey(e);
    auto [first, fresh] = keysInFile_.emplace(e.custID + "#" + key, row.number);
    if (!fresh) {
        Refuse(row, RowOutcome::kDuplicateRow,
               GetResText("与第") + std::to_string(first->second) + GetResText("行重复。"));
        return;
    }
    const EntriesByKey& stored = EntriesOf(e.custID);
    auto it = stored.find(key);
    if (it != stored.end()) {
        const PriceEntry& s = it->second;
        // Columns the file does not have keep their stored values.
        if (!plan_.columns.Has(Field::kDiscount))
            e.discount = s.discount;
        if (!plan_.columns.Has(Field::kLeadTime))
            e.leadTime = s.leadTime;
        if (!plan_.columns.Has(Field::kNote))
            e.note = s.note;
        e.used = s.used;
        if (e.price == s.price && e.discount == s.discount && e.leadTime == s.leadTime &&
            e.note == s.note) {
            row.outcome = RowOutcome::kUnchanged;
            return;
        }
        if (s.Audited()) {
            Refuse(row, RowOutcome::kAudited, GetResText("价格资料已审核，不能修改。"));
            return;
        }
        if (!mayModify_) {
            Refuse(row, RowOutcome::kNoFunctionRight, GetResText("没有权限,请与系统管理员联系"));
            return;
        }
        e.entryID = s.entryID;
        row.stored = s;
        row.outcome = RowOutcome::kChange;
    } else {
        if (!mayAdd_) {
            Refuse(row, RowOutcome::kNoFunctionRight, GetResText("没有权限,请与系统管理员联系"));
            return;
        }
        row.outcome = RowOutcome::kNew;
    }
    if (alertFloor_ && BelowFloor(e))
        Refuse(row, RowOutcome::kBelowFloor, GetResText("价格低于销售最低限价。"));
}

void Planner::Row(PlannedRow& row) {
    if (ReadCodes(row) && ReadValues(row))
        Decide(row);
}

}  // namespace

std::string OutcomeName(RowOutcome outcome) {
    switch (outcome) {
        case RowOutcome::kNew:
            return GetResText("新增");
        case RowOutcome::kChange:
            return GetResText("修改");
        case RowOutcome::kUnchanged:
            return GetResText("无变化");
        case RowOutcome::kAudited:
            return GetResText("已审核");
        case RowOutcome::kUnknownCode:
            return GetResText("代码不存在");
        case RowOutcome::kNoDataRight:
            return GetResText("无数据权限");
        case RowOutcome::kNoFunctionRight:
            return GetResText("无功能权限");
        case RowOutcome::kBadNumber:
            return GetResText("数值错误");
        case RowOutcome::kBadDate:
            return GetResText("日期错误");
        case RowOutcome::kExpiryBeforeEffective:
            return GetResText("失效日期早于生效日期");
        case RowOutcome::kBadBand:
            return GetResText("数量段错误");
        case RowOutcome::kBelowFloor:
            return GetResText("低于最低限价");
        case RowOutcome::kDuplicateRow:
            return GetResText("文件内重复");
        case RowOutcome::kWriteFailed:
            return GetResText("写入失败");
        case RowOutcome::kCount:
            break;
    }
    return {};
}

bool Writes(RowOutcome outcome) {
    return outcome == RowOutcome::kNew || outcome == RowOutcome::kChange;
}

std::int64_t ImportPlan::Count(RowOutcome outcome) const {
    std::int64_t n = 0;
    for (const PlannedRow& row : rows) n += row.outcome == outcome ? 1 : 0;
    return n;
}

std::int64_t ImportPlan::ToWrite() const {
    std::int64_t n = 0;
    for (const PlannedRow& row : rows) {
        n += Writes(row.outcome) || (row.outcome == RowOutcome::kBelowFloor && row.writeBelowFloor)
                 ? 1
                 : 0;
    }
    return n;
}

bool ImportPlan::AllAccepted() const {
    for (const PlannedRow& row : rows) {
        if (!Writes(row.outcome) && row.outcome != RowOutcome::kUnchanged &&
            !(row.outcome == RowOutcome::kBelowFloor && row.writeBelowFloor))
            return false;
    }
    return true;
}

ImportPlan PlanImport(ModuleContext& ctx, AppConnection& db, const std::string& path,
                      const std::string& sheet, const ImportLeaf& leaf) {
    ImportPlan plan;
    std::vector<SourceRow> rows;
    bool header = true;
    ReadTableFile(path, sheet, [&](SourceRow&& row) {
        if (header) {
            plan.captions = row.cells;
            header = false;
        } else {
            rows.push_back(std::move(row));
        }
    });
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

    Planner planner(ctx, db, leaf, plan, rows.size());
    plan.rows.reserve(rows.size());
    for (SourceRow& source : rows) {
        PlannedRow& row = plan.rows.emplace_back();
        row.number = source.number;
        row.cells = std::move(source.cells);
        planner.Row(row);
    }
    return plan;
}

}  // namespace orva::import
