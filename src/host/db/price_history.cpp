#include "host/db/price_history.h"

#include <algorithm>

#include "host/base/sha256.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/recordset.h"

namespace orva {
namespace {

// Rows read per statement while walking the chain.
constexpr int kChunk = 20000;

constexpr const char* kColumns =
    " FHistID,FEntryID,FCustID,FItemID,FOperation,FChanges,FUserID,FLogin,FTime,FBatchID,"
    "FPrevHash,FHash FROM t_CustEntryHistory";

bool HasHistoryTable(DbBackend& db) {
    try {
        db.ExecuteBatch("SELECT COUNT(*) FROM t_CustEntryHistory WHERE 1=0");
        return true;
    } catch (const ComError&) {
        return false;
    }
}

std::optional<std::string> OptText(const Variant& v) {
    if (v.IsNull())
        return std::nullopt;
    return v.ToText();
}

HistoryRow ReadRow(const Recordset& rs) {
    HistoryRow r;
    r.id = rs.Fields(0).Value().ToInteger();
    r.entryId = static_cast<std::int32_t>(rs.Fields(1).Value().ToInteger());
    r.custId = static_cast<std::int32_t>(rs.Fields(2).Value().ToInteger());
    r.itemId = static_cast<std::int32_t>(rs.Fields(3).Value().ToInteger());
    r.operation = rs.Fields(4).Value().ToText();
    r.changes = rs.Fields(5).Value().ToText();
    if (!rs.Fields(6).Value().IsNull())
        r.userId = static_cast<std::int32_t>(rs.Fields(6).Value().ToInteger());
    r.login = rs.Fields(7).Value().ToText();
    r.time = rs.Fields(8).Value().ToText();
    r.batch = rs.Fields(9).Value().ToText();
    r.prevHash = OptText(rs.Fields(10).Value());
    r.hash = OptText(rs.Fields(11).Value());
    return r;
}

std::vector<HistoryRow> ReadRows(DbBackend& db, const std::string& sql) {
    std::vector<HistoryRow> rows;
    BatchResult r = db.ExecuteBatch(sql);
    if (r.recordsets.empty())
        return rows;
    Recordset& rs = *r.recordsets.front();
    rows.reserve(static_cast<std::size_t>(std::max(0L, rs.RecordCount())));
    for (; !rs.EOF_(); rs.MoveNext()) rows.push_back(ReadRow(rs));
    return rows;
}

}  // namespace

std::vector<HistoryRow> EntryHistory(DbBackend& db, std::int32_t entryId) {
    return ReadRows(db, std::string("SELECT") + kColumns +
                            " WHERE FEntryID=" + std::to_string(entryId) + " ORDER BY FHistID");
}

std::string HistoryHash(std::string_view prevHash, const HistoryRow& row) {
    std::string text(prevHash);
    auto add = [&](std::string_view part) {
        text += '\n';
        text += part;
    };
    add(std::to_string(row.id));
    add(std::to_string(row.entryId));
    add(std::to_string(row.custId));
    add(std::to_string(row.itemId));
    add(row.operation);
    add(row.changes);
    add(row.userId ? std::to_string(*row.userId) : std::string());
    add(row.login);
    add(row.time);
    add(row.batch);
    return Sha256Hex(text);
}

std::vector<HistoryChange> SplitHistoryChanges(std::string_view changes) {
    std::vector<HistoryChange> out;
    while (!changes.empty()) {
        const std::size_t end = changes.find(kHistoryRecord);
        std::string_view item = changes.substr(0, end);
        changes = end == std::string_view::npos ? std::string_view() : changes.substr(end + 1);
        const std::size_t a = item.find(kHistoryUnit);
        if (a == std::string_view::npos)
            continue;
        const std::size_t b = item.find(kHistoryUnit, a + 1);
        HistoryChange c;
        c.column = std::string(item.substr(0, a));
        if (b == std::string_view::npos) {
            c.oldValue = std::string(item.substr(a + 1));
        } else {
            c.oldValue = std::string(item.substr(a + 1, b - a - 1));
            c.newValue = std::string(item.substr(b + 1));
        }
        out.push_back(std::move(c));
    }
    return out;
}

bool UpgradePriceHistory(DbBackend& db) {
    std::vector<std::string> script = PriceHistoryScript(db.Native());
    if (script.empty()) {
        throw ComError(ComError::kDatabase,
                       "The price history cannot be added through this connection (" +
                           db.Describe() + "); on SQL Server run data/price_history_sqlserver.sql.",
                       kConnectionProgID);
    }
    const bool had = HasHistoryTable(db);
    db.RunNativeScript(script);
    return !had;
}

namespace {

void AppendText(std::string& out, const Variant& v) {
    out += '\n';
    if (const std::string* text = v.AsText())
        out += *text;
    else
        out += v.ToText();
}

void AppendInteger(std::string& out, const Variant& v) {
    out += '\n';
    out += std::to_string(static_cast<std::int32_t>(v.ToInteger()));
}

std::string_view TextOf(const Variant& v, std::string& scratch) {
    if (const std::string* text = v.AsText())
        return *text;
    scratch = v.ToText();
    return scratch;
}

}  // namespace

// The walk reads the cells in place rather than as HistoryRows: a million
// rows' copies took more time than their hashes. The text hashed is
// HistoryHash's.
HistoryCheck VerifyPriceHistory(DbBackend& db) {
    HistoryCheck check;
    std::string prev;
    std::string text;
    std::string scratch;
    std::int64_t last = 0;
    bool first = true;
    for (;;) {
        BatchResult r =
            db.ExecuteBatch("SELECT TOP " + std::to_string(kChunk) + kColumns + " WHERE FHistID>" +
                            std::to_string(last) + " ORDER BY FHistID");
        if (r.recordsets.empty())
            break;
        Recordset& rs = *r.recordsets.front();
        long n = 0;
        for (; !rs.EOF_(); rs.MoveNext(), ++n) {
            const std::int64_t id = rs.Fields(0).Value().ToInteger();
            last = id;
            const Variant& hash = rs.Fields(11).Value();
            if (hash.IsNull()) {
                ++check.unsealed;
                continue;
            }
            if (check.unsealed > 0) {
                check.brokenId = id;
                check.why = "it is sealed after rows that are not";
                return check;
            }
            const Variant& prevHash = rs.Fields(10).Value();
            if (prevHash.IsNull() || TextOf(prevHash, scratch) != (first ? std::string() : prev)) {
                check.brokenId = id;
                check.why = first ? "the first row links to a row before it, which is missing"
                                  : "it does not link to the row before it (a row was removed "
                                    "or inserted)";
                return check;
            }
            text = prev;
            text += '\n';
            text += std::to_string(id);
            for (int f : {1, 2, 3}) AppendInteger(text, rs.Fields(f).Value());
            AppendText(text, rs.Fields(4).Value());
            AppendText(text, rs.Fields(5).Value());
            const Variant& user = rs.Fields(6).Value();
            text += '\n';
            if (!user.IsNull())
                text += std::to_string(static_cast<std::int32_t>(user.ToInteger()));
            for (int f : {7, 8, 9}) AppendText(text, rs.Fields(f).Value());
            if (Sha256Hex(text) != TextOf(hash, scratch)) {
                check.brokenId = id;
                check.why = "its content does not match its hash (it was changed)";
                return check;
            }
            prev = TextOf(hash, scratch);
            first = false;
            ++check.sealed;
        }
        if (n < kChunk)
            break;
    }
    return check;
}

}  // namespace orva
