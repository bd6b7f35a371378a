// The ledger as it stood at a time: the price entries and customer-item rows
// of one customer or item as they are now, with the history rows written
// since undone, newest first (a change gives its columns their old values, a
// delete brings its row back from the old values it holds, an add removes
// its row). What comes out are the tables a ledger statement reads, written
// as derived tables, so that the ledger statement itself (its joins, the
// user's data rights, its order) stays the one the ledger runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/db/db_backend.h"
#include "orvasaleprice/variant.h"

namespace orva {

// The tables a ledger statement reads its price entries (alias u1) and its
// customer-item rows (alias u2) from: the tables themselves, or derived
// tables in parentheses holding the same columns.
struct LedgerTables {
    std::string entries = "t_CustEntry";
    std::string headers = "t_Cust";
};

// The first history time a ledger "as of `day`" leaves out: the next day's
// midnight (UTC, as the history records time), "yyyy-mm-dd 00:00:00.000".
std::string AsOfCutoff(const Date& day);

// A day the ledger can be shown as of: a real date from 1900-01-01 to
// `today`, written "yyyy-mm-dd" (or as Date::Parse reads it). Nothing else.
std::optional<Date> ParseAsOfDay(std::string_view text, const Date& today);

// The entries and customer-item rows of the customer (byItem false) or item
// `leaf` as they were before `cutoff` (history rows whose time is at or after
// it are undone). Throws ComError when the history cannot be read (the
// company has no history table) or holds a value no entry column can take.
LedgerTables AsOfTables(DbBackend& db, bool byItem, std::int32_t leaf, const std::string& cutoff);

}  // namespace orva
