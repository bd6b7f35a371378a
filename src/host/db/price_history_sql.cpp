// The statements that add the price history to a company, per engine.
#include <string>

#include "host/db/price_history.h"

namespace orva {

const std::vector<std::string_view> kHistoryEntryColumns = {
    "FCustID",   "FItemID",   "FUnitID",    "FStartQty",   "FEndQty", "FPrice", "FCyID",
    "FDiscount", "FLeadTime", "FQuoteTime", "FExpireDate", "FUsed",   "FNote"};
const std::vector<std::string_view> kHistoryCustColumns = {"FCurrencyID", "FSELowPrice"};

namespace {

// ---- SQLite ---------------------------------------------------------------
// Only built-in functions: a SQL shell writing the file runs these triggers
// too. The rows they write are sealed by the module's own connections
// (sqlite_history.h).

// Whether the column's value changed. Text is compared as bytes, without
// the company collation, which would take a change of letter case for no
// change (and which a SQL shell writing the file does not have).
std::string SqliteDiffers(std::string_view col) {
    const std::string c(col);
    return "CAST(OLD." + c + " AS BLOB) COLLATE BINARY IS NOT CAST(NEW." + c +
           " AS BLOB) COLLATE BINARY";
}

// name US old US new RS, for one column; on an update, only when it changed.
std::string SqliteColumn(std::string_view col, bool hasOld, bool hasNew) {
    const std::string c(col);
    const std::string oldV = hasOld ? "coalesce(CAST(OLD." + c + " AS TEXT),'')" : "''";
    const std::string newV = hasNew ? "coalesce(CAST(NEW." + c + " AS TEXT),'')" : "''";
    std::string item = "'" + c + "'||char(31)||" + oldV + "||char(31)||" + newV + "||char(30)";
    if (hasOld && hasNew) {
        return "CASE WHEN " + SqliteDiffers(col) + " THEN " + item + " ELSE '' END";
    }
    return item;
}

std::string SqliteChanges(const std::vector<std::string_view>& cols, bool hasOld, bool hasNew) {
    std::string out;
    for (auto c : cols) {
        if (!out.empty())
            out += "||";
        out += SqliteColumn(c, hasOld, hasNew);
    }
    return out;
}

std::string SqliteAnyChanged(const std::vector<std::string_view>& cols) {
    std::string out;
    for (auto c : cols) {
        if (!out.empty())
            out += " OR ";
        out += SqliteDiffers(c);
    }
    return out;
}

std::string SqliteInsert(const std::string& row, const std::string& entry, const std::string& op,
                         const std::string& changes) {
    return "INSERT INTO t_CustEntryHistory (FEntryID,FCustID,FItemID,FOperation,FChanges,FTime) "
           "VALUES (" +
           entry + "," + row + ".FCustID," + row + ".FItemID," + op + "," + changes +
           ",strftime('%Y-%m-%d %H:%M:%f','now'));";
}

std::vector<std::string> SqliteScript() {
    std::vector<std::string> s;
    // The key is the rowid: a new row takes the next number after the
    // highest, and as no row can be deleted none is ever reused (without
    // AUTOINCREMENT's extra write of sqlite_sequence on every change).
    s.push_back(
        "CREATE TABLE IF NOT EXISTS t_CustEntryHistory ("
        "FHistID INTEGER PRIMARY KEY, FEntryID INT NOT NULL, FCustID INT NOT NULL, "
        "FItemID INT NOT NULL, FOperation TEXT NOT NULL, FChanges TEXT NOT NULL, FUserID INT, "
        "FLogin TEXT NOT NULL DEFAULT '', FTime TEXT NOT NULL, FBatchID TEXT NOT NULL DEFAULT '', "
        "FPrevHash TEXT, FHash TEXT)");
    s.push_back(
        "CREATE INDEX IF NOT EXISTS ix_CustEntryHistory_Entry ON t_CustEntryHistory (FEntryID)");
    // One index besides the key: each more would be written with every
    // change of a price.
    const auto& e = kHistoryEntryColumns;
    s.push_back(
        "CREATE TRIGGER IF NOT EXISTS tr_CustEntry_HistoryAdd AFTER INSERT ON t_CustEntry "
        "BEGIN " +
        SqliteInsert("NEW", "NEW.FEntryID", "'add'", SqliteChanges(e, false, true)) + " END");
    // Only the audit flag changed: an audit or unaudit, else a change.
    std::string onlyUsed = "NOT (";
    {
        std::vector<std::string_view> others;
        for (auto c : e)
            if (c != "FUsed")
                others.push_back(c);
        onlyUsed += SqliteAnyChanged(others) + ")";
    }
    s.push_back(
        "CREATE TRIGGER IF NOT EXISTS tr_CustEntry_HistoryChange AFTER UPDATE ON "
        "t_CustEntry WHEN " +
        SqliteAnyChanged(e) + " BEGIN " +
        SqliteInsert("NEW", "NEW.FEntryID",
                     "CASE WHEN " + onlyUsed +
                         " THEN CASE WHEN NEW.FUsed=1 THEN 'audit' ELSE 'unaudit' END "
                         "ELSE 'change' END",
                     SqliteChanges(e, true, true)) +
        " END");
    s.push_back(
        "CREATE TRIGGER IF NOT EXISTS tr_CustEntry_HistoryDelete AFTER DELETE ON "
        "t_CustEntry BEGIN " +
        SqliteInsert("OLD", "OLD.FEntryID", "'delete'", SqliteChanges(e, true, false)) + " END");
    const auto& c = kHistoryCustColumns;
    s.push_back("CREATE TRIGGER IF NOT EXISTS tr_Cust_HistoryChange AFTER UPDATE ON t_Cust WHEN " +
                SqliteAnyChanged(c) + " BEGIN " +
                SqliteInsert("NEW", "0", "'change'", SqliteChanges(c, true, true)) + " END");
    s.push_back(
        "CREATE TRIGGER IF NOT EXISTS tr_CustEntryHistory_NoDelete BEFORE DELETE ON "
        "t_CustEntryHistory BEGIN SELECT RAISE(ABORT, 'Price history rows cannot be deleted.'); "
        "END");
    // The one change allowed: sealing a row once (hash, link, and the
    // module's user, login and batch of the connection that wrote it).
    s.push_back(
        "CREATE TRIGGER IF NOT EXISTS tr_CustEntryHistory_NoUpdate BEFORE UPDATE ON "
        "t_CustEntryHistory WHEN OLD.FHash IS NOT NULL OR NEW.FHash IS NULL OR "
        "NEW.FPrevHash IS NULL OR NEW.FHistID IS NOT OLD.FHistID OR "
        "NEW.FEntryID IS NOT OLD.FEntryID OR NEW.FCustID IS NOT OLD.FCustID OR "
        "NEW.FItemID IS NOT OLD.FItemID OR NEW.FOperation IS NOT OLD.FOperation OR "
        "NEW.FChanges IS NOT OLD.FChanges OR NEW.FTime IS NOT OLD.FTime "
        "BEGIN SELECT RAISE(ABORT, 'Price history rows cannot be changed.'); END");
    return s;
}

// ---- PostgreSQL -----------------------------------------------------------
// The triggers write whole rows: the module's user from the connection's
// setting orva.user (none when unset or not a number), the login, the
// batch the connection pinned in orva.batch or else the transaction, the hash by the built-in
// sha256(). One transaction at a time appends (an advisory lock held to its end), so the chain
// follows the order of FHistID.

std::string PgArray(const std::vector<std::string_view>& cols) {
    std::string out = "ARRAY[";
    for (std::size_t i = 0; i < cols.size(); ++i)
        out += (i ? ",'" : "'") + std::string(cols[i]) + "'";
    return out + "]";
}

std::string PgAppendFunction() {
    return R"(CREATE OR REPLACE FUNCTION orva_history_append(p_entry int, p_cust int,
  p_item int, p_op text, p_changes text) RETURNS void LANGUAGE plpgsql AS $f$
DECLARE
  v_setting text := current_setting('orva.user', true);
  v_user int;
  v_login text := session_user;
  v_time text := to_char(clock_timestamp() AT TIME ZONE 'UTC', 'YYYY-MM-DD HH24:MI:SS.MS');
  v_batch text := coalesce(nullif(current_setting('orva.batch', true), ''),
                           txid_current()::text);
  v_prev text;
  v_id bigint;
BEGIN
  IF v_setting ~ '^-?[0-9]{1,9}$' THEN v_user := v_setting::int; END IF;
  PERFORM pg_advisory_xact_lock(72620251);
  SELECT FHash INTO v_prev FROM t_CustEntryHistory ORDER BY FHistID DESC LIMIT 1;
  v_prev := coalesce(v_prev, '');
  v_id := nextval(pg_get_serial_sequence('t_custentryhistory', 'fhistid'));
  INSERT INTO t_CustEntryHistory (FHistID, FEntryID, FCustID, FItemID, FOperation, FChanges,
    FUserID, FLogin, FTime, FBatchID, FPrevHash, FHash)
  VALUES (v_id, p_entry, p_cust, p_item, p_op, p_changes, v_user, v_login, v_time, v_batch,
    v_prev, encode(sha256(convert_to(v_prev || chr(10) || v_id || chr(10) || p_entry || chr(10)
      || p_cust || chr(10) || p_item || chr(10) || p_op || chr(10) || p_changes || chr(10)
      || coalesce(v_user::text, '') || chr(10) || v_login || chr(10) || v_time || chr(10)
      || v_batch, 'UTF8')), 'hex'));
END $f$)";
}

// Values compared and written as text (jsonb's), so that a change of
// letter case is a change whatever the column's collation.
std::string PgDiffFunction(const std::string& name, const std::string& cols,
                           const std::string& entry, bool withAudit) {
    return "CREATE OR REPLACE FUNCTION " + name +
           R"(() RETURNS trigger LANGUAGE plpgsql
  SECURITY DEFINER SET search_path FROM CURRENT AS $f$
DECLARE
  o jsonb; n jsonb; c text; ov text; nv text; ch text := ''; only_used boolean := true;
  op text; r record;
BEGIN
  IF TG_OP <> 'INSERT' THEN o := to_jsonb(OLD); r := OLD; END IF;
  IF TG_OP <> 'DELETE' THEN n := to_jsonb(NEW); r := NEW; END IF;
  FOREACH c IN ARRAY )" +
           cols + R"( LOOP
    ov := o ->> lower(c);
    nv := n ->> lower(c);
    IF TG_OP = 'UPDATE' AND ov IS NOT DISTINCT FROM nv THEN CONTINUE; END IF;
    IF c <> 'FUsed' THEN only_used := false; END IF;
    ch := ch || c || chr(31) || coalesce(ov, '') || chr(31) || coalesce(nv, '') || chr(30);
  END LOOP;
  IF TG_OP = 'INSERT' THEN op := 'add';
  ELSIF TG_OP = 'DELETE' THEN op := 'delete';
  ELSIF ch = '' THEN RETURN NULL;
  ELSIF )" +
           std::string(withAudit ? "only_used" : "false") +
           R"( THEN op := CASE WHEN n ->> 'fused' = '1' THEN 'audit' ELSE 'unaudit' END;
  ELSE op := 'change';
  END IF;
  PERFORM orva_history_append()" +
           entry + R"(, r.FCustID, r.FItemID, op, ch);
  RETURN NULL;
END $f$)";
}

std::vector<std::string> PostgresScript() {
    std::vector<std::string> s;
    s.push_back(
        "CREATE TABLE IF NOT EXISTS t_CustEntryHistory ("
        "FHistID bigserial PRIMARY KEY, FEntryID int NOT NULL, FCustID int NOT NULL, "
        "FItemID int NOT NULL, FOperation text NOT NULL, FChanges text NOT NULL, FUserID int, "
        "FLogin text NOT NULL DEFAULT '', FTime text NOT NULL, FBatchID text NOT NULL DEFAULT '', "
        "FPrevHash text, FHash text)");
    s.push_back(
        "CREATE INDEX IF NOT EXISTS ix_CustEntryHistory_Entry ON t_CustEntryHistory (FEntryID)");
    s.push_back(PgAppendFunction());
    s.push_back(PgDiffFunction("orva_custentry_history", PgArray(kHistoryEntryColumns),
                               "r.FEntryID", true));
    s.push_back(PgDiffFunction("orva_cust_history", PgArray(kHistoryCustColumns), "0", false));
    s.push_back(R"(CREATE OR REPLACE FUNCTION orva_history_refuse() RETURNS trigger
  LANGUAGE plpgsql AS $f$
BEGIN
  RAISE EXCEPTION 'Price history rows cannot be %.',
    CASE TG_OP WHEN 'UPDATE' THEN 'changed' ELSE 'deleted' END;
END $f$)");
    s.push_back("DROP TRIGGER IF EXISTS tr_CustEntry_History ON t_CustEntry");
    s.push_back(
        "CREATE TRIGGER tr_CustEntry_History AFTER INSERT OR UPDATE OR DELETE ON t_CustEntry "
        "FOR EACH ROW EXECUTE FUNCTION orva_custentry_history()");
    s.push_back("DROP TRIGGER IF EXISTS tr_Cust_History ON t_Cust");
    s.push_back(
        "CREATE TRIGGER tr_Cust_History AFTER UPDATE ON t_Cust FOR EACH ROW "
        "EXECUTE FUNCTION orva_cust_history()");
    s.push_back("DROP TRIGGER IF EXISTS tr_CustEntryHistory_Refuse ON t_CustEntryHistory");
    s.push_back(
        "CREATE TRIGGER tr_CustEntryHistory_Refuse BEFORE UPDATE OR DELETE ON t_CustEntryHistory "
        "FOR EACH ROW EXECUTE FUNCTION orva_history_refuse()");
    s.push_back("DROP TRIGGER IF EXISTS tr_CustEntryHistory_NoTruncate ON t_CustEntryHistory");
    s.push_back(
        "CREATE TRIGGER tr_CustEntryHistory_NoTruncate BEFORE TRUNCATE ON t_CustEntryHistory "
        "FOR EACH STATEMENT EXECUTE FUNCTION orva_history_refuse()");
    // Roles other than the owner may read and add, never rewrite.
    s.push_back("REVOKE UPDATE, DELETE, TRUNCATE ON t_CustEntryHistory FROM PUBLIC");
    // The triggers run as the owner, so that a change by a login that may
    // not write the history is still recorded; no login but the owner may
    // append a row of its own making.
    s.push_back(
        "REVOKE EXECUTE ON FUNCTION orva_history_append(int, int, int, text, text) FROM PUBLIC");
    return s;
}

}  // namespace

std::vector<std::string> PriceHistoryScript(NativeDialect dialect) {
    switch (dialect) {
        case NativeDialect::kSqlite:
            return SqliteScript();
        case NativeDialect::kPostgres:
            return PostgresScript();
        case NativeDialect::kNone:
            break;
    }
    return {};
}

}  // namespace orva
