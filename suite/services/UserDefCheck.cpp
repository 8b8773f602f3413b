#include "suite/services/UserDefCheck.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/SuiteSql.h"

#include <QDate>
#include <QRegularExpression>

#include <limits>

namespace perikon::suite::userdef {
namespace {

enum class ValueType { Text, Integer, Number, Date };

// The card reads the same type names (its editors' input rules); the English ones are what an
// administrator may have typed instead.
ValueType typeOf(const QString &type)
{
    const QString name = type.trimmed();
    const auto is = [&name](QStringView chinese, std::initializer_list<QStringView> english) {
        if (name == chinese)
            return true;
        for (const QStringView word : english) {
            if (name.compare(word, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    if (is(u"整数", {u"integer", u"int"}))
        return ValueType::Integer;
    if (is(u"数值", {u"decimal", u"number"}))
        return ValueType::Number;
    if (is(u"日期", {u"date", u"datetime"}))
        return ValueType::Date;
    return ValueType::Text;
}

// Bits read back as 1/0 on SQLite and as true/false elsewhere.
bool flag(const QString &text)
{
    const QString value = text.trimmed();
    return value == QLatin1String("1") || value.compare(u"true", Qt::CaseInsensitive) == 0;
}

constexpr int kDefaultDigits = 10; // as the card's number editors take when no length is set

std::optional<Refusal> checkInteger(const Definition &definition, const QString &value)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^[+-]?(\d+)$)"));
    const int digits = definition.length > 0 ? definition.length : kDefaultDigits;
    const QRegularExpressionMatch match = pattern.match(value);
    bool fits = false;
    // The items are int columns: a number past their range cannot be stored.
    if (match.hasMatch() && match.capturedLength(1) <= digits)
        value.toInt(&fits);
    if (fits)
        return std::nullopt;
    return Refusal{QStringLiteral("K2.Suite.Archive.UserDefNotInteger"),
                   {definition.caption, value, QString::number(digits)}};
}

std::optional<Refusal> checkNumber(const Definition &definition, const QString &value)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^[+-]?(\d*)(?:\.(\d*))?$)"));
    // Split as the card's decimal editor splits the length: the point takes a character.
    const int all = definition.length > 0 ? definition.length : kDefaultDigits;
    const int after = std::max(definition.decimals, 0);
    const int before = std::max(all - (after > 0 ? after + 1 : 0), 1);
    const QRegularExpressionMatch match = pattern.match(value);
    if (match.hasMatch() && match.capturedLength(1) + match.capturedLength(2) > 0
        && match.capturedLength(1) <= before && match.capturedLength(2) <= after)
        return std::nullopt;
    return Refusal{QStringLiteral("K2.Suite.Archive.UserDefNotNumber"),
                   {definition.caption, value, QString::number(before), QString::number(after)}};
}

std::optional<Refusal> checkText(const Definition &definition, const QString &value)
{
    if (definition.length <= 0)
        return std::nullopt;
    const QString length = QString::number(definition.length);
    if (definition.fixedLength && value.size() != definition.length)
        return Refusal{QStringLiteral("K2.Suite.Archive.UserDefFixedLength"),
                       {definition.caption, value, length}};
    if (value.size() > definition.length)
        return Refusal{QStringLiteral("K2.Suite.Archive.UserDefTooLong"),
                       {definition.caption, value, length}};
    return std::nullopt;
}

bool listed(db::Connection &connection, const QString &listId, const QString &value)
{
    return !queryRows(
                connection,
                QStringLiteral("select top 1 cValue from userdefine where cId=%1 and cValue=%2")
                    .arg(db::sqlNQuoted(listId), db::sqlNQuoted(value)))
                .isEmpty();
}

bool inArchive(db::Connection &connection, const Definition &definition, const QString &value)
{
    const QString table = definition.relatedArchive.trimmed();
    const QString field = definition.relatedField.trimmed();
    // Names read from a table go into the statement unquoted: only plain ones are let through.
    if (!isPlainName(table) || !isPlainName(field))
        throw db::DbError(db::DbError::InvalidState,
                          QStringLiteral("%1.%2 names no archive column").arg(table, field));
    return !queryRows(connection, QStringLiteral("select top 1 %1 from %2 where %1=%3")
                                      .arg(field, table, db::sqlNQuoted(value)))
                .isEmpty();
}

// The archive's name as the suite's report catalogue gives it, in Chinese only.
QString archiveName(db::Connection &connection, const QString &table, const QString &languageId)
{
    if (languageId == QLatin1String("en-US"))
        return table;
    const QList<QStringList> rows = queryRows(
        connection, QStringLiteral("select top 1 TableDefine from Rpt_GRPDef where TableName=%1")
                        .arg(db::sqlNQuoted(table)));
    const QString name = rows.value(0).value(0).trimmed();
    return name.isEmpty() ? table : name;
}

std::optional<Refusal> checkListed(db::Connection &connection, const Definition &definition,
                                   const QString &value, const QString &languageId)
{
    QStringList values{value};
    if (definition.multiSelect) {
        values = value.split(u',', Qt::SkipEmptyParts);
        for (QString &part : values)
            part = part.trimmed();
    }
    const bool archiveSet = definition.fromArchive && !definition.relatedArchive.trimmed().isEmpty()
                            && !definition.relatedField.trimmed().isEmpty();
    for (const QString &one : std::as_const(values)) {
        if (one.isEmpty() || listed(connection, definition.listId, one))
            continue;
        if (archiveSet && inArchive(connection, definition, one))
            continue;
        if (definition.takesNewValues)
            continue;
        if (archiveSet)
            return Refusal{
                QStringLiteral("K2.Suite.Archive.UserDefNotInArchive"),
                {definition.caption, one,
                 archiveName(connection, definition.relatedArchive.trimmed(), languageId)}};
        return Refusal{QStringLiteral("K2.Suite.Archive.UserDefNotListed"),
                       {definition.caption, one}};
    }
    return std::nullopt;
}

} // namespace

QString itemOf(const QString &name)
{
    static const QRegularExpression field(QStringLiteral(R"(^cConDefine(\d+)$)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QString trimmedName = name.trimmed();
    const QRegularExpressionMatch match = field.match(trimmedName);
    return match.hasMatch()
               ? QStringLiteral("自定义项") + QString::number(match.captured(1).toInt())
               : trimmedName;
}

bool isEnteredDate(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(\d{4})-(\d{1,2})-(\d{1,2})$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    return date.isValid() && date.year() >= 1753;
}

std::optional<Definition> readDefinition(db::Connection &connection, const QString &className,
                                         const QString &item)
{
    const QList<QStringList> rows = queryRows(
        connection,
        QStringLiteral("select cItemName, cType, iLength, iDecimalDigits, bFixLength, bCheckVal, "
                       "cID, iDataSource, cRelArchive, cRelField, bArchive, bMultiSel from userdef "
                       "where cClass=%1 and CItem=%2")
            .arg(db::sqlNQuoted(className.trimmed()), db::sqlNQuoted(item)));
    if (rows.isEmpty())
        return std::nullopt;
    const QStringList &row = rows.first();
    Definition definition;
    definition.item = item;
    definition.caption = row.value(0).trimmed().isEmpty() ? item : row.value(0).trimmed();
    definition.type = row.value(1).trimmed();
    definition.length = row.value(2).toInt();
    definition.decimals = row.value(3).toInt(); // none set: whole numbers, as the card's editor
    definition.fixedLength = flag(row.value(4));
    definition.checksValues = flag(row.value(5));
    definition.listId = row.value(6).trimmed();
    definition.fromArchive = row.value(7).toInt() == 1;
    definition.relatedArchive = row.value(8);
    definition.relatedField = row.value(9);
    definition.takesNewValues = flag(row.value(10));
    definition.multiSelect = flag(row.value(11));
    return definition;
}

std::optional<Refusal> check(db::Connection &connection, const Definition &definition,
                             const QString &value, const QString &languageId)
{
    if (value.isEmpty())
        return std::nullopt;
    switch (typeOf(definition.type)) {
    case ValueType::Integer:
        if (auto refusal = checkInteger(definition, value))
            return refusal;
        break;
    case ValueType::Number:
        if (auto refusal = checkNumber(definition, value))
            return refusal;
        break;
    case ValueType::Date:
        if (!isEnteredDate(value))
            return Refusal{QStringLiteral("K2.Suite.Archive.UserDefNotDate"),
                           {definition.caption, value}};
        break;
    case ValueType::Text:
        if (auto refusal = checkText(definition, value))
            return refusal;
        break;
    }
    if (!definition.checksValues)
        return std::nullopt;
    return checkListed(connection, definition, value, languageId);
}

} // namespace perikon::suite::userdef
