#include "SqlKeywords.h"

#include <QLatin1StringView>

#include <algorithm>
#include <array>

namespace perikon::db::internal {

namespace {

template<std::size_t N>
bool containsWord(const std::array<QLatin1StringView, N> &words, QStringView word)
{
    // Every word is ASCII, and a case-insensitive match keeps the length: the length is compared
    // first, as it rules out nearly every word at once.
    return std::any_of(words.begin(), words.end(), [word](QLatin1StringView w) {
        return word.size() == w.size() && word.compare(w, Qt::CaseInsensitive) == 0;
    });
}

using namespace Qt::StringLiterals;

constexpr std::array reservedWords = {
    "add"_L1,
    "all"_L1,
    "alter"_L1,
    "and"_L1,
    "any"_L1,
    "as"_L1,
    "asc"_L1,
    "authorization"_L1,
    "backup"_L1,
    "begin"_L1,
    "between"_L1,
    "break"_L1,
    "browse"_L1,
    "bulk"_L1,
    "by"_L1,
    "cascade"_L1,
    "case"_L1,
    "check"_L1,
    "checkpoint"_L1,
    "close"_L1,
    "clustered"_L1,
    "coalesce"_L1,
    "collate"_L1,
    "column"_L1,
    "commit"_L1,
    "compute"_L1,
    "constraint"_L1,
    "contains"_L1,
    "containstable"_L1,
    "continue"_L1,
    "convert"_L1,
    "create"_L1,
    "cross"_L1,
    "current"_L1,
    "current_date"_L1,
    "current_time"_L1,
    "current_timestamp"_L1,
    "current_user"_L1,
    "cursor"_L1,
    "database"_L1,
    "dbcc"_L1,
    "deallocate"_L1,
    "declare"_L1,
    "default"_L1,
    "delete"_L1,
    "deny"_L1,
    "desc"_L1,
    "disk"_L1,
    "distinct"_L1,
    "distributed"_L1,
    "double"_L1,
    "drop"_L1,
    "dump"_L1,
    "else"_L1,
    "end"_L1,
    "errlvl"_L1,
    "escape"_L1,
    "except"_L1,
    "exec"_L1,
    "execute"_L1,
    "exists"_L1,
    "exit"_L1,
    "external"_L1,
    "fetch"_L1,
    "file"_L1,
    "fillfactor"_L1,
    "for"_L1,
    "foreign"_L1,
    "freetext"_L1,
    "freetexttable"_L1,
    "from"_L1,
    "full"_L1,
    "function"_L1,
    "goto"_L1,
    "grant"_L1,
    "group"_L1,
    "having"_L1,
    "holdlock"_L1,
    "identity"_L1,
    "identity_insert"_L1,
    "identitycol"_L1,
    "if"_L1,
    "in"_L1,
    "index"_L1,
    "inner"_L1,
    "insert"_L1,
    "intersect"_L1,
    "into"_L1,
    "is"_L1,
    "join"_L1,
    "key"_L1,
    "kill"_L1,
    "left"_L1,
    "like"_L1,
    "lineno"_L1,
    "load"_L1,
    "merge"_L1,
    "national"_L1,
    "nocheck"_L1,
    "nonclustered"_L1,
    "not"_L1,
    "null"_L1,
    "nullif"_L1,
    "of"_L1,
    "off"_L1,
    "offsets"_L1,
    "on"_L1,
    "open"_L1,
    "opendatasource"_L1,
    "openquery"_L1,
    "openrowset"_L1,
    "openxml"_L1,
    "option"_L1,
    "or"_L1,
    "order"_L1,
    "outer"_L1,
    "over"_L1,
    "percent"_L1,
    "pivot"_L1,
    "plan"_L1,
    "precision"_L1,
    "primary"_L1,
    "print"_L1,
    "proc"_L1,
    "procedure"_L1,
    "public"_L1,
    "raiserror"_L1,
    "read"_L1,
    "readtext"_L1,
    "reconfigure"_L1,
    "references"_L1,
    "replication"_L1,
    "restore"_L1,
    "restrict"_L1,
    "return"_L1,
    "revert"_L1,
    "revoke"_L1,
    "right"_L1,
    "rollback"_L1,
    "rowcount"_L1,
    "rowguidcol"_L1,
    "rule"_L1,
    "save"_L1,
    "schema"_L1,
    "securityaudit"_L1,
    "select"_L1,
    "session_user"_L1,
    "set"_L1,
    "setuser"_L1,
    "shutdown"_L1,
    "some"_L1,
    "statistics"_L1,
    "system_user"_L1,
    "table"_L1,
    "tablesample"_L1,
    "textsize"_L1,
    "then"_L1,
    "to"_L1,
    "top"_L1,
    "tran"_L1,
    "transaction"_L1,
    "trigger"_L1,
    "truncate"_L1,
    "try_convert"_L1,
    "tsequal"_L1,
    "union"_L1,
    "unique"_L1,
    "unpivot"_L1,
    "update"_L1,
    "updatetext"_L1,
    "use"_L1,
    "user"_L1,
    "values"_L1,
    "varying"_L1,
    "view"_L1,
    "waitfor"_L1,
    "when"_L1,
    "where"_L1,
    "while"_L1,
    "with"_L1,
    "within"_L1,
    "writetext"_L1,
    // not reserved, but T-SQL-only clauses that would otherwise pass as identifiers
    "apply"_L1,
    "output"_L1,
    "offset"_L1,
    "nolock"_L1,
};

constexpr std::array portableKeywords = {
    "all"_L1,    "and"_L1,    "as"_L1,        "asc"_L1,      "between"_L1, "by"_L1,     "case"_L1,
    "cross"_L1,  "delete"_L1, "desc"_L1,      "distinct"_L1, "drop"_L1,    "else"_L1,   "end"_L1,
    "escape"_L1, "except"_L1, "exists"_L1,    "from"_L1,     "group"_L1,   "having"_L1, "in"_L1,
    "inner"_L1,  "insert"_L1, "intersect"_L1, "into"_L1,     "is"_L1,      "join"_L1,   "left"_L1,
    "like"_L1,   "not"_L1,    "null"_L1,      "on"_L1,       "or"_L1,      "order"_L1,  "outer"_L1,
    "right"_L1,  "select"_L1, "set"_L1,       "table"_L1,    "then"_L1,    "union"_L1,  "update"_L1,
    "values"_L1, "when"_L1,   "where"_L1,
};

constexpr std::array tableHints = {
    "nolock"_L1,   "readuncommitted"_L1, "readcommitted"_L1, "readpast"_L1,       "rowlock"_L1,
    "paglock"_L1,  "tablock"_L1,         "tablockx"_L1,      "updlock"_L1,        "xlock"_L1,
    "holdlock"_L1, "nowait"_L1,          "serializable"_L1,  "repeatableread"_L1,
};

} // namespace

bool isReservedWord(QStringView word)
{
    return containsWord(reservedWords, word);
}

bool isPortableKeyword(QStringView word)
{
    return containsWord(portableKeywords, word);
}

bool isTableHint(QStringView word)
{
    return containsWord(tableHints, word);
}

} // namespace perikon::db::internal
