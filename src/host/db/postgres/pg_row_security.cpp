#include "host/db/postgres/pg_row_security.h"

#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

// A record's group code, as the module's rights joins cut it: the code up to
// its last "." (a code without "." is its own group), trailing blanks not
// counted, in the company's collation. The same expression in the indexes
// and in orva_rs_visible, so that the server finds a group's records by
// index.
std::string GroupOf(const std::string& col) {
    return "left(" + col + ", char_length(rtrim(" + col + ")) - strpos(reverse(rtrim(" + col +
           ")) COLLATE \"C\", '.'))";
}

// The customers (class 1) or items (class 4) the user sees: those granted
// themselves, or with group-level rights (bit 4 for the class) those whose
// group is granted, the group being the t_Item row of the record's group
// code, compared in the company's collation as the module's join does.
std::string VisibleFunction() {
    // One granted group after the other, its records found by index: hashing
    // or sorting codes in the company's collation costs more than the whole
    // lookup.
    return R"(CREATE FUNCTION orva_rs_visible(p_login name, p_class int) RETURNS SETOF int
  LANGUAGE plpgsql STABLE SECURITY DEFINER AS $f$
DECLARE
  u int := orva_rs_user(p_login);
  code t_Item.FNumber%TYPE;
BEGIN
  IF NOT EXISTS (SELECT 1 FROM t_UserItemClassRight c WHERE c.FUserID = u
      AND c.FItemClassID = p_class AND (c.FUserItemClassRight & 4) <> 0) THEN
    RETURN QUERY SELECT orva_rs_granted(p_login, p_class);
    RETURN;
  END IF;
  FOR code IN SELECT g.FNumber FROM t_Item g
      WHERE g.FItemID IN (SELECT orva_rs_granted(p_login, p_class)) LOOP
    RETURN QUERY SELECT i.FItemID FROM t_Item i
      WHERE )" +
           GroupOf("i.FNumber") +
           R"( = code AND i.FItemClassID = p_class;
    IF p_class = 1 THEN
      RETURN QUERY SELECT o.FItemID FROM t_Organization o WHERE )" +
           GroupOf("o.FNumber") + R"( = code;
    ELSE
      RETURN QUERY SELECT c.FItemID FROM t_ICItem c WHERE )" +
           GroupOf("c.FNumber") + R"( = code;
    END IF;
  END LOOP;
END $f$)";
}

// The functions that derive what a login sees (orva_rs_refresh calls them)
// and the trigger on price entries. They read as the tables' owner
// (SECURITY DEFINER), so that the limited tables are read whole, with a
// search path fixed to the company's schema and pg_temp last (FixSearchPath):
// a login's own temporary table named t_User or orva_rs_seen is never taken
// for the company's. PL/pgSQL, so that each connection plans their
// statements once.
const char* const kFunctions[] = {
    // The company user of a login: the t_User row, not a group, whose name
    // is the role's name byte for byte.
    R"(CREATE FUNCTION orva_rs_user(p_login name) RETURNS int
  LANGUAGE plpgsql STABLE SECURITY DEFINER AS $f$
BEGIN
  RETURN (SELECT FUserID FROM t_User WHERE FName COLLATE "C" = p_login::text AND FIsGroup = 0);
END $f$)",

    // Whether the statements of the module carry no rights joins for the
    // user: a member of group 1, or data rights off (FDataVokeType even).
    R"(CREATE FUNCTION orva_rs_sees_all(p_login name) RETURNS boolean
  LANGUAGE plpgsql STABLE SECURITY DEFINER AS $f$
DECLARE u int := orva_rs_user(p_login);
BEGIN
  RETURN coalesce((SELECT t.FDataVokeType % 2 <> 1
      OR EXISTS (SELECT 1 FROM t_Group g WHERE g.FUserID = u AND g.FGroupID = 1)
    FROM t_User t WHERE t.FUserID = u), false);
END $f$)",

    // The ids that t_ItemRight grants to the user or to one of its groups
    // (group 0 never) for one rights type.
    R"(CREATE FUNCTION orva_rs_granted(p_login name, p_type int) RETURNS SETOF int
  LANGUAGE plpgsql STABLE SECURITY DEFINER AS $f$
DECLARE u int := orva_rs_user(p_login);
BEGIN
  RETURN QUERY SELECT r.FItemID FROM t_ItemRight r WHERE r.FTypeID = p_type AND (r.FUserID = u
    OR r.FUserID IN (SELECT g.FGroupID FROM t_Group g WHERE g.FGroupID <> 0 AND g.FUserID = u));
END $f$)",

    // Whether no price entry of the customer and item is left, counting the
    // entries the login cannot see.
    R"(CREATE FUNCTION orva_rs_pair_empty(p_cust int, p_item int) RETURNS boolean
  LANGUAGE plpgsql STABLE SECURITY DEFINER AS $f$
BEGIN
  RETURN NOT EXISTS (SELECT 1 FROM t_CustEntry WHERE FCustID = p_cust AND FItemID = p_item);
END $f$)",

    // The function-right bits of the price module the user holds: -1 (all)
    // for a member of group 1, else those of its rows and of its groups'
    // (group 0 never) on object 1099 or 107, index 6; Null for a login that
    // is no company user.
    R"(CREATE FUNCTION orva_rs_rights(p_login name) RETURNS int
  LANGUAGE plpgsql STABLE SECURITY DEFINER AS $f$
DECLARE u int := orva_rs_user(p_login);
BEGIN
  IF u IS NULL THEN RETURN NULL; END IF;
  IF EXISTS (SELECT 1 FROM t_Group g WHERE g.FGroupID = 1 AND g.FUserID = u) THEN RETURN -1; END IF;
  RETURN coalesce((SELECT bit_or(a.FRights) FROM t_OrvaAccessRight a
    WHERE a.FObjectID IN (1099, 107) AND a.FIndex = 6 AND (a.FUserID = u OR a.FUserID IN
      (SELECT g.FGroupID FROM t_Group g WHERE g.FGroupID <> 0 AND g.FUserID = u))), 0);
END $f$)",

    // Before each row written to t_CustEntry by a company user: the right the
    // write needs, and the audited entry that no one changes or deletes.
    R"(CREATE FUNCTION orva_rs_entry_rights() RETURNS trigger LANGUAGE plpgsql AS $f$
DECLARE
  held int := (SELECT id FROM orva_rs_seen WHERE login = current_user::text AND kind = 5);
  need int := 0;
  flag boolean;
  other boolean;
  what text;
  row_ t_CustEntry := CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END;
BEGIN
  IF held IS NULL THEN RETURN row_; END IF;
  IF TG_OP = 'INSERT' THEN
    need := 131072;
    what := 'add';
    IF NEW.FUsed <> 0 THEN need := need | 1; what := 'add audited'; END IF;
  ELSIF TG_OP = 'DELETE' THEN
    IF OLD.FUsed = 1 THEN
      RAISE EXCEPTION 'Price entry % is audited: it cannot be deleted.', OLD.FEntryID
        USING ERRCODE = '42501';
    END IF;
    need := 65536;
    what := 'delete';
  ELSE
    flag := NEW.FUsed IS DISTINCT FROM OLD.FUsed;
    other := (to_jsonb(NEW) - 'fused') IS DISTINCT FROM (to_jsonb(OLD) - 'fused');
    IF OLD.FUsed = 1 AND (other OR NOT flag) THEN
      RAISE EXCEPTION 'Price entry % is audited: it cannot be changed.', OLD.FEntryID
        USING ERRCODE = '42501';
    END IF;
    IF flag THEN need := 1; what := 'audit or unaudit'; END IF;
    IF other OR NOT flag THEN need := need | 4194304; what := 'change'; END IF;
  END IF;
  IF (held & need) <> need THEN
    RAISE EXCEPTION 'The login % holds no right to % price entry %.', current_user, what,
      row_.FEntryID USING ERRCODE = '42501';
  END IF;
  RETURN row_;
END $f$)",

    // Before a minimum price is changed by a company user (a customer-item
    // row's, or an item's): the modify right, as the module's minimum price
    // command asks for.
    R"(CREATE FUNCTION orva_rs_floor_rights() RETURNS trigger LANGUAGE plpgsql AS $f$
DECLARE
  held int := (SELECT id FROM orva_rs_seen WHERE login = current_user::text AND kind = 5);
BEGIN
  IF held IS NULL OR (held & 4194304) <> 0 THEN RETURN NEW; END IF;
  RAISE EXCEPTION 'The login % holds no right to change the minimum price of item %.',
    current_user, NEW.FItemID USING ERRCODE = '42501';
END $f$)",
};

// Every function above by its signature, for the search path and the drop.
const char* const kSignatures[] = {
    "orva_rs_user(name)",         "orva_rs_sees_all(name)",       "orva_rs_granted(name, int)",
    "orva_rs_visible(name, int)", "orva_rs_pair_empty(int, int)", "orva_rs_rights(name)",
    "orva_rs_entry_rights()",     "orva_rs_floor_rights()",       "orva_rs_refresh()",
    "orva_rs_refresh_trigger()"};

// Each function's search path: the company's schema, then pg_temp.
std::string FixSearchPath() {
    std::string list;
    for (const char* f : kSignatures) list += std::string(list.empty() ? "'" : ", '") + f + "'";
    return "DO $d$\nDECLARE f text;\nBEGIN\n  FOREACH f IN ARRAY ARRAY[" + list +
           "] LOOP\n    EXECUTE format('ALTER FUNCTION %s SET search_path = %I, pg_temp', f, "
           "current_schema());\n  END LOOP;\nEND $d$";
}

// What each company user's login may see, derived from the rights and the
// base data by orva_rs_refresh and kept current by triggers on the tables it
// is derived from (kDerivedFrom): a change holds from the next statement on.
// The policies read it by index, which costs a statement far less than
// deriving the sets anew. Kinds of rows: 0 the login sees everything (id 0);
// 1 a customer it sees; 4 an item; 120 a currency granted; 2 a t_Item row
// granted for customers or items (the module's joins look the granted group
// up there); 5 the function-right bits it holds (id).
const char* const kSeenTable =
    "CREATE TABLE orva_rs_seen (login text COLLATE \"C\" NOT NULL, kind int NOT NULL, "
    "id int NOT NULL, PRIMARY KEY (login, kind, id))";

const char* const kRefreshFunctions[] = {
    R"(CREATE FUNCTION orva_rs_refresh() RETURNS void LANGUAGE plpgsql SECURITY DEFINER AS $f$
BEGIN
  PERFORM pg_advisory_xact_lock(72620252);
  -- Only what changed is written: a refresh that changes nothing leaves the
  -- table as it was, without dead rows for the policies' reads to step over.
  WITH users AS (SELECT FName::text COLLATE "C" AS login, FName::name AS n, orva_rs_sees_all(FName::name) AS
                 sees_all FROM t_User WHERE FIsGroup = 0),
  fresh AS (
    SELECT login, 0 AS kind, 0 AS id FROM users WHERE sees_all
    UNION SELECT login, 1, v FROM users, orva_rs_visible(n, 1) v WHERE NOT sees_all
    UNION SELECT login, 4, v FROM users, orva_rs_visible(n, 4) v WHERE NOT sees_all
    UNION SELECT login, 120, v FROM users, orva_rs_granted(n, 120) v WHERE NOT sees_all
    UNION SELECT login, 2, v FROM users, orva_rs_granted(n, 1) v WHERE NOT sees_all
    UNION SELECT login, 2, v FROM users, orva_rs_granted(n, 4) v WHERE NOT sees_all
    UNION SELECT login, 5, orva_rs_rights(n) FROM users),
  gone AS (DELETE FROM orva_rs_seen s WHERE NOT EXISTS (SELECT 1 FROM fresh f
           WHERE f.login = s.login AND f.kind = s.kind AND f.id = s.id))
  INSERT INTO orva_rs_seen (login, kind, id) SELECT login, kind, id FROM fresh
    ON CONFLICT DO NOTHING;
END $f$)",
    R"(CREATE FUNCTION orva_rs_refresh_trigger() RETURNS trigger LANGUAGE plpgsql
  SECURITY DEFINER AS $f$
BEGIN
  PERFORM orva_rs_refresh();
  RETURN NULL;
END $f$)",
};

// The tables orva_rs_seen is derived from, and the changes that matter.
const char* const kDerivedFrom[][2] = {
    {"t_User", "INSERT OR UPDATE OR DELETE OR TRUNCATE"},
    {"t_Group", "INSERT OR UPDATE OR DELETE OR TRUNCATE"},
    {"t_ItemRight", "INSERT OR UPDATE OR DELETE OR TRUNCATE"},
    {"t_UserItemClassRight", "INSERT OR UPDATE OR DELETE OR TRUNCATE"},
    {"t_OrvaAccessRight", "INSERT OR UPDATE OR DELETE OR TRUNCATE"},
    {"t_Item", "INSERT OR DELETE OR TRUNCATE OR UPDATE OF FItemID, FNumber, FItemClassID"},
    {"t_Organization", "INSERT OR DELETE OR TRUNCATE OR UPDATE OF FItemID, FNumber"},
    {"t_ICItem", "INSERT OR DELETE OR TRUNCATE OR UPDATE OF FItemID, FNumber"},
};

// Conditions of the policies: the sets are read once per statement (sub-
// selects the planner hashes), never per row. Each read condition is wrapped
// in Kept() so that the planner keeps its estimate of the rows: a condition
// it cannot estimate would make it expect half the rows per table, and plans
// for few rows (hashing the ledger's 100,000 rows to disk for its DISTINCT)
// cost several times the owner's.
std::string Kept(const std::string& condition) {
    return "(CASE WHEN " + condition + " THEN 1 END) IS NOT NULL";
}
const std::string kSeesAll =
    "EXISTS (SELECT 1 FROM orva_rs_seen WHERE login = current_user::text AND kind = 0)";
std::string Seen(const std::string& column, int kind) {
    return column +
           " IN (SELECT id FROM orva_rs_seen WHERE login = current_user::text AND kind = " +
           std::to_string(kind) + ")";
}
// The same for the rows a statement writes, few as a rule: looked up one by
// one by key rather than read whole.
std::string SeenRow(const std::string& column, int kind) {
    return "EXISTS (SELECT 1 FROM orva_rs_seen WHERE login = current_user::text AND kind = " +
           std::to_string(kind) + " AND id = " + column + ")";
}
std::string CustAndItem(bool written = false) {
    auto seen = written ? SeenRow : Seen;
    return kSeesAll + " OR (" + seen("FCustID", 1) + " AND " + seen("FItemID", 4) + ")";
}

struct Policy {
    const char* name;
    const char* table;
    const char* command;  // FOR ...
    std::string using_;   // empty: none
    std::string check;    // empty: none
};

std::vector<Policy> Policies() {
    const std::string entry = kSeesAll + " OR (" + Seen("FCustID", 1) + " AND " +
                              Seen("FItemID", 4) + " AND " + Seen("FCyID", 120) + ")";
    const std::string entryWritten = kSeesAll + " OR (" + SeenRow("FCustID", 1) + " AND " +
                                     SeenRow("FItemID", 4) + " AND " + SeenRow("FCyID", 120) + ")";
    const std::string item = "FItemClassID NOT IN (1, 4) OR " + kSeesAll +
                             " OR (FItemClassID = 1 AND " + Seen("FItemID", 1) +
                             ") OR (FItemClassID = 4 AND " + Seen("FItemID", 4) + ") OR " +
                             Seen("FItemID", 2);
    const std::string pair = CustAndItem(), pairWritten = CustAndItem(true);
    return {
        {"orva_rs_organization", "t_Organization", "SELECT", kSeesAll + " OR " + Seen("FItemID", 1),
         ""},
        {"orva_rs_icitem", "t_ICItem", "SELECT", kSeesAll + " OR " + Seen("FItemID", 4), ""},
        // An item's minimum price (the only columns a clerk's login may
        // update there) is set on the items the login sees.
        {"orva_rs_icitem_floor", "t_ICItem", "UPDATE", kSeesAll + " OR " + SeenRow("FItemID", 4),
         kSeesAll + " OR " + SeenRow("FItemID", 4)},
        {"orva_rs_item", "t_Item", "SELECT", item, ""},
        {"orva_rs_custentry", "t_CustEntry", "ALL", entry, entryWritten},
        {"orva_rs_cust_read", "t_Cust", "SELECT", pair, ""},
        {"orva_rs_cust_add", "t_Cust", "INSERT", "", pairWritten},
        {"orva_rs_cust_change", "t_Cust", "UPDATE", pair, pairWritten},
        {"orva_rs_cust_remove", "t_Cust", "DELETE",
         "(" + pair + ") AND orva_rs_pair_empty(FCustID, FItemID)", ""},
    };
}

// The minimum prices: table and columns.
const char* const kFloors[][2] = {
    {"t_Cust", "FSELowPrice, FCurrencyID"},
    {"t_ICItem", "FSOLowPrc, FSalePriceFixingType"},
};

const char* const kTables[] = {"t_Organization", "t_ICItem", "t_Item", "t_CustEntry", "t_Cust"};

// The records of a group found by its code: index name and table.
const char* const kIndexes[][2] = {
    {"orva_rs_item_group", "t_Item"},
    {"orva_rs_organization_group", "t_Organization"},
    {"orva_rs_icitem_group", "t_ICItem"},
};

// The history is optional: only a company that has it gets its policy.
const std::string kHistoryOn = R"(DO $d$
BEGIN
  IF to_regclass('t_custentryhistory') IS NOT NULL THEN
    EXECUTE 'ALTER TABLE t_CustEntryHistory ENABLE ROW LEVEL SECURITY';
    EXECUTE 'CREATE POLICY orva_rs_history ON t_CustEntryHistory FOR SELECT USING ()" +
                               Kept(CustAndItem()) + R"()';
  END IF;
END $d$)";

const char* const kHistoryOff = R"(DO $d$
BEGIN
  IF to_regclass('t_custentryhistory') IS NOT NULL THEN
    EXECUTE 'DROP POLICY IF EXISTS orva_rs_history ON t_CustEntryHistory';
    EXECUTE 'ALTER TABLE t_CustEntryHistory DISABLE ROW LEVEL SECURITY';
  END IF;
END $d$)";

}  // namespace

std::vector<std::string> RowSecurityOffScript() {
    std::vector<std::string> s;
    for (const Policy& p : Policies())
        s.push_back(std::string("DROP POLICY IF EXISTS ") + p.name + " ON " + p.table);
    for (const char* t : kTables)
        s.push_back(std::string("ALTER TABLE ") + t + " DISABLE ROW LEVEL SECURITY");
    s.push_back(kHistoryOff);
    s.push_back("DROP TRIGGER IF EXISTS tr_CustEntry_Rights ON t_CustEntry");
    for (const auto& t : kFloors)
        s.push_back(std::string("DROP TRIGGER IF EXISTS tr_Floor_Rights ON ") + t[0]);
    for (const auto& t : kDerivedFrom)
        s.push_back(std::string("DROP TRIGGER IF EXISTS tr_RowSecurity_Refresh ON ") + t[0]);
    s.push_back("DROP TABLE IF EXISTS orva_rs_seen");
    for (const char* f : kSignatures) s.push_back(std::string("DROP FUNCTION IF EXISTS ") + f);
    for (const auto& index : kIndexes) s.push_back(std::string("DROP INDEX IF EXISTS ") + index[0]);
    return s;
}

std::vector<std::string> RowSecurityOnScript() {
    std::vector<std::string> s = RowSecurityOffScript();
    for (const auto& index : kIndexes)
        s.push_back(std::string("CREATE INDEX ") + index[0] + " ON " + index[1] + " ((" +
                    GroupOf("FNumber") + "))");
    s.emplace_back(kSeenTable);
    s.emplace_back("GRANT SELECT ON orva_rs_seen TO PUBLIC");
    for (const char* f : kFunctions) s.emplace_back(f);
    s.push_back(VisibleFunction());
    for (const char* f : kRefreshFunctions) s.emplace_back(f);
    s.push_back(FixSearchPath());
    s.emplace_back("DO $d$ BEGIN PERFORM orva_rs_refresh(); END $d$");
    for (const auto& t : kDerivedFrom) {
        s.push_back(std::string("CREATE TRIGGER tr_RowSecurity_Refresh AFTER ") + t[1] + " ON " +
                    t[0] + " FOR EACH STATEMENT EXECUTE FUNCTION orva_rs_refresh_trigger()");
    }
    s.push_back(
        "CREATE TRIGGER tr_CustEntry_Rights BEFORE INSERT OR UPDATE OR DELETE ON t_CustEntry "
        "FOR EACH ROW EXECUTE FUNCTION orva_rs_entry_rights()");
    for (const auto& t : kFloors) {
        s.push_back(std::string("CREATE TRIGGER tr_Floor_Rights BEFORE UPDATE OF ") + t[1] +
                    " ON " + t[0] + " FOR EACH ROW EXECUTE FUNCTION orva_rs_floor_rights()");
    }
    for (const char* t : kTables)
        s.push_back(std::string("ALTER TABLE ") + t + " ENABLE ROW LEVEL SECURITY");
    for (const Policy& p : Policies()) {
        std::string sql =
            std::string("CREATE POLICY ") + p.name + " ON " + p.table + " FOR " + p.command;
        if (!p.using_.empty())
            sql += " USING (" + Kept(p.using_) + ")";
        if (!p.check.empty())
            sql += " WITH CHECK (" + p.check + ")";
        s.push_back(sql);
    }
    s.push_back(kHistoryOn);
    return s;
}

void SetRowSecurity(DbBackend& db, bool on) {
    if (db.Native() != NativeDialect::kPostgres) {
        throw ComError(ComError::kDatabase,
                       "Row security is kept by a PostgreSQL server only; " + db.Describe() +
                           " is not a company on such a server.",
                       kConnectionProgID);
    }
    db.RunNativeScript(on ? RowSecurityOnScript() : RowSecurityOffScript());
}

}  // namespace orva
