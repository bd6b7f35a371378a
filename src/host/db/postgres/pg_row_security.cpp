#include "host/db/postgres/pg_row_security.h"

#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

// The functions the policies and the trigger call. They read the rights as
// the tables' owner (SECURITY DEFINER), so that the limited tables can be
// consulted without limiting themselves, with a search path fixed to the
// company's schema and pg_temp last (see kFixSearchPath): a login's own
// temporary table named t_User is never taken for the company's.
const char* const kFunctions[] = {
    // The company user of a login: the t_User row, not a group, whose name
    // is the role's name byte for byte.
    R"(CREATE FUNCTION orva_rs_user(p_login name) RETURNS int
  LANGUAGE sql STABLE SECURITY DEFINER AS $f$
  SELECT FUserID FROM t_User WHERE FName COLLATE "C" = p_login::text AND FIsGroup = 0 $f$)",

    // Whether the statements of the module carry no rights joins for the
    // user: a member of group 1, or data rights off (FDataVokeType even).
    R"(CREATE FUNCTION orva_rs_sees_all(p_login name) RETURNS boolean
  LANGUAGE sql STABLE SECURITY DEFINER AS $f$
  SELECT coalesce((SELECT u.FDataVokeType % 2 <> 1
      OR EXISTS (SELECT 1 FROM t_Group g WHERE g.FUserID = u.FUserID AND g.FGroupID = 1)
    FROM t_User u WHERE u.FUserID = orva_rs_user(p_login)), false) $f$)",

    // The ids that t_ItemRight grants to the user or to one of its groups
    // (group 0 never) for one rights type.
    R"(CREATE FUNCTION orva_rs_granted(p_login name, p_type int) RETURNS SETOF int
  LANGUAGE sql STABLE SECURITY DEFINER AS $f$
  SELECT r.FItemID FROM t_ItemRight r WHERE r.FTypeID = p_type AND r.FUserID IN (
    SELECT orva_rs_user(p_login)
    UNION ALL
    SELECT g.FGroupID FROM t_Group g WHERE g.FGroupID <> 0 AND g.FUserID = orva_rs_user(p_login))
$f$)",

    // The customers (class 1) or items (class 4) the user sees: those granted
    // themselves, or with group-level rights (bit 4 for the class) those whose
    // group is granted, the group being the t_Item row whose code is the
    // record's code cut before its last "." (a code without "." is its own
    // group), compared in the company's collation as the module's join does.
    R"(CREATE FUNCTION orva_rs_visible(p_login name, p_class int) RETURNS SETOF int
  LANGUAGE sql STABLE SECURITY DEFINER AS $f$
  WITH lvl AS (SELECT EXISTS (SELECT 1 FROM t_UserItemClassRight c
      WHERE c.FUserID = orva_rs_user(p_login) AND c.FItemClassID = p_class
        AND (c.FUserItemClassRight & 4) <> 0) AS grp)
  SELECT id FROM orva_rs_granted(p_login, p_class) id WHERE NOT (SELECT grp FROM lvl)
  UNION ALL
  SELECT r.FItemID FROM (
      SELECT FItemID, FNumber FROM t_Item WHERE FItemClassID = p_class
      UNION ALL SELECT FItemID, FNumber FROM t_Organization WHERE p_class = 1
      UNION ALL SELECT FItemID, FNumber FROM t_ICItem WHERE p_class = 4) r
  WHERE (SELECT grp FROM lvl)
    AND left(r.FNumber, char_length(rtrim(r.FNumber))
                        - strpos(reverse(rtrim(r.FNumber)) COLLATE "C", '.'))
        IN (SELECT g.FNumber FROM t_Item g
            WHERE g.FItemID IN (SELECT orva_rs_granted(p_login, p_class))) $f$)",

    // Whether no price entry of the customer and item is left, counting the
    // entries the login cannot see.
    R"(CREATE FUNCTION orva_rs_pair_empty(p_cust int, p_item int) RETURNS boolean
  LANGUAGE sql STABLE SECURITY DEFINER AS $f$
  SELECT NOT EXISTS (SELECT 1 FROM t_CustEntry WHERE FCustID = p_cust AND FItemID = p_item) $f$)",

    // The function-right bits of the price module the user holds: -1 (all)
    // for a member of group 1, else those of its rows and of its groups'
    // (group 0 never) on object 1099 or 107, index 6; Null for a login that
    // is no company user.
    R"(CREATE FUNCTION orva_rs_rights(p_login name) RETURNS int
  LANGUAGE sql STABLE SECURITY DEFINER AS $f$
  SELECT CASE
    WHEN u.id IS NULL THEN NULL
    WHEN EXISTS (SELECT 1 FROM t_Group g WHERE g.FGroupID = 1 AND g.FUserID = u.id) THEN -1
    ELSE coalesce((SELECT bit_or(a.FRights) FROM t_OrvaAccessRight a
      WHERE a.FObjectID IN (1099, 107) AND a.FIndex = 6 AND (a.FUserID = u.id OR a.FUserID IN
        (SELECT g.FGroupID FROM t_Group g WHERE g.FGroupID <> 0 AND g.FUserID = u.id))), 0)
  END FROM (SELECT orva_rs_user(p_login) AS id) u $f$)",

    // Before each row written to t_CustEntry by a company user: the right the
    // write needs, and the audited entry that no one changes or deletes.
    R"(CREATE FUNCTION orva_rs_entry_rights() RETURNS trigger LANGUAGE plpgsql AS $f$
DECLARE
  held int := orva_rs_rights(current_user);
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
};

// Every function above by its signature, for the search path and the drop.
const char* const kSignatures[] = {"orva_rs_user(name)",           "orva_rs_sees_all(name)",
                                   "orva_rs_granted(name, int)",   "orva_rs_visible(name, int)",
                                   "orva_rs_pair_empty(int, int)", "orva_rs_rights(name)",
                                   "orva_rs_entry_rights()"};

const char* const kFixSearchPath = R"(DO $d$
DECLARE f text;
BEGIN
  FOREACH f IN ARRAY ARRAY['orva_rs_user(name)', 'orva_rs_sees_all(name)',
      'orva_rs_granted(name, int)', 'orva_rs_visible(name, int)', 'orva_rs_pair_empty(int, int)',
      'orva_rs_rights(name)', 'orva_rs_entry_rights()'] LOOP
    EXECUTE format('ALTER FUNCTION %s SET search_path = %I, pg_temp', f, current_schema());
  END LOOP;
END $d$)";

// Conditions of the policies, per statement: the sets are computed once per
// statement (sub-selects the planner hashes), never per row.
const std::string kSeesAll = "(SELECT orva_rs_sees_all(current_user))";
std::string Visible(const std::string& column, int itemClass) {
    return column + " IN (SELECT orva_rs_visible(current_user, " + std::to_string(itemClass) + "))";
}
std::string Granted(const std::string& column, int type) {
    return column + " IN (SELECT orva_rs_granted(current_user, " + std::to_string(type) + "))";
}
std::string CustAndItem() {
    return kSeesAll + " OR (" + Visible("FCustID", 1) + " AND " + Visible("FItemID", 4) + ")";
}

struct Policy {
    const char* name;
    const char* table;
    const char* command;  // FOR ...
    std::string using_;   // empty: none
    std::string check;    // empty: none
};

std::vector<Policy> Policies() {
    const std::string entry = kSeesAll + " OR (" + Visible("FCustID", 1) + " AND " +
                              Visible("FItemID", 4) + " AND " + Granted("FCyID", 120) + ")";
    const std::string item = "FItemClassID NOT IN (1, 4) OR " + kSeesAll +
                             " OR (FItemClassID = 1 AND " + Visible("FItemID", 1) +
                             ") OR (FItemClassID = 4 AND " + Visible("FItemID", 4) + ") OR " +
                             Granted("FItemID", 1) + " OR " + Granted("FItemID", 4);
    const std::string pair = CustAndItem();
    return {
        {"orva_rs_organization", "t_Organization", "SELECT",
         kSeesAll + " OR " + Visible("FItemID", 1), ""},
        {"orva_rs_icitem", "t_ICItem", "SELECT", kSeesAll + " OR " + Visible("FItemID", 4), ""},
        {"orva_rs_item", "t_Item", "SELECT", item, ""},
        {"orva_rs_custentry", "t_CustEntry", "ALL", entry, entry},
        {"orva_rs_cust_read", "t_Cust", "SELECT", pair, ""},
        {"orva_rs_cust_add", "t_Cust", "INSERT", "", pair},
        {"orva_rs_cust_change", "t_Cust", "UPDATE", pair, pair},
        {"orva_rs_cust_remove", "t_Cust", "DELETE",
         "(" + pair + ") AND orva_rs_pair_empty(FCustID, FItemID)", ""},
    };
}

const char* const kTables[] = {"t_Organization", "t_ICItem", "t_Item", "t_CustEntry", "t_Cust"};

// The history is optional: only a company that has it gets its policy, and
// its trigger functions run as their owner (see the header).
const std::string kHistoryOn = R"(DO $d$
BEGIN
  IF to_regclass('t_custentryhistory') IS NOT NULL THEN
    EXECUTE 'ALTER TABLE t_CustEntryHistory ENABLE ROW LEVEL SECURITY';
    EXECUTE 'CREATE POLICY orva_rs_history ON t_CustEntryHistory FOR SELECT USING ()" +
                               CustAndItem() + R"()';
  END IF;
  IF to_regprocedure('orva_custentry_history()') IS NOT NULL THEN
    EXECUTE format('ALTER FUNCTION orva_custentry_history() SECURITY DEFINER '
                   'SET search_path = %I, pg_temp', current_schema());
    EXECUTE format('ALTER FUNCTION orva_cust_history() SECURITY DEFINER '
                   'SET search_path = %I, pg_temp', current_schema());
    EXECUTE 'REVOKE EXECUTE ON FUNCTION orva_history_append(int, int, int, text, text) '
            'FROM PUBLIC';
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
    for (const char* f : kSignatures) s.push_back(std::string("DROP FUNCTION IF EXISTS ") + f);
    return s;
}

std::vector<std::string> RowSecurityOnScript() {
    std::vector<std::string> s = RowSecurityOffScript();
    for (const char* f : kFunctions) s.emplace_back(f);
    s.emplace_back(kFixSearchPath);
    s.push_back(
        "CREATE TRIGGER tr_CustEntry_Rights BEFORE INSERT OR UPDATE OR DELETE ON t_CustEntry "
        "FOR EACH ROW EXECUTE FUNCTION orva_rs_entry_rights()");
    for (const char* t : kTables)
        s.push_back(std::string("ALTER TABLE ") + t + " ENABLE ROW LEVEL SECURITY");
    for (const Policy& p : Policies()) {
        std::string sql =
            std::string("CREATE POLICY ") + p.name + " ON " + p.table + " FOR " + p.command;
        if (!p.using_.empty())
            sql += " USING (" + p.using_ + ")";
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
