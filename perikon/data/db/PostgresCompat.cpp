#include "PostgresCompat.h"

#include "PostgresDriver.h"

namespace perikon::db {

using namespace Qt::StringLiterals;

QString postgresCompatSql()
{
    // Domains cannot be replaced, so each is created only when missing.
    return uR"sql(
CREATE SCHEMA IF NOT EXISTS tempdb;
-- Object names in sysobjects compare without regard to case.
CREATE EXTENSION IF NOT EXISTS citext SCHEMA public;

DO $$ BEGIN
    IF to_regtype('public.flag') IS NULL THEN
        CREATE DOMAIN public.flag AS smallint CHECK (VALUE IN (0, 1));
    END IF;
    IF to_regtype('public.tinyint') IS NULL THEN
        CREATE DOMAIN public.tinyint AS smallint CHECK (VALUE BETWEEN 0 AND 255);
    END IF;
    IF to_regtype('public.rowversion') IS NULL THEN
        CREATE DOMAIN public.rowversion AS bigint;
    END IF;
END $$;

CREATE OR REPLACE FUNCTION public.getdate() RETURNS timestamp(3)
    LANGUAGE sql VOLATILE AS $$ SELECT clock_timestamp()::timestamp(3) $$;

CREATE OR REPLACE FUNCTION public.newid() RETURNS varchar(36)
    LANGUAGE sql VOLATILE AS $$ SELECT upper(gen_random_uuid()::text)::varchar(36) $$;

-- Trailing blanks do not count, leading ones do.
CREATE OR REPLACE FUNCTION public.len(value anyelement) RETURNS integer
    LANGUAGE sql IMMUTABLE AS $$ SELECT length(rtrim(value::text, ' ')) $$;
CREATE OR REPLACE FUNCTION public.len(value text) RETURNS integer
    LANGUAGE sql IMMUTABLE AS $$ SELECT length(rtrim(value, ' ')) $$;

CREATE OR REPLACE FUNCTION public.money_text(value numeric) RETURNS text
    LANGUAGE sql IMMUTABLE AS $$ SELECT (value::numeric(38,4))::text $$;

CREATE OR REPLACE FUNCTION public.round(value double precision, digits integer)
    RETURNS double precision
    LANGUAGE sql IMMUTABLE AS $$ SELECT round(value::numeric, digits)::double precision $$;

CREATE OR REPLACE FUNCTION public.udf_getlocaleid() RETURNS text
    LANGUAGE sql STABLE
    AS $$ SELECT coalesce(nullif(current_setting('perikon.locale_id', true), ''), 'zh-CN') $$;

CREATE OR REPLACE FUNCTION public.object_id(name text) RETURNS integer
    LANGUAGE plpgsql STABLE AS $$
DECLARE
    parts text[];
    target_schema text;
BEGIN
    IF name IS NULL THEN
        RETURN NULL;
    END IF;
    parts := string_to_array(replace(replace(btrim(name), '[', ''), ']', ''), '.');
    target_schema := CASE WHEN array_length(parts, 1) >= 3 AND parts[1] <> ''
                          THEN lower(parts[1]) ELSE current_schema() END;
    RETURN (SELECT c.oid::integer FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace
            WHERE n.nspname = target_schema AND c.relname = lower(parts[array_length(parts, 1)])
              AND c.relkind IN ('r', 'v', 'p') LIMIT 1);
END $$;

-- Each account schema has its own sequence; the trigger finds it through the table's schema,
-- whatever the session's search path.
CREATE OR REPLACE FUNCTION public.perikon_touch_row_version() RETURNS trigger
    LANGUAGE plpgsql AS $$
BEGIN
    NEW.qzts := nextval(quote_ident(TG_TABLE_SCHEMA) || '.qz_rowversion_seq');
    RETURN NEW;
END $$;

CREATE OR REPLACE VIEW public.sysobjects AS
    SELECT c.oid::integer AS id, c.relname::text::public.citext AS name,
           (CASE c.relkind WHEN 'v' THEN 'V' ELSE 'U' END)::char(2) AS type,
           (CASE c.relkind WHEN 'v' THEN 'V' ELSE 'U' END)::char(2) AS xtype
    FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace
    WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'v', 'p');

CREATE OR REPLACE VIEW tempdb.sysobjects AS
    SELECT c.oid::integer AS id, c.relname::text::public.citext AS name,
           (CASE c.relkind WHEN 'v' THEN 'V' ELSE 'U' END)::char(2) AS type,
           (CASE c.relkind WHEN 'v' THEN 'V' ELSE 'U' END)::char(2) AS xtype
    FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace
    WHERE n.nspname = 'tempdb' AND c.relkind IN ('r', 'v', 'p');

-- A number compared with text, as the suite's statements do with coded columns: compared as text,
-- so a value that is no number matches nothing instead of failing the statement.
CREATE OR REPLACE FUNCTION public.perikon_int_eq_text(integer, text) RETURNS boolean
    LANGUAGE sql IMMUTABLE AS $$ SELECT $1::text = $2 $$;
CREATE OR REPLACE FUNCTION public.perikon_text_eq_int(text, integer) RETURNS boolean
    LANGUAGE sql IMMUTABLE AS $$ SELECT $1 = $2::text $$;
DO $$ BEGIN
    IF to_regoperator('public.=(integer,text)') IS NULL THEN
        CREATE OPERATOR public.= (LEFTARG = integer, RIGHTARG = text,
                                  FUNCTION = public.perikon_int_eq_text);
        CREATE OPERATOR public.= (LEFTARG = text, RIGHTARG = integer,
                                  FUNCTION = public.perikon_text_eq_int);
    END IF;
END $$;

CREATE TABLE IF NOT EXISTS public.qz_spelling (
    table_name  varchar(128) NOT NULL,
    spelling    varchar(128) NOT NULL,
    PRIMARY KEY (table_name, spelling)
);
)sql"_s;
}

void installPostgresCompat(PostgresDriver &driver)
{
    driver.execute(postgresCompatSql());
}

void setPostgresLocaleId(PostgresDriver &driver, const QString &localeId)
{
    driver.query(u"SELECT set_config('perikon.locale_id', $1, false)"_s, {localeId});
}

} // namespace perikon::db
