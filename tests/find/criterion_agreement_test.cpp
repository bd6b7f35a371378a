// One criterion, three matchers, the same rows: every operator of every kind
// of field the find dialog offers in search all (the customer's or item's
// code and name, the item's model, unit, currency, price, dates, note, audit
// state) is matched, in the customer tree and in the item tree,
// - by the find component over each customer's or item's ledger, as search
//   all tests one its statement picked (MatchLeafLedger),
// - by search all's statement on the database (MatchingLeavesSql), and
// - by the record set's Filter, the criterion written in the Filter's grammar
//   (AsFilter below),
// over the same price entries, each of its own customer and item, on SQLite
// and PostgreSQL.
// The rows hold Null and blank cells, letter case beyond ASCII, full-width
// and ideographic text, the characters LIKE gives a meaning, dates with a
// time of day. Where the Filter differs, the case says why: it compares the
// stored text as the record set does (ASCII letter case only, no width
// folding, leading blanks counted, LIKE wildcards only at the ends), rules
// the module's own Filter texts rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "browse/find_search_all.h"
#include "browse/tvw_builder.h"
#include "host/db/open_database.h"
#include "host/find/find_criteria.h"
#include "host/find/search_all_source.h"
#include "model/sql_values.h"
#include "support/postgres_server.h"
#include "support/temp_company.h"

namespace orva {
namespace {

using Rows = std::vector<int>;  // 1-based numbers of the entries below

// One price entry, of a customer and an item of its own (ids 1001 to 1008
// and 2001 to 2008, codes 01.001 to 01.008 in both trees, the same name), so
// that the customers or items search all finds are the entries that match.
struct Entry {
    const char* name;   // the customer's and the item's
    const char* model;  // the item's
    int unit;           // 11 "Kg", 12 "kg", 13 "箱", 14 "ＫＧ"
    int currency;       // 1 "人民币", 2 "美元", 3 "港币"
    const char* price;
    const char* quote;  // nullptr: Null
    const char* expire;
    const char* note;
    int used;
};

const Entry kEntries[] = {
    {"ABC钢板", "Φ10", 11, 1, "45.789", "2024-01-01", "2100-01-01", "含税价", 1},
    {" abc 钢板 ", nullptr, 12, 2, "10", "2025-06-30", nullptr, nullptr, 0},
    {"50%_折扣*[特]", "", 13, 1, "9.99", "2026-12-31", "2027-01-01", "O'Brien", 1},
    {"铜管", "M8×20", 13, 3, "120", "2026-12-31 10:30:00", "2026-12-31", "  ", 0},
    {"ＡＢＣ全角", "ｍ８×２０", 14, 2, "0", nullptr, nullptr, "含特价", 2},
    {"CAFÉ ÉCLAIR", " ", 11, 1, "-5.5", "2023-02-28", "2100-01-01", "ÉTÉ价", 1},
    {"Straße", "m8", 11, 1, "1000000", "2024-02-29", "2100-01-01", "㎏装", 0},
    {"钢板Ⅳ", "Φ10", 11, 1, "45.79", "2024-01-02", "2100-01-01", "　特价", 1},
};

// Search all's fields: the code and name of the customer or item itself, the
// fields of its entries, and the item's model (the item tree only).
enum Field { kCode, kName, kUnit, kCurrency, kPrice, kQuote, kExpire, kNote, kUsed, kModel };

std::vector<FindField> SearchAllFields() {
    auto f = [](const char* column, int dataType) {
        FindField field;
        field.column = column;
        field.dataType = dataType;
        return field;
    };
    std::vector<FindField> fields = {f("FNumber", 1),     f("FName", 1),  f("FUnitName", 1),
                                     f("FCyName", 1),     f("FPrice", 2), f("FQuoteTime", 0),
                                     f("FExpireDate", 0), f("FNote", 1),  f("FUsed", 8),
                                     f("FModel", 1)};
    fields[kUsed].choices = {"已审核", "未审核"};
    return fields;
}

// What the record set's Filter gives for a case.
struct FilterGives {
    bool stated = true;        // the Filter's grammar can state the criteria
    std::optional<Rows> rows;  // other rows than the rest give
    const char* why = "";
};
FilterGives Same() {
    return {};
}
FilterGives Differs(Rows rows, const char* why) {
    return {true, std::move(rows), why};
}
FilterGives NoForm(const char* why) {
    return {false, std::nullopt, why};
}

struct Case {
    const char* what;
    std::vector<FindCriterion> criteria;
    Rows rows;  // what the find component and search all give
    FilterGives filter = Same();
    FindJoin join = FindJoin::kAll;
};

using O = FindOp;
const Rows kAll = {1, 2, 3, 4, 5, 6, 7, 8};

const Case kCases[] = {
    // Text, on the customer's own name.
    {"contains, any case",
     {{kName, O::kContains, "abc", ""}},
     {1, 2, 5},
     Differs({1, 2}, "no width folding")},
    {"full-width typed",
     {{kName, O::kContains, "ＡＢＣ", ""}},
     {1, 2, 5},
     Differs({1, 2}, "no width folding")},
    {"Latin-1 letters ignore case",
     {{kName, O::kContains, "é", ""}},
     {6},
     Differs({}, "ASCII letter case only")},
    {"ß is not ss", {{kName, O::kContains, "ss", ""}}, {}},
    {"㎏ is not kg", {{kNote, O::kContains, "kg", ""}}, {}},
    {"equals the trimmed text",
     {{kName, O::kEquals, "ABC 钢板", ""}},
     {2},
     Differs({}, "leading blanks count")},
    {"equals, any case", {{kName, O::kEquals, "abc钢板", ""}}, {1}},
    {"not equal", {{kName, O::kNotEqual, "铜管", ""}}, {1, 2, 3, 5, 6, 7, 8}},
    {"begins with, after trimming",
     {{kName, O::kBeginsWith, "abc", ""}},
     {1, 2, 5},
     Differs({1}, "leading blanks count; no width folding")},
    {"ends with, after trimming",
     {{kName, O::kEndsWith, "钢板", ""}},
     {1, 2},
     Differs({1}, "LIKE keeps trailing blanks")},
    {"% and _ are characters",
     {{kName, O::kContains, "%_", ""}},
     {3},
     NoForm("a wildcard inside a LIKE pattern")},
    {"* and [ are characters",
     {{kName, O::kContains, "*[", ""}},
     {3},
     NoForm("a wildcard inside a LIKE pattern")},
    {"wildcards in an equal text", {{kName, O::kEquals, "50%_折扣*[特]", ""}}, {3}},
    {"customer code", {{kCode, O::kBeginsWith, "01.00", ""}}, kAll},
    {"customer code equals", {{kCode, O::kEquals, "01.003", ""}}, {3}},
    // Text of the entries: Null reads as empty.
    {"note contains", {{kNote, O::kContains, "价", ""}}, {1, 5, 6, 8}},
    {"typed ideographic blank is trimmed", {{kNote, O::kContains, "　特价", ""}}, {5, 8}},
    {"an ideographic blank in the data is a character", {{kNote, O::kEquals, "特价", ""}}, {}},
    {"does not contain: Null is empty",
     {{kNote, O::kNotContains, "价", ""}},
     {2, 3, 4, 7},
     NoForm("no NOT LIKE")},
    {"contains nothing: every row", {{kNote, O::kContains, "", ""}}, kAll},
    {"not equal: Null is empty", {{kNote, O::kNotEqual, "含税价", ""}}, {2, 3, 4, 5, 6, 7, 8}},
    {"empty: Null and blanks", {{kNote, O::kEmpty, "", ""}}, {2, 4}},
    {"not empty", {{kNote, O::kNotEmpty, "", ""}}, {1, 3, 5, 6, 7, 8}},
    {"a quote is a character", {{kNote, O::kContains, "o'b", ""}}, {3}},
    {"Latin-1 capitals of the data",
     {{kNote, O::kBeginsWith, "été", ""}},
     {6},
     Differs({}, "ASCII letter case only")},
    {"unit, any case and width",
     {{kUnit, O::kEquals, "kg", ""}},
     {1, 2, 5, 6, 7, 8},
     Differs({1, 2, 6, 7, 8}, "no width folding")},
    {"currency", {{kCurrency, O::kEquals, "美元", ""}}, {2, 5}},
    // Numbers: the stored value.
    {"price equals", {{kPrice, O::kEquals, "45.789", ""}}, {1}},
    {"full-width digits", {{kPrice, O::kEquals, "４５.７８９", ""}}, {1}},
    {"zero", {{kPrice, O::kEquals, "0", ""}}, {5}},
    {"negative", {{kPrice, O::kEquals, "-5.5", ""}}, {6}},
    {"not equal", {{kPrice, O::kNotEqual, "10", ""}}, {1, 3, 4, 5, 6, 7, 8}},
    {"less", {{kPrice, O::kLess, "10", ""}}, {3, 5, 6}},
    {"at most", {{kPrice, O::kLessEqual, "10", ""}}, {2, 3, 5, 6}},
    {"more", {{kPrice, O::kGreater, "45.789", ""}}, {4, 7, 8}},
    {"at least", {{kPrice, O::kGreaterEqual, "45.789", ""}}, {1, 4, 7, 8}},
    {"between, inclusive", {{kPrice, O::kBetween, "9.99", "45.789"}}, {1, 2, 3}},
    {"between either way round", {{kPrice, O::kBetween, "45.789", "9.99"}}, {1, 2, 3}},
    // Dates: a day, whatever the time of day; Null matches no comparison.
    {"date equals, with a time of day", {{kQuote, O::kEquals, "2026-12-31", ""}}, {3, 4}},
    {"date not equal skips Null", {{kQuote, O::kNotEqual, "2026-12-31", ""}}, {1, 2, 6, 7, 8}},
    {"date before", {{kQuote, O::kLess, "2024-01-02", ""}}, {1, 6}},
    {"date at most, typed with slashes", {{kQuote, O::kLessEqual, "2024/1/2", ""}}, {1, 6, 8}},
    {"date after a day with a time in it", {{kQuote, O::kGreater, "2026-12-31", ""}}, {}},
    {"date after", {{kQuote, O::kGreater, "2026-12-30", ""}}, {3, 4}},
    {"date at least", {{kQuote, O::kGreaterEqual, "2026-12-31", ""}}, {3, 4}},
    {"date range over a leap day", {{kQuote, O::kBetween, "2024-01-01", "2024-02-29"}}, {1, 7, 8}},
    {"expiry date", {{kExpire, O::kEquals, "2100-01-01", ""}}, {1, 6, 7, 8}},
    // The audit state.
    {"audited", {{kUsed, O::kEquals, "已审核", ""}}, {1, 3, 6, 8}},
    {"not audited, any other flag", {{kUsed, O::kEquals, "未审核", ""}}, {2, 4, 5, 7}},
    // The item's model, Null among them.
    {"model empty: Null and blanks", {{kModel, O::kEmpty, "", ""}}, {2, 3, 6}},
    {"model contains, any width",
     {{kModel, O::kContains, "M8", ""}},
     {4, 5, 7},
     Differs({4, 7}, "no width folding")},
    {"model not equal: Null is empty", {{kModel, O::kNotEqual, "Φ10", ""}}, {2, 3, 4, 5, 6, 7}},
    // Several criteria, on the customer and on its entries.
    {"all of, customer and entry",
     {{kName, O::kContains, "钢板", ""}, {kPrice, O::kLess, "20", ""}},
     {2},
     NoForm("the customer and its entries are two record sets")},
    {"any of, customer and entry",
     {{kName, O::kContains, "钢板", ""}, {kPrice, O::kLess, "20", ""}},
     {1, 2, 3, 5, 6, 8},
     NoForm("the customer and its entries are two record sets"),
     FindJoin::kAny},
    {"all of, two on the entries",
     {{kNote, O::kNotEmpty, "", ""}, {kUsed, O::kEquals, "已审核", ""}},
     {1, 3, 6, 8}},
    {"any of, two on the customer",
     {{kName, O::kEquals, "铜管", ""}, {kName, O::kBeginsWith, "STRA", ""}},
     {4, 7},
     Same(),
     FindJoin::kAny},
};

// ---- the record set's Filter ----------------------------------------------

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += c;
    }
    return out + "'";
}

std::string FilterDate(const Date& d) {
    return "#" + d.ToText() + "#";
}

// One criterion in the Filter's grammar, as the find component means it: a
// Null text cell reads as empty, a day is [d, d + 1), the audit state is the
// ledger's 'Y'. Nothing when the grammar cannot say it.
std::optional<std::string> Clause(const CheckedCriterion& c) {
    const std::string col = "[" + c.column + "]";
    const std::string orNull = " OR " + col + " = Null";
    switch (c.kind) {
        case FindValueKind::kText: {
            const std::string& v = c.typed;
            const bool wild = v.find_first_of("*%") != std::string::npos;
            const bool empty = v.empty();
            switch (c.op) {
                case O::kContains:
                    if (wild)
                        return std::nullopt;
                    return col + " LIKE " + Quoted("*" + v + "*") + (empty ? orNull : "");
                case O::kBeginsWith:
                    if (wild)
                        return std::nullopt;
                    return col + " LIKE " + Quoted(v + "*") + (empty ? orNull : "");
                case O::kEndsWith:
                    if (wild)
                        return std::nullopt;
                    return col + " LIKE " + Quoted("*" + v) + (empty ? orNull : "");
                case O::kEquals:
                    return col + " = " + Quoted(v) + (empty ? orNull : "");
                case O::kNotEqual:
                    return col + " <> " + Quoted(v) + (empty ? "" : orNull);
                case O::kEmpty:
                    return col + " = ''" + orNull;
                case O::kNotEmpty:
                    return col + " <> ''";
                default:
                    return std::nullopt;  // NOT LIKE has no form
            }
        }
        case FindValueKind::kNumber: {
            const std::string a = SqlNumber(c.number1), b = SqlNumber(c.number2);
            switch (c.op) {
                case O::kEquals:
                    return col + " = " + a;
                case O::kNotEqual:
                    return col + " <> " + a;
                case O::kLess:
                    return col + " < " + a;
                case O::kLessEqual:
                    return col + " <= " + a;
                case O::kGreater:
                    return col + " > " + a;
                case O::kGreaterEqual:
                    return col + " >= " + a;
                case O::kBetween:
                    return col + " >= " + a + " AND " + col + " <= " + b;
                default:
                    return std::nullopt;
            }
        }
        case FindValueKind::kDate: {
            const std::string a = FilterDate(c.date1), a1 = FilterDate(AddDays(c.date1, 1));
            const std::string b1 = FilterDate(AddDays(c.date2, 1));
            switch (c.op) {
                case O::kEquals:
                    return col + " >= " + a + " AND " + col + " < " + a1;
                case O::kNotEqual:
                    return col + " < " + a + " OR " + col + " >= " + a1;
                case O::kLess:
                    return col + " < " + a;
                case O::kLessEqual:
                    return col + " < " + a1;
                case O::kGreater:
                    return col + " >= " + a1;
                case O::kGreaterEqual:
                    return col + " >= " + a;
                case O::kBetween:
                    return col + " >= " + a + " AND " + col + " < " + b1;
                default:
                    return std::nullopt;
            }
        }
        case FindValueKind::kChoice:
            return c.choiceSet ? col + " = 'Y'" : col + " <> 'Y'" + orNull;
    }
    return std::nullopt;
}

// The criteria as one Filter text, when every criterion can be said and all
// are on the customer or all on its entries (a Filter sees one record set).
std::optional<std::string> AsFilter(const CheckedCriteria& criteria) {
    std::string text;
    std::optional<bool> own;
    for (const CheckedCriterion& c : criteria.rows) {
        const bool leaf = IsLeafColumn(c.column);
        if (own && *own != leaf)
            return std::nullopt;
        own = leaf;
        std::optional<std::string> clause = Clause(c);
        if (!clause)
            return std::nullopt;
        if (!text.empty())
            text += criteria.join == FindJoin::kAny ? " OR " : " AND ";
        text += "(" + *clause + ")";
    }
    return text;
}

// ---- the company ------------------------------------------------------------

enum class Engine { kSqlite, kPostgres };

class CriterionAgreement : public ::testing::TestWithParam<Engine> {
  protected:
    void SetUp() override {
        if (GetParam() == Engine::kPostgres) {
            if (const std::string why =
                    test::NewServerCompany(test::TempCompany::kEmpty, location_);
                !why.empty())
                GTEST_SKIP() << why;
        } else {
            company_.emplace(test::TempCompany::kEmpty);
            location_ = company_->path();
        }
        db_ = OpenDatabase(location_);
        Load();
    }

    // Reads the tree's ledgers and leaves.
    void Read(bool itemTree) {
        itemTree_ = itemTree;
        tvwBuilder::RightsContext everything;
        everything.filtered = false;
        // Every leaf's ledger in one record set: the ledger statement with
        // the leaf written as the entry's own customer or item.
        ledger_ = Query(tvwBuilder::DetailSql(itemTree, false, false, LeafColumn(), everything));
        // As search all reads the record of a leaf it picked.
        leaves_ = Query(itemTree ? "SELECT FItemID,FNumber,FName,FModel FROM t_ICItem"
                                 : "SELECT FItemID,FNumber,FName FROM t_Organization");
        ASSERT_EQ(ledger_->RecordCount(), static_cast<long>(std::size(kEntries)));
        ASSERT_EQ(leaves_->RecordCount(), static_cast<long>(std::size(kEntries)));
    }

    void Expect(const std::vector<FindField>& fields, const Case& c);

    // The ledger's column of the leaf.
    std::string LeafColumn() const { return itemTree_ ? "u1.FItemID" : "u1.FCustID"; }

    RecordsetPtr Query(const std::string& sql) {
        BatchResult r = db_->ExecuteBatch(sql);
        if (r.recordsets.size() != 1)
            throw std::runtime_error("not one record set: " + sql);
        return r.recordsets.front();
    }

    static std::string Value(const char* text) { return text ? SqlText(text) : "NULL"; }

    void Load() {
        std::string sql =
            "INSERT INTO t_Currency (FCurrencyID,FNumber,FName) VALUES (1,'RMB','人民币')\r\n"
            "INSERT INTO t_Currency (FCurrencyID,FNumber,FName) VALUES (2,'USD','美元')\r\n"
            "INSERT INTO t_Currency (FCurrencyID,FNumber,FName) VALUES (3,'HKD','港币')\r\n";
        const char* units[] = {"Kg", "kg", "箱", "ＫＧ"};
        for (int u = 0; u < 4; ++u) {
            const std::string id = std::to_string(11 + u);
            sql +=
                "INSERT INTO t_MeasureUnit (FItemID,FMeasureUnitID,FUnitGroupID,FNumber,FName) "
                "VALUES (" +
                id + "," + id + ",1,'U" + id + "'," + SqlText(units[u]) + ")\r\n";
        }
        for (std::size_t i = 0; i < std::size(kEntries); ++i) {
            const Entry& e = kEntries[i];
            const std::string cust = std::to_string(1001 + i), item = std::to_string(2001 + i);
            const std::string code = "'01.00" + std::to_string(i + 1) + "'";
            sql += "INSERT INTO t_Organization (FItemID,FNumber,FName) VALUES (" + cust + "," +
                   code + "," + SqlText(e.name) + ")\r\n";
            sql += "INSERT INTO t_ICItem (FItemID,FNumber,FName,FModel) VALUES (" + item + "," +
                   code + "," + SqlText(e.name) + "," + Value(e.model) + ")\r\n";
            sql += "INSERT INTO t_Cust (FItemID,FCustID) VALUES (" + item + "," + cust + ")\r\n";
            sql +=
                "INSERT INTO t_CustEntry (FEntryID,FCustID,FItemID,FUnitID,FPrice,FCyID,"
                "FQuoteTime,FExpireDate,FUsed,FNote) VALUES (" +
                std::to_string(i + 1) + "," + cust + "," + item + "," + std::to_string(e.unit) +
                "," + e.price + "," + std::to_string(e.currency) + "," + Value(e.quote) + "," +
                Value(e.expire) + "," + std::to_string(e.used) + "," + Value(e.note) + ")\r\n";
        }
        db_->ExecuteBatch(sql);
    }

    // The entry number of a customer's or item's id.
    static int EntryOf(const Variant& id) { return static_cast<int>(id.ToInteger() % 1000); }

    static Rows Sorted(Rows rows) {
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    // Search all's statement: the customers or items with a matching entry.
    Rows BySearchAll(const CheckedCriteria& criteria) {
        SearchAllRequest request;
        request.itemTree = itemTree_;
        request.criteria = &criteria;
        RecordsetPtr rs = Query(BrowseSearchAll::MatchingLeavesSql(request));
        Rows rows;
        for (long r = 0; r < rs->RecordCount(); ++r)
            rows.push_back(EntryOf(rs->Cell(r, rs->ColumnIndex("FItemID"))));
        return Sorted(rows);
    }

    // The find component on each customer's or item's ledger and record.
    Rows ByFindComponent(const CheckedCriteria& criteria) {
        Rows rows;
        const int leafCol = ledger_->ColumnIndex(LeafColumn().substr(3));
        const int idCol = leaves_->ColumnIndex("FItemID");
        for (long k = 0; k < leaves_->RecordCount(); ++k) {
            const std::int64_t id = leaves_->Cell(k, idCol).ToInteger();
            std::vector<long> own;
            for (long r = 0; r < ledger_->RecordCount(); ++r) {
                if (ledger_->Cell(r, leafCol).ToInteger() == id)
                    own.push_back(r);
            }
            RecordsetPtr ledger = CopyRows(*ledger_, own);
            RecordsetPtr record = CopyRows(*leaves_, {k});
            if (!MatchLeafLedger(criteria, *ledger, record.get()).empty())
                rows.push_back(EntryOf(leaves_->Cell(k, idCol)));
        }
        return Sorted(rows);
    }

    // The record set's Filter on the customers or items, or on the ledger.
    Rows ByFilter(const CheckedCriteria& criteria, const std::string& filter) {
        const bool own = IsLeafColumn(criteria.rows.front().column);
        const Recordset& source = own ? *leaves_ : *ledger_;
        std::vector<long> all(static_cast<std::size_t>(source.RecordCount()));
        for (std::size_t r = 0; r < all.size(); ++r) all[r] = static_cast<long>(r);
        RecordsetPtr rs = CopyRows(source, all);
        rs->Filter(filter);
        const int col = rs->ColumnIndex(own ? "FItemID" : LeafColumn().substr(3));
        Rows rows;
        for (long r = 0; r < rs->RecordCount(); ++r) rows.push_back(EntryOf(rs->Cell(r, col)));
        return Sorted(rows);
    }

  private:
    std::optional<test::TempCompany> company_;
    std::string location_;
    std::unique_ptr<DbBackend> db_;
    bool itemTree_ = false;
    RecordsetPtr ledger_, leaves_;
};

TEST_P(CriterionAgreement, EveryOperatorAndKindGivesTheSameRowsThreeWays) {
    const std::vector<FindField> fields = SearchAllFields();
    for (bool itemTree : {false, true}) {
        SCOPED_TRACE(itemTree ? "item tree" : "customer tree");
        ASSERT_NO_FATAL_FAILURE(Read(itemTree));
        for (const Case& c : kCases) {
            const bool model =
                std::any_of(c.criteria.begin(), c.criteria.end(),
                            [](const FindCriterion& r) { return r.field == kModel; });
            if (model && !itemTree)
                continue;  // a customer has no model
            Expect(fields, c);
        }
    }
}

// The three matchers on one case of the table.
void CriterionAgreement::Expect(const std::vector<FindField>& fields, const Case& c) {
    SCOPED_TRACE(c.what);
    auto checked = CheckCriteria(fields, FindCriteria{c.join, c.criteria});
    ASSERT_TRUE(std::holds_alternative<CheckedCriteria>(checked));
    const CheckedCriteria& criteria = std::get<CheckedCriteria>(checked);

    EXPECT_EQ(ByFindComponent(criteria), c.rows) << "find component";
    EXPECT_EQ(BySearchAll(criteria), c.rows) << "search all";

    const std::optional<std::string> filter = AsFilter(criteria);
    EXPECT_EQ(filter.has_value(), c.filter.stated) << (filter ? *filter : c.filter.why);
    if (filter && c.filter.stated) {
        EXPECT_EQ(ByFilter(criteria, *filter), c.filter.rows.value_or(c.rows))
            << "Filter " << *filter << (c.filter.rows ? std::string(": ") + c.filter.why : "");
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, CriterionAgreement,
                         ::testing::Values(Engine::kSqlite, Engine::kPostgres),
                         [](const auto& info) {
                             return info.param == Engine::kSqlite ? "SQLite" : "PostgreSQL";
                         });

}  // namespace
}  // namespace orva
