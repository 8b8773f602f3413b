#include "suite/services/filter/FilterSql.h"

#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/SuiteSql.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <cmath>

namespace perikon::suite::filter {
namespace {

bool english(const QString &language)
{
    return language == QLatin1String("en-US");
}

// Coded columns the list shows by name, with where the names come from (as v_Crm_Contact and the
// list's joins find them), and the dictionary's name columns they stand for. Duty and taste hold
// the base code's name itself, so they compare as plain text.
struct CodedColumn
{
    const char *column;
    const char *nameColumn;
    const char *nameSql;
};

constexpr CodedColumn kCodedColumns[] = {
    {"cCusCode", "cCusName", "SELECT cCusCode AS cCode, cCusName AS cName FROM Customer"},
    {"cConDepart", "cDepName", "SELECT cDepCode AS cCode, cDepName AS cName FROM Department"},
    {"cPrincipal", "cprincipalname",
     "SELECT cPsn_Num AS cCode, cPsn_Name AS cName FROM hr_hi_person"},
    {"cSuperiorID", "csuperiorname",
     "SELECT sup.cContactCode AS cCode, sup.cContactName AS cName FROM Crm_Contact sup"},
    {"bcSexID", "cSexName", "SELECT ID AS cCode, cName FROM Crm_BaseCode WHERE cType = N'Sex'"},
    {"bcMarriageID", "cMarriageName",
     "SELECT ID AS cCode, cName FROM Crm_BaseCode WHERE cType = N'Marriage'"},
};

std::optional<FieldType> fieldTypeOf(int columnType)
{
    using namespace db::ColumnType;
    if (columnType == Boolean)
        return FieldType::Boolean;
    if (isInteger(columnType))
        return FieldType::Integer;
    if (isApproximateOrExact(columnType) || columnType == Decimal)
        return FieldType::Decimal;
    if (isDateTime(columnType))
        return FieldType::Date;
    if (isText(columnType) || columnType == Guid)
        return FieldType::Text;
    return std::nullopt; // binary and row versions: nothing an operator compares
}

// A date as typed, and the span it names: the day, minute or second it was typed to.
struct DateSpan
{
    QDateTime from;
    QDateTime to;
};

std::optional<DateSpan> dateSpan(const QString &value)
{
    const QString text = value.trimmed();
    const QDate date = QDate::fromString(text.left(10), u"yyyy-MM-dd");
    QTime time(0, 0);
    qint64 seconds = 24 * 60 * 60;
    if (text.size() == 16 || text.size() == 19) {
        const bool withSeconds = text.size() == 19;
        time = QTime::fromString(text.mid(11), withSeconds ? u"HH:mm:ss" : u"HH:mm");
        seconds = withSeconds ? 1 : 60;
        if (text.at(10) != u' ')
            return std::nullopt;
    } else if (text.size() != 10) {
        return std::nullopt;
    }
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    // A wall-clock value in UTC: no daylight saving gap can move or void it.
    const QDateTime from(date, time, Qt::UTC);
    return DateSpan{from, from.addSecs(seconds)};
}

// Midnight is written as the bare date, so a value stored without its time compares as that day.
QString dateLiteral(const QDateTime &moment)
{
    const QString text = moment.time() == QTime(0, 0) ? moment.date().toString(db::kDateFormat)
                                                      : moment.toString(db::kDateTimeFormat);
    return db::sqlNQuoted(text);
}

std::optional<QString> numberLiteral(FieldType type, const QString &value)
{
    const QString text = value.trimmed();
    if (type == FieldType::Integer) {
        static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        if (!whole.match(text).hasMatch() || !ok)
            return std::nullopt;
        return QString::number(number);
    }
    static const QRegularExpression decimal(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!decimal.match(text).hasMatch() || !ok || !std::isfinite(number))
        return std::nullopt;
    return QString::number(number, 'f', QLocale::FloatingPointShortest);
}

std::optional<bool> booleanValue(const QString &value)
{
    const QString text = value.trimmed().toLower();
    static const QSet<QString> yes{QStringLiteral("1"), QStringLiteral("true"),
                                   QStringLiteral("yes"), QStringLiteral("是")};
    static const QSet<QString> no{QStringLiteral("0"), QStringLiteral("false"),
                                  QStringLiteral("no"), QStringLiteral("否")};
    if (yes.contains(text))
        return true;
    if (no.contains(text))
        return false;
    return std::nullopt;
}

// The value as a LIKE pattern in which % _ and \ match themselves.
QString likeEscaped(const QString &value)
{
    QString pattern;
    pattern.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == u'%' || c == u'_' || c == u'\\')
            pattern += u'\\';
        pattern += c;
    }
    return pattern;
}

// Both sides go through the backend's own UPPER: SQLite folds ASCII only, so folding the value
// in C++ as well would make a non-ASCII value typed exactly as stored miss on SQLite.
QString textCondition(const QString &expr, FilterOperator op, const QString &value)
{
    const QString upper = QStringLiteral("UPPER(") + expr + u')';
    const auto like = [&](const QString &pattern) {
        return upper + QStringLiteral(" LIKE UPPER(") + db::sqlNQuoted(pattern)
               + QStringLiteral(") ESCAPE N'\\'");
    };
    const QString equal = upper + QStringLiteral(" = UPPER(") + db::sqlNQuoted(value) + u')';
    switch (op) {
    case FilterOperator::Equals:
        return equal;
    case FilterOperator::NotEqual:
        return QStringLiteral("(%1 IS NULL OR %2 <> UPPER(%3))")
            .arg(expr, upper, db::sqlNQuoted(value));
    case FilterOperator::Contains:
        return like(u'%' + likeEscaped(value) + u'%');
    case FilterOperator::StartsWith:
        return like(likeEscaped(value) + u'%');
    case FilterOperator::IsEmpty:
        return QStringLiteral("(%1 IS NULL OR %1 = N'')").arg(expr);
    case FilterOperator::IsNotEmpty:
        return QStringLiteral("(%1 IS NOT NULL AND %1 <> N'')").arg(expr);
    default:
        return QStringLiteral("1=2");
    }
}

QString comparison(const QString &expr, FilterOperator op, const QString &literal)
{
    switch (op) {
    case FilterOperator::Equals:
        return expr + QStringLiteral(" = ") + literal;
    case FilterOperator::NotEqual:
        return QStringLiteral("(%1 IS NULL OR %1 <> %2)").arg(expr, literal);
    case FilterOperator::Greater:
        return expr + QStringLiteral(" > ") + literal;
    case FilterOperator::AtLeast:
        return expr + QStringLiteral(" >= ") + literal;
    case FilterOperator::Less:
        return expr + QStringLiteral(" < ") + literal;
    case FilterOperator::AtMost:
        return expr + QStringLiteral(" <= ") + literal;
    default:
        return QStringLiteral("1=2");
    }
}

// A date compared at the precision it was typed to: "equals 2026-01-05" is the whole day.
QString dateCondition(const QString &expr, FilterOperator op, const DateSpan &span)
{
    const QString from = dateLiteral(span.from);
    const QString to = dateLiteral(span.to);
    switch (op) {
    case FilterOperator::Equals:
        return QStringLiteral("(%1 >= %2 AND %1 < %3)").arg(expr, from, to);
    case FilterOperator::NotEqual:
        return QStringLiteral("(%1 IS NULL OR %1 < %2 OR %1 >= %3)").arg(expr, from, to);
    case FilterOperator::Greater:
        return expr + QStringLiteral(" >= ") + to;
    case FilterOperator::AtLeast:
        return expr + QStringLiteral(" >= ") + from;
    case FilterOperator::Less:
        return expr + QStringLiteral(" < ") + from;
    case FilterOperator::AtMost:
        return expr + QStringLiteral(" < ") + to;
    default:
        return QStringLiteral("1=2");
    }
}

// A condition on the shown name of a coded column. A contact whose code names no row has an
// empty name, so "not equal" and "is empty" take it, like a contact without a code.
QString nameCondition(const FilterField &field, FilterOperator op, const QString &value)
{
    const QString column = QStringLiteral("Crm_Contact.") + field.column;
    const auto codes = [&](const QString &condition) {
        return QStringLiteral("(SELECT names.cCode FROM (%1) names WHERE names.cCode IS NOT NULL "
                              "AND %2)")
            .arg(field.nameSql, condition);
    };
    const QString name = QStringLiteral("names.cName");
    switch (op) {
    case FilterOperator::NotEqual:
        return QStringLiteral("(%1 IS NULL OR %1 NOT IN %2)")
            .arg(column, codes(textCondition(name, FilterOperator::Equals, value)));
    case FilterOperator::IsEmpty:
        return QStringLiteral("(%1 IS NULL OR %1 NOT IN %2)")
            .arg(column, codes(textCondition(name, FilterOperator::IsNotEmpty, value)));
    default:
        return column + QStringLiteral(" IN ") + codes(textCondition(name, op, value));
    }
}

QString condition(const FilterField &field, const FilterRow &row)
{
    if (checkValue(field, row.op, row.value, QStringLiteral("en-US")))
        return QStringLiteral("1=2");
    if (!field.nameSql.isEmpty())
        return nameCondition(field, row.op, row.value);
    const QString expr = QStringLiteral("Crm_Contact.") + field.column;
    if (row.op == FilterOperator::IsEmpty && field.type != FieldType::Text)
        return expr + QStringLiteral(" IS NULL");
    if (row.op == FilterOperator::IsNotEmpty && field.type != FieldType::Text)
        return expr + QStringLiteral(" IS NOT NULL");
    switch (field.type) {
    case FieldType::Text:
        return textCondition(expr, row.op, row.value);
    case FieldType::Integer:
    case FieldType::Decimal:
        return comparison(expr, row.op, *numberLiteral(field.type, row.value));
    case FieldType::Date:
        return dateCondition(expr, row.op, *dateSpan(row.value));
    case FieldType::Boolean:
        return comparison(expr, row.op,
                          *booleanValue(row.value) ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return QStringLiteral("1=2");
}

} // namespace

QList<FilterField> contactFilterFields(db::Connection &connection, const QString &language)
{
    // The table's own columns and types: the dictionary may name a column the table lacks, and
    // may leave a type out.
    QHash<QString, int> tableColumns;
    const auto cursor
        = connection.openCursor(QStringLiteral("select * from Crm_Contact where 1=2"));
    if (cursor) {
        for (const db::ColumnInfo &info : cursor->columns())
            tableColumns.insert(info.name.toLower(), info.type);
    }
    QHash<QString, const CodedColumn *> codedByColumn;
    QSet<QString> nameColumns;
    for (const CodedColumn &coded : kCodedColumns) {
        codedByColumn.insert(QString::fromLatin1(coded.column).toLower(), &coded);
        nameColumns.insert(QString::fromLatin1(coded.nameColumn).toLower());
    }

    const QString meta = db::ConnectionString(connection.connectionString()).metaDatabase();
    const QList<QStringList> rows = queryRows(
        connection, QStringLiteral("select cFieldName, cCaption, cCaptionEn, cDataType from "
                                   "%1..aa_columndic where ckey=N'crm_contact' "
                                   "order by iOrder, cFieldName")
                        .arg(meta));
    QList<FilterField> fields;
    QSet<QString> captions;
    for (const QStringList &row : rows) {
        const QString name = row.at(0).trimmed();
        const QString key = name.toLower();
        const auto column = tableColumns.constFind(key);
        if (nameColumns.contains(key) || column == tableColumns.constEnd() || !isPlainName(name))
            continue; // a name column is offered under its code column
        const QString caption = english(language) && !row.at(2).trimmed().isEmpty()
                                    ? row.at(2).trimmed()
                                    : row.at(1).trimmed();
        if (caption.isEmpty() || captions.contains(caption.toCaseFolded()))
            continue;
        FilterField field{name, caption, FieldType::Text, {}};
        if (const CodedColumn *coded = codedByColumn.value(key)) {
            field.nameSql = QString::fromLatin1(coded->nameSql);
        } else {
            const db::DeclaredType declared = db::declaredTypeOf(row.at(3));
            if (declared.rowVersion)
                continue;
            const std::optional<FieldType> type
                = fieldTypeOf(declared.type != db::ColumnType::Empty ? declared.type : *column);
            if (!type)
                continue;
            field.type = *type;
        }
        captions.insert(caption.toCaseFolded());
        fields.append(field);
    }
    return fields;
}

QList<FilterOperator> operatorsFor(FieldType type)
{
    using enum FilterOperator;
    switch (type) {
    case FieldType::Text:
        return {Equals, NotEqual, Contains, StartsWith, IsEmpty, IsNotEmpty};
    case FieldType::Integer:
    case FieldType::Decimal:
    case FieldType::Date:
        return {Equals, NotEqual, Greater, AtLeast, Less, AtMost, IsEmpty, IsNotEmpty};
    case FieldType::Boolean:
        return {Equals, NotEqual};
    }
    return {};
}

QString operatorCaption(FilterOperator op, const QString &language)
{
    struct Caption
    {
        const char16_t *chinese;
        const char16_t *english;
    };
    static constexpr Caption captions[] = {
        {u"等于", u"Equals"},         {u"不等于", u"Not equal"},   {u"大于", u"Greater than"},
        {u"大于等于", u"At least"},   {u"小于", u"Less than"},     {u"小于等于", u"At most"},
        {u"包含", u"Contains"},       {u"开头是", u"Starts with"}, {u"为空", u"Is empty"},
        {u"不为空", u"Is not empty"},
    };
    const Caption &caption = captions[static_cast<int>(op)];
    return QString::fromUtf16(english(language) ? caption.english : caption.chinese);
}

bool operatorTakesValue(FilterOperator op)
{
    return op != FilterOperator::IsEmpty && op != FilterOperator::IsNotEmpty;
}

std::optional<QString> checkValue(const FilterField &field, FilterOperator op, const QString &value,
                                  const QString &language)
{
    const bool en = english(language);
    if (!operatorsFor(field.type).contains(op)) {
        return en ? QStringLiteral("\"%1\" cannot be used with %2.")
                        .arg(operatorCaption(op, language), field.caption)
                  : QStringLiteral("“%1”不能用“%2”比较。")
                        .arg(field.caption, operatorCaption(op, language));
    }
    if (!operatorTakesValue(op))
        return std::nullopt;
    if (value.trimmed().isEmpty()) {
        return en ? QStringLiteral("Enter a value for %1.").arg(field.caption)
                  : QStringLiteral("请输入“%1”的条件值。").arg(field.caption);
    }
    if (!field.nameSql.isEmpty())
        return std::nullopt;
    switch (field.type) {
    case FieldType::Text:
        return std::nullopt;
    case FieldType::Integer:
        if (numberLiteral(field.type, value))
            return std::nullopt;
        return en ? QStringLiteral("%1 takes a whole number, such as 12.").arg(field.caption)
                  : QStringLiteral("“%1”应为整数，例如 12。").arg(field.caption);
    case FieldType::Decimal:
        if (numberLiteral(field.type, value))
            return std::nullopt;
        return en ? QStringLiteral("%1 takes a number, such as 12.5.").arg(field.caption)
                  : QStringLiteral("“%1”应为数字，例如 12.5。").arg(field.caption);
    case FieldType::Date:
        if (dateSpan(value))
            return std::nullopt;
        return en ? QStringLiteral("%1 takes a real date as yyyy-MM-dd, optionally with a time "
                                   "(HH:mm or HH:mm:ss).")
                        .arg(field.caption)
                  : QStringLiteral("“%1”应为有效日期，格式 yyyy-MM-dd，可带时间（HH:mm 或 "
                                   "HH:mm:ss）。")
                        .arg(field.caption);
    case FieldType::Boolean:
        if (booleanValue(value))
            return std::nullopt;
        return en ? QStringLiteral("%1 takes yes or no.").arg(field.caption)
                  : QStringLiteral("“%1”应为“是”或“否”。").arg(field.caption);
    }
    return std::nullopt;
}

QString filterFragment(const QList<FilterField> &fields, const QList<FilterRow> &rows)
{
    if (rows.isEmpty())
        return {};
    QStringList alternatives;
    QStringList conjunction;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const FilterRow &row = rows.at(i);
        const auto field = std::find_if(fields.cbegin(), fields.cend(), [&](const FilterField &f) {
            return f.column.compare(row.column, Qt::CaseInsensitive) == 0;
        });
        conjunction.append(field == fields.cend() ? QStringLiteral("1=2") : condition(*field, row));
        if (row.orWithNext || i + 1 == rows.size()) {
            alternatives.append(conjunction.size() == 1
                                    ? conjunction.first()
                                    : u'(' + conjunction.join(QStringLiteral(" AND ")) + u')');
            conjunction.clear();
        }
    }
    return u'(' + alternatives.join(QStringLiteral(" OR ")) + u')';
}

} // namespace perikon::suite::filter
