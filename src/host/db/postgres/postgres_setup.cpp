#include "host/db/postgres/postgres_setup.h"

#include <string>

#include "host/db/postgres/postgres_result.h"
#include "host/tsql/utf8.h"

namespace orva {
namespace {

// Raised when the functions change, so that databases set up by an older
// build are brought up to date.
constexpr int kSetupVersion = 4;

// Advisory lock key serialising the set-up between clients.
constexpr const char* kLock = "SELECT pg_advisory_xact_lock(7302114)";

// The collation: ICU's root locale at strength 2, as the company's
// collation compares: case and width (full-width forms) ignored, accents
// counted; nondeterministic so that strings differing only in case are
// equal.
constexpr const char* kSetup = R"SQL(
DO $$ BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_collation WHERE collname = 'orva_ci'
                 AND collnamespace = 'public'::regnamespace) THEN
    CREATE COLLATION public.orva_ci (provider = icu, locale = 'und-u-ks-level2',
                                     deterministic = false);
  END IF;
END $$;

CREATE OR REPLACE FUNCTION len(x text) RETURNS bigint
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT char_length(rtrim(x, ' '))::bigint $$;

CREATE OR REPLACE FUNCTION orva_left(x text, n bigint) RETURNS text
  LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF n < 0 THEN RAISE EXCEPTION 'Invalid length parameter passed to the left function.'
                USING ERRCODE = '22023'; END IF;
  RETURN left(x, least(n, 2147483647)::int);
END $$;

CREATE OR REPLACE FUNCTION orva_right(x text, n bigint) RETURNS text
  LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF n < 0 THEN RAISE EXCEPTION 'Invalid length parameter passed to the right function.'
                USING ERRCODE = '22023'; END IF;
  RETURN right(x, least(n, 2147483647)::int);
END $$;

CREATE OR REPLACE FUNCTION charindex(needle text, hay text, start bigint DEFAULT 1)
  RETURNS bigint LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN needle = '' THEN 0::bigint
              ELSE (SELECT CASE WHEN p = 0 THEN 0 ELSE p + s - 1 END
                    FROM (SELECT strpos(lower(substr(hay, s)) COLLATE "und-x-icu",
                                         lower(needle) COLLATE "und-x-icu")::bigint AS p) q)
         END
  FROM (SELECT greatest(start, 1)::int AS s) z $$;

CREATE OR REPLACE FUNCTION orva_replace(x text, f text, t text) RETURNS text
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN f = '' THEN x
              ELSE regexp_replace(x COLLATE "und-x-icu", regexp_replace(f COLLATE "und-x-icu", '([.^$*+?()\[\]{}|\\])', '\\\1', 'g'),
                                  replace(t, '\', '\\'), 'gi') END $$;

CREATE OR REPLACE FUNCTION orva_round(x numeric, n bigint) RETURNS numeric
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT round(x, n::int) $$;
CREATE OR REPLACE FUNCTION orva_round(x double precision, n bigint) RETURNS double precision
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT round(x::numeric, n::int)::double precision $$;

CREATE OR REPLACE FUNCTION getdate() RETURNS text
  LANGUAGE sql VOLATILE AS $$ SELECT to_char(clock_timestamp(), 'YYYY-MM-DD HH24:MI:SS.MS') $$;

-- A text operand of arithmetic, converted as the database converts it.
CREATE OR REPLACE FUNCTION orva_number(x text, target text DEFAULT 'int') RETURNS numeric
  LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF x IS NULL THEN RETURN NULL; END IF;
  IF x COLLATE "C" ~ '^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$' THEN
    RETURN trim(x)::numeric;
  END IF;
  RAISE EXCEPTION 'Conversion failed when converting the varchar value ''%'' to data type %.',
    left(x, 60), target USING ERRCODE = '22018';
END $$;

CREATE OR REPLACE FUNCTION orva_add(a text, b text) RETURNS text
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a || b $$;
CREATE OR REPLACE FUNCTION orva_add(a integer, b integer) RETURNS bigint
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a::bigint + b $$;
CREATE OR REPLACE FUNCTION orva_add(a bigint, b bigint) RETURNS bigint
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a + b $$;
CREATE OR REPLACE FUNCTION orva_add(a numeric, b numeric) RETURNS numeric
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a + b $$;
CREATE OR REPLACE FUNCTION orva_add(a double precision, b double precision)
  RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a + b $$;
CREATE OR REPLACE FUNCTION orva_add(a text, b numeric) RETURNS numeric
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT orva_number(a) + b $$;
CREATE OR REPLACE FUNCTION orva_add(a numeric, b text) RETURNS numeric
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a + orva_number(b) $$;

CREATE OR REPLACE FUNCTION orva_cast_int(x text, isbit bigint) RETURNS bigint
  LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v bigint;
BEGIN
  IF x IS NULL THEN RETURN NULL; END IF;
  IF isbit <> 0 AND lower(trim(x)) IN ('true', 'false') THEN
    RETURN CASE WHEN lower(trim(x)) = 'true' THEN 1 ELSE 0 END;
  END IF;
  IF trim(x) COLLATE "C" !~ '^[+-]?\d{1,18}$' THEN
    RAISE EXCEPTION 'Conversion failed when converting the varchar value ''%'' to data type %',
      left(x, 60), CASE WHEN isbit <> 0 THEN 'bit.' ELSE 'int.' END USING ERRCODE = '22018';
  END IF;
  v := trim(x)::bigint;
  RETURN CASE WHEN isbit <> 0 THEN (v <> 0)::int ELSE v END;
END $$;
CREATE OR REPLACE FUNCTION orva_cast_int(x bigint, isbit bigint) RETURNS bigint
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN isbit <> 0 THEN (x <> 0)::int ELSE x END $$;
CREATE OR REPLACE FUNCTION orva_cast_int(x integer, isbit bigint) RETURNS bigint
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN isbit <> 0 THEN (x <> 0)::int ELSE x END $$;
CREATE OR REPLACE FUNCTION orva_cast_int(x numeric, isbit bigint) RETURNS bigint
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN isbit <> 0 THEN (x <> 0)::int ELSE trunc(x)::bigint END $$;
CREATE OR REPLACE FUNCTION orva_cast_int(x double precision, isbit bigint) RETURNS bigint
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN isbit <> 0 THEN (x <> 0)::int ELSE trunc(x)::bigint END $$;

CREATE OR REPLACE FUNCTION orva_cast_real(x double precision, scale bigint)
  RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN scale < 0 THEN x ELSE round(x::numeric, scale::int)::double precision END $$;
CREATE OR REPLACE FUNCTION orva_cast_real(x numeric, scale bigint)
  RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN scale < 0 THEN x ELSE round(x, scale::int) END::double precision $$;
CREATE OR REPLACE FUNCTION orva_cast_real(x text, scale bigint) RETURNS double precision
  LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF x IS NULL THEN RETURN NULL; END IF;
  IF x COLLATE "C" !~ '^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$' THEN
    RAISE EXCEPTION 'Error converting data type varchar to %.',
      CASE WHEN scale < 0 THEN 'float' ELSE 'numeric' END USING ERRCODE = '22018';
  END IF;
  RETURN orva_cast_real(trim(x)::numeric, scale);
END $$;

-- A date and time in one of the accepted forms, as its parts (NULL when the
-- text is none).
CREATE OR REPLACE FUNCTION orva_date_parts(x text) RETURNS int[]
  LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE m text[]; ms int := 0;
BEGIN
  m := regexp_match(trim(x) COLLATE "C", '^(\d{4})(?:([-/.])(\d{1,2})\2(\d{1,2})|(\d{2})(\d{2}))'
                             '(?:[ T](\d{2}):(\d{2})(?::(\d{2})(?:\.(\d*))?)?)?$');
  IF m IS NULL THEN RETURN NULL; END IF;
  IF m[10] IS NOT NULL AND m[10] <> '' THEN ms := rpad(left(m[10], 3), 3, '0')::int; END IF;
  BEGIN
    PERFORM make_date(m[1]::int, coalesce(m[3], m[5])::int, coalesce(m[4], m[6])::int);
  EXCEPTION WHEN others THEN RETURN NULL;
  END;
  IF coalesce(m[7], '0')::int > 23 OR coalesce(m[8], '0')::int > 59
     OR coalesce(m[9], '0')::int > 59 THEN RETURN NULL; END IF;
  RETURN ARRAY[m[1]::int, coalesce(m[3], m[5])::int, coalesce(m[4], m[6])::int,
               coalesce(m[7], '0')::int, coalesce(m[8], '0')::int, coalesce(m[9], '0')::int, ms];
END $$;

CREATE OR REPLACE FUNCTION orva_format_date(p int[], style int) RETURNS text
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE
    WHEN style = 101 THEN lpad(p[2]::text, 2, '0') || '/' || lpad(p[3]::text, 2, '0') || '/' || lpad(p[1]::text, 4, '0')
    WHEN style = 102 THEN lpad(p[1]::text, 4, '0') || '.' || lpad(p[2]::text, 2, '0') || '.' || lpad(p[3]::text, 2, '0')
    WHEN style = 103 THEN lpad(p[3]::text, 2, '0') || '/' || lpad(p[2]::text, 2, '0') || '/' || lpad(p[1]::text, 4, '0')
    WHEN style = 111 THEN lpad(p[1]::text, 4, '0') || '/' || lpad(p[2]::text, 2, '0') || '/' || lpad(p[3]::text, 2, '0')
    WHEN style = 112 THEN lpad(p[1]::text, 4, '0') || lpad(p[2]::text, 2, '0') || lpad(p[3]::text, 2, '0')
    WHEN style = 108 THEN lpad(p[4]::text, 2, '0') || ':' || lpad(p[5]::text, 2, '0') || ':' || lpad(p[6]::text, 2, '0')
    ELSE lpad(p[1]::text, 4, '0') || '-' || lpad(p[2]::text, 2, '0') || '-' || lpad(p[3]::text, 2, '0') ||
         CASE WHEN style IN (20, 120) THEN ' ' || lpad(p[4]::text, 2, '0') || ':' || lpad(p[5]::text, 2, '0') || ':' || lpad(p[6]::text, 2, '0')
              WHEN style IN (21, 121) OR (style <> 23 AND (p[4] <> 0 OR p[5] <> 0 OR p[6] <> 0 OR p[7] <> 0))
                THEN ' ' || lpad(p[4]::text, 2, '0') || ':' || lpad(p[5]::text, 2, '0') || ':' || lpad(p[6]::text, 2, '0') || '.' || lpad(p[7]::text, 3, '0')
              ELSE '' END
  END $$;

CREATE OR REPLACE FUNCTION orva_fit_text(s text, len bigint, pad bigint) RETURNS text
  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN len < 0 OR s IS NULL THEN s
              WHEN char_length(s) > len THEN left(s, len::int)
              WHEN pad <> 0 THEN s || repeat(' ', (len - char_length(s))::int)
              ELSE s END $$;

CREATE OR REPLACE FUNCTION orva_cast_text(x text, len bigint, style bigint, pad bigint)
  RETURNS text LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE s text := x; p int[];
BEGIN
  IF x IS NULL THEN RETURN NULL; END IF;
  IF coalesce(style, 0) <> 0 THEN
    IF style NOT IN (20, 21, 23, 101, 102, 103, 108, 111, 112, 120, 121) THEN
      RAISE EXCEPTION '% is not a valid style number when converting to a text.', style
        USING ERRCODE = '22023';
    END IF;
    p := orva_date_parts(x);
    IF p IS NOT NULL THEN s := orva_format_date(p, style::int); END IF;
  END IF;
  RETURN orva_fit_text(s, len, pad);
END $$;
CREATE OR REPLACE FUNCTION orva_cast_text(x bigint, len bigint, style bigint, pad bigint)
  RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT orva_fit_text(x::text, len, pad) $$;
CREATE OR REPLACE FUNCTION orva_cast_text(x integer, len bigint, style bigint, pad bigint)
  RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT orva_fit_text(x::text, len, pad) $$;
CREATE OR REPLACE FUNCTION orva_cast_text(x numeric, len bigint, style bigint, pad bigint)
  RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT orva_fit_text(x::text, len, pad) $$;
CREATE OR REPLACE FUNCTION orva_cast_text(x double precision, len bigint, style bigint, pad bigint)
  RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT orva_fit_text(x::text, len, pad) $$;

CREATE OR REPLACE FUNCTION orva_cast_date(x text) RETURNS text
  LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE p int[];
BEGIN
  IF x IS NULL THEN RETURN NULL; END IF;
  p := orva_date_parts(x);
  IF p IS NULL THEN
    RAISE EXCEPTION 'Conversion failed when converting date and/or time from character string.'
      USING ERRCODE = '22007';
  END IF;
  RETURN orva_format_date(p, 0);
END $$;

-- The numbering table behind the entry numbers.
CREATE TABLE IF NOT EXISTS t_icmaxnum (
  ftablename bpchar COLLATE public.orva_ci NOT NULL PRIMARY KEY,
  fmaxnum integer NOT NULL);

CREATE OR REPLACE FUNCTION orva_setup_version() RETURNS int
  LANGUAGE sql IMMUTABLE AS $$ SELECT )SQL";

// orva_fold(x): the full-width forms of ASCII (U+FF01 to U+FF5E) turned into
// the ASCII they stand for, as the collation compares them. LIKE matches
// what went through it, so that it ignores width as '=' does. The
// full-width '％', '＿' and '＼' stay as they are: in a pattern they must not
// become a wildcard or an escape.
std::string FoldFunction() {
    std::string from, to;
    for (char32_t c = 0xFF01; c <= 0xFF5E; ++c) {
        if (c == U'％' || c == U'＿' || c == U'＼')
            continue;
        tsql::EncodeUtf8(c, from);
        const char ascii = static_cast<char>(c - 0xFEE0);
        to += ascii;
        if (ascii == '\'')
            to += ascii;
    }
    return "CREATE OR REPLACE FUNCTION orva_fold(x text) RETURNS text\n"
           "  LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $fold$ SELECT translate(x, '" +
           from + "', '" + to + "') $fold$;\n";
}

// Runs a script; the server's message on failure.
std::string Run(PGconn* conn, const std::string& sql) {
    PgResult r(PQexec(conn, sql.c_str()));
    const ExecStatusType st = PQresultStatus(r.get());
    if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK)
        return {};
    const char* m = PQresultErrorMessage(r.get());
    std::string msg = m && *m ? m : PQerrorMessage(conn);
    while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
    return msg;
}

bool UpToDate(PGconn* conn) {
    // Read from the catalogue, so that a database without the function
    // raises no error (which would end the set-up's transaction).
    const std::string sql =
        "SELECT 1 FROM pg_proc WHERE proname = 'orva_setup_version' AND trim(prosrc) = 'SELECT " +
        std::to_string(kSetupVersion) + "'";
    PgResult r(PQexec(conn, sql.c_str()));
    return PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQntuples(r.get()) == 1;
}

}  // namespace

std::string EnsurePostgresSetup(PGconn* conn) {
    if (UpToDate(conn))
        return {};
    std::string err = Run(conn, "BEGIN");
    if (err.empty())
        err = Run(conn, kLock);
    // Another client may have set the database up while this one waited.
    if (err.empty() && !UpToDate(conn)) {
        err = Run(conn, FoldFunction() + kSetup + std::to_string(kSetupVersion) + " $$;");
    }
    if (err.empty())
        return Run(conn, "COMMIT");
    Run(conn, "ROLLBACK");
    return err;
}

}  // namespace orva
