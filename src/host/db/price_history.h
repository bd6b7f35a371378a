// The price history: an append-only table t_CustEntryHistory that database
// triggers write for every change of a price entry (t_CustEntry: added,
// changed, audited, unaudited, deleted) and of a customer-item row's minimum
// price (t_Cust), whoever writes it: this module, another program, a SQL
// shell. Each row holds the entry's key, the operation, the old and new value
// of each changed column, the module's user (handed to the database per
// connection: DbBackend::SetHistoryUser), the database login, the database
// time, the batch (one transaction's writes), and a SHA-256 over its content
// and the previous row's hash, so that a row changed or removed afterwards
// breaks the chain. The triggers refuse UPDATE and DELETE of history rows.
//
// On SQLite the hash and the module's user are filled by a trigger each
// module connection adds for itself (a SQL shell has neither function): rows
// another program wrote stay unsealed until the module's next write seals
// them, without a user.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/db_backend.h"

namespace orva {

inline constexpr const char* kHistoryTable = "t_CustEntryHistory";

// The columns of t_CustEntry whose changes are recorded, in the order a
// row lists them; t_Cust's minimum price columns after them.
extern const std::vector<std::string_view> kHistoryEntryColumns;
extern const std::vector<std::string_view> kHistoryCustColumns;

// Separators inside FChanges: each changed column is
// name US old US new RS (US = char 31, RS = char 30); a value that is Null
// is empty.
inline constexpr char kHistoryUnit = '\x1f';
inline constexpr char kHistoryRecord = '\x1e';

// One history row as stored.
struct HistoryRow {
    std::int64_t id = 0;
    std::int32_t entryId = 0;  // 0 for a change of t_Cust's minimum price
    std::int32_t custId = 0;
    std::int32_t itemId = 0;
    std::string operation;  // add, change, audit, unaudit, delete
    std::string changes;
    std::optional<std::int32_t> userId;
    std::string login;
    std::string time;  // UTC, "yyyy-mm-dd hh:mm:ss.fff"
    std::string batch;
    std::optional<std::string> prevHash;  // nullopt while unsealed
    std::optional<std::string> hash;
};

// The hash a row carries, chained to the hash of the row before it ("" for
// the first): SHA-256 in hex over the previous hash and the row's content,
// joined by line feeds. The triggers of every engine compute the same.
std::string HistoryHash(std::string_view prevHash, const HistoryRow& row);

// One changed column of a row's FChanges.
struct HistoryChange {
    std::string column;
    std::string oldValue;
    std::string newValue;
};
std::vector<HistoryChange> SplitHistoryChanges(std::string_view changes);

// The engine's statements that add the table and its triggers to a company;
// empty for an engine that has none here (SQL Server: data/
// price_history_sqlserver.sql is installed by its administrator).
std::vector<std::string> PriceHistoryScript(NativeDialect dialect);

// Adds the table and triggers to the company the connection is open on, in
// one transaction; a company that has them is left as it is. Returns false
// when it had them already. Throws ComError when the engine has no script
// or the database refuses it.
bool UpgradePriceHistory(DbBackend& db);

// The history of one entry, oldest first. Throws ComError when the table
// cannot be read.
std::vector<HistoryRow> EntryHistory(DbBackend& db, std::int32_t entryId);

// Walks the chain in order. A row whose hash does not match its content and
// the previous hash, or whose previous hash is not the hash of the row before
// it, is broken; the walk stops at the first. Rows not yet sealed (written by
// another program since the module's last write) are counted apart.
struct HistoryCheck {
    std::int64_t sealed = 0;    // rows whose link was checked and held
    std::int64_t unsealed = 0;  // rows waiting to be sealed
    std::optional<std::int64_t> brokenId;
    std::string why;  // what is wrong with the broken row
};
// Throws ComError when the table cannot be read (the company has none).
HistoryCheck VerifyPriceHistory(DbBackend& db);

}  // namespace orva
