#include "host/db/price_history_asof.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "host/db/price_history.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/recordset.h"

namespace orva {
namespace {

// Ids written into one IN list, and literal rows in one UNION (SQLite
// takes at most 500 terms in a compound statement).
constexpr std::size_t kIdsPerList = 500;
constexpr std::size_t kRowsPerUnion = 400;

using Values = std::vector<std::optional<std::string>>;

// An entry's columns in the order of kHistoryEntryColumns (FCustID first,
// FItemID second); `present` false while the entry did not exist.
struct EntryState {
    bool present = false;
    Values values = Values(kHistoryEntryColumns.size());
};

// A customer-item row's FCurrencyID and FSELowPrice; `undone` marks the
// values a step gave back.
struct HeaderState {
    bool present = false;
    Values values = Values(kHistoryCustColumns.size());
    std::vector<bool> undone = std::vector<bool>(kHistoryCustColumns.size());
};

struct Step {
    std::int64_t id = 0;
    std::int32_t entry = 0;
    std::int32_t cust = 0;
    std::int32_t item = 0;
    std::string op;
    std::string changes;
};

std::string Quoted(const std::string& text) {
    return SqlText(text);
}

std::optional<std::string> ValueText(const Variant& v) {
    if (v.IsNull())
        return std::nullopt;
    return v.ToText();
}

// A recorded value as the column takes it: "" is Null but for the note.
std::optional<std::string> Recorded(std::string_view column, const std::string& text) {
    if (text.empty() && column != "FNote")
        return std::nullopt;
    return text;
}

int IndexOf(const std::vector<std::string_view>& columns, std::string_view name) {
    auto it = std::find(columns.begin(), columns.end(), name);
    return it == columns.end() ? -1 : static_cast<int>(it - columns.begin());
}

// A value written as the literal of its column.
std::string Literal(std::string_view column, const std::optional<std::string>& v) {
    if (!v)
        return "NULL";
    if (column == "FNote" || column == "FQuoteTime" || column == "FExpireDate")
        return Quoted(*v);
    errno = 0;
    char* end = nullptr;
    const double d = std::strtod(v->c_str(), &end);
    if (v->empty() || end != v->c_str() + v->size() || errno == ERANGE || !std::isfinite(d)) {
        throw ComError(ComError::kDatabase,
                       "The price history holds \"" + *v + "\" for " + std::string(column) +
                           ", which is not a number.",
                       kConnectionProgID);
    }
    return SqlNumber(d);
}

std::optional<std::int64_t> WholeNumber(const std::optional<std::string>& v) {
    if (!v || v->empty())
        return std::nullopt;
    char* end = nullptr;
    const double d = std::strtod(v->c_str(), &end);
    if (end != v->c_str() + v->size())
        return std::nullopt;
    return static_cast<std::int64_t>(d);
}

template <class F>
void ForEachRow(DbBackend& db, const std::string& sql, F f) {
    BatchResult r = db.ExecuteBatch(sql);
    if (r.recordsets.empty())
        return;
    for (Recordset& rs = *r.recordsets.front(); !rs.EOF_(); rs.MoveNext()) f(rs);
}

// "a,b,c" lists of at most kIdsPerList ids.
std::vector<std::string> IdLists(const std::set<std::int32_t>& ids) {
    std::vector<std::string> lists;
    std::size_t n = 0;
    for (std::int32_t id : ids) {
        if (n++ % kIdsPerList == 0)
            lists.emplace_back();
        else
            lists.back() += ",";
        lists.back() += std::to_string(id);
    }
    return lists;
}

constexpr const char* kStepColumns =
    "SELECT FHistID,FEntryID,FCustID,FItemID,FOperation,FChanges FROM t_CustEntryHistory ";

void ReadSteps(DbBackend& db, const std::string& where, std::map<std::int64_t, Step>& steps) {
    ForEachRow(db, kStepColumns + where, [&](Recordset& rs) {
        Step s;
        s.id = rs.Fields(0).Value().ToInteger();
        s.entry = static_cast<std::int32_t>(rs.Fields(1).Value().ToInteger());
        s.cust = static_cast<std::int32_t>(rs.Fields(2).Value().ToInteger());
        s.item = static_cast<std::int32_t>(rs.Fields(3).Value().ToInteger());
        s.op = rs.Fields(4).Value().ToText();
        s.changes = rs.Fields(5).Value().ToText();
        steps.emplace(s.id, std::move(s));
    });
}

std::string EntryColumnList() {
    std::string s = "FEntryID";
    for (auto c : kHistoryEntryColumns) s += "," + std::string(c);
    return s;
}

std::string HeaderColumnList() {
    std::string s = "FCustID,FItemID";
    for (auto c : kHistoryCustColumns) s += "," + std::string(c);
    return s;
}

// "(SELECT <columns> FROM table WHERE <kept> UNION ALL <literal rows>)":
// the literal rows in groups, each group led by an empty read of the table
// so that every engine gives the group's columns the table's types.
std::string DerivedTable(const std::string& columns, const std::string& table,
                         const std::string& kept, const std::vector<std::string>& rows) {
    std::string sql = "(SELECT " + columns + " FROM " + table + " WHERE " + kept;
    for (std::size_t i = 0; i < rows.size(); i += kRowsPerUnion) {
        sql += " UNION ALL SELECT * FROM (SELECT " + columns + " FROM " + table + " WHERE 1=0";
        for (std::size_t j = i; j < std::min(rows.size(), i + kRowsPerUnion); ++j)
            sql += " UNION ALL SELECT " + rows[j];
        sql += ") asof" + std::to_string(i / kRowsPerUnion + 1);
    }
    return sql + ")";
}

// Undoes one step on the states: newest first.
void Undo(const Step& s, std::map<std::int32_t, EntryState>& entries,
          std::map<std::int32_t, HeaderState>& headers, bool byItem) {
    const std::vector<HistoryChange> changes = SplitHistoryChanges(s.changes);
    if (s.entry == 0) {
        HeaderState& h = headers[byItem ? s.cust : s.item];
        for (const HistoryChange& c : changes) {
            const int i = IndexOf(kHistoryCustColumns, c.column);
            if (i >= 0) {
                h.values[static_cast<std::size_t>(i)] = Recorded(c.column, c.oldValue);
                h.undone[static_cast<std::size_t>(i)] = true;
            }
        }
        return;
    }
    EntryState& e = entries[s.entry];
    if (s.op == "add") {
        e.present = false;
        return;
    }
    e.present = true;
    for (const HistoryChange& c : changes) {
        const int i = IndexOf(kHistoryEntryColumns, c.column);
        if (i >= 0)
            e.values[static_cast<std::size_t>(i)] = Recorded(c.column, c.oldValue);
    }
}

}  // namespace

std::string AsOfCutoff(const Date& day) {
    // The next day, by the civil calendar.
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (day.year % 4 == 0 && day.year % 100 != 0) || day.year % 400 == 0;
    Date next = day;
    const int monthDays = day.month == 2 && leap ? 29 : kDays[day.month - 1];
    if (++next.day > monthDays) {
        next.day = 1;
        if (++next.month > 12) {
            next.month = 1;
            ++next.year;
        }
    }
    return next.ToText() + " 00:00:00.000";
}

std::optional<Date> ParseAsOfDay(std::string_view text, const Date& today) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::optional<Date> day = Date::Parse(text);
    if (!day || *day < Date{1900, 1, 1} || *day > today)
        return std::nullopt;
    return day;
}

LedgerTables AsOfTables(DbBackend& db, bool byItem, std::int32_t leaf, const std::string& cutoff) {
    const std::string leafColumn = byItem ? "FItemID" : "FCustID";
    const std::string otherColumn = byItem ? "FCustID" : "FItemID";
    const std::size_t leafIndex = byItem ? 1 : 0;
    const std::string after = "WHERE FTime>=" + Quoted(cutoff);

    // The steps since the cutoff of the leaf's entries and rows, and of any
    // entry that moved into or out of it (its every step then counts).
    std::map<std::int64_t, Step> steps;
    ReadSteps(db,
              after + " AND (" + leafColumn + "=" + std::to_string(leaf) + " OR FChanges LIKE " +
                  Quoted("%" + leafColumn + "%") + ")",
              steps);
    std::set<std::int32_t> moved;
    for (const auto& [id, s] : steps) {
        if (s.entry != 0 && (byItem ? s.item : s.cust) != leaf)
            moved.insert(s.entry);
    }
    for (const std::string& list : IdLists(moved))
        ReadSteps(db, after + " AND FEntryID IN (" + list + ")", steps);

    std::set<std::int32_t> entryIds;
    std::set<std::int32_t> headerKeys;  // the other column of the leaf's rows
    for (const auto& [id, s] : steps) {
        if (s.entry != 0)
            entryIds.insert(s.entry);
        else if ((byItem ? s.item : s.cust) == leaf)
            headerKeys.insert(byItem ? s.cust : s.item);
    }
    if (entryIds.empty() && headerKeys.empty())
        return {};

    // The entries as they are now.
    std::map<std::int32_t, EntryState> entries;
    for (std::int32_t id : entryIds) entries[id];
    for (const std::string& list : IdLists(entryIds)) {
        ForEachRow(
            db,
            "SELECT " + EntryColumnList() + " FROM t_CustEntry WHERE FEntryID IN (" + list + ")",
            [&](Recordset& rs) {
                EntryState& e =
                    entries[static_cast<std::int32_t>(rs.Fields(0).Value().ToInteger())];
                e.present = true;
                for (std::size_t i = 0; i < e.values.size(); ++i)
                    e.values[i] = ValueText(rs.Fields(static_cast<int>(i) + 1).Value());
            });
    }
    std::map<std::int32_t, HeaderState> headers;
    for (std::int32_t k : headerKeys) headers[k];

    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        Undo(it->second, entries, headers, byItem);

    // The rows of the leaf then, and the header rows their entries join.
    std::vector<std::string> entryRows;
    for (const auto& [id, e] : entries) {
        if (!e.present || WholeNumber(e.values[leafIndex]) != leaf)
            continue;
        std::string row = std::to_string(id);
        for (std::size_t i = 0; i < e.values.size(); ++i)
            row += "," + Literal(kHistoryEntryColumns[i], e.values[i]);
        entryRows.push_back(std::move(row));
        if (auto other = WholeNumber(e.values[byItem ? 0 : 1]))
            headerKeys.insert(static_cast<std::int32_t>(*other));
    }

    // Header rows as they are now: the values a step did not undo; a row
    // deleted since (with its pair's last entry) takes its values from the
    // steps before the cutoff, over the values a new row gets.
    for (const std::string& list : IdLists(headerKeys)) {
        ForEachRow(db,
                   "SELECT " + otherColumn + ",FCurrencyID,FSELowPrice FROM t_Cust WHERE " +
                       leafColumn + "=" + std::to_string(leaf) + " AND " + otherColumn + " IN (" +
                       list + ")",
                   [&](Recordset& rs) {
                       HeaderState& h =
                           headers[static_cast<std::int32_t>(rs.Fields(0).Value().ToInteger())];
                       h.present = true;
                       for (std::size_t i = 0; i < h.values.size(); ++i)
                           if (!h.undone[i])
                               h.values[i] = ValueText(rs.Fields(static_cast<int>(i) + 1).Value());
                   });
    }
    std::vector<std::string> headerRows;
    for (std::int32_t k : headerKeys) {
        HeaderState& h = headers[k];
        const std::string cust = std::to_string(byItem ? k : leaf);
        const std::string item = std::to_string(byItem ? leaf : k);
        if (!h.present) {
            Values before = {std::string("1"), std::string("0")};
            std::map<std::int64_t, Step> earlier;
            ReadSteps(db,
                      "WHERE FTime<" + Quoted(cutoff) + " AND FEntryID=0 AND FCustID=" + cust +
                          " AND FItemID=" + item,
                      earlier);
            for (const auto& [sid, s] : earlier)
                for (const HistoryChange& c : SplitHistoryChanges(s.changes))
                    if (int i = IndexOf(kHistoryCustColumns, c.column); i >= 0)
                        before[static_cast<std::size_t>(i)] = Recorded(c.column, c.newValue);
            for (std::size_t i = 0; i < h.values.size(); ++i)
                if (!h.undone[i])
                    h.values[i] = before[i];
        }
        std::string row = cust + "," + item;
        for (std::size_t i = 0; i < h.values.size(); ++i)
            row += "," + Literal(kHistoryCustColumns[i], h.values[i]);
        headerRows.push_back(std::move(row));
    }

    LedgerTables tables;
    std::string keptEntries = leafColumn + "=" + std::to_string(leaf);
    for (const std::string& list : IdLists(entryIds))
        keptEntries += " AND FEntryID NOT IN (" + list + ")";
    tables.entries = DerivedTable(EntryColumnList(), "t_CustEntry", keptEntries, entryRows);
    std::string keptHeaders = leafColumn + "=" + std::to_string(leaf);
    for (const std::string& list : IdLists(headerKeys))
        keptHeaders += " AND " + otherColumn + " NOT IN (" + list + ")";
    tables.headers = DerivedTable(HeaderColumnList(), "t_Cust", keptHeaders, headerRows);
    return tables;
}

}  // namespace orva
