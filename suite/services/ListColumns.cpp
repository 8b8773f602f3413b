#include "suite/services/ListColumns.h"

#include "suite/services/SuiteSql.h"
#include "suite/services/XmlAttribute.h"

#include <QStringList>

#include <limits>

#include <pugixml.hpp>

namespace perikon::suite {
namespace {

constexpr int kMarkWidth = 28;
constexpr int kDefaultWidth = 90;

bool isTrue(const QString &flag)
{
    return flag.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
           || flag == QLatin1String("1");
}

// Where a column of the layout comes from: the contact view, or a table the list joins.
QString expressionOf(const QString &field)
{
    const QString lower = field.toLower();
    if (lower == QLatin1String("ccusname"))
        return QStringLiteral("Customer.cCusName");
    if (lower == QLatin1String("cdepname"))
        return QStringLiteral("Department.cDepName");
    if (lower.startsWith(QLatin1String("cldefine")))
        return QStringLiteral("Crm_Contact_extradefine.") + field;
    return QStringLiteral("Crm_Contact.") + field;
}

} // namespace

std::optional<ListColumns> listColumns(const QString &colInfoXml, QString *error)
{
    pugi::xml_document document;
    const QByteArray utf8 = colInfoXml.toUtf8();
    const pugi::xml_parse_result parsed = document.load_buffer(utf8.constData(), utf8.size());
    if (!parsed || !document.document_element()) {
        if (error)
            *error = QStringLiteral("The list's column information is not readable XML.");
        return std::nullopt;
    }

    ListColumns result;
    result.columns.append(
        {QStringLiteral("cMark"), QStringLiteral("''"), QString(), kMarkWidth, -1});
    ListColumn code{QStringLiteral("cContactCode"), QStringLiteral("Crm_Contact.cContactCode"),
                    QString(), kDefaultWidth, -1};
    int place = 0;
    QList<ListColumn> others;
    QStringList seen{QStringLiteral("cmark"), QStringLiteral("id")};
    for (const pugi::xpath_node &selected : document.select_nodes("//*")) {
        const pugi::xml_node node = selected.node();
        if (QString::fromUtf8(node.name()).compare(QLatin1String("ColSet"), Qt::CaseInsensitive)
            != 0)
            continue;
        const QString field = attributeNoCase(node, "cFld");
        const QString showFlag = attributeNoCase(node, "bShow");
        const bool isCode = field.compare(QLatin1String("cContactCode"), Qt::CaseInsensitive) == 0;
        // Only names that can stand in a statement; a shown layout lists shown columns only, and
        // the code is shown whatever the layout says.
        if (!isPlainName(field) || (!isCode && !showFlag.isEmpty() && !isTrue(showFlag)))
            continue;
        QString caption = attributeNoCase(node, "cCaption");
        if (caption.isEmpty())
            caption = attributeNoCase(node, "cOriginalCaption");
        bool numeric = false;
        const int width = attributeNoCase(node, "iWidth").toInt(&numeric);
        const int shownWidth = numeric && width > 0 ? width : kDefaultWidth;
        if (isCode) {
            // The code keeps its place after the marks: commands read it from grid column 2.
            code.caption = caption;
            code.width = shownWidth;
            continue;
        }
        if (seen.contains(field.toLower()))
            continue;
        seen.append(field.toLower());
        others.append({field, expressionOf(field), caption, shownWidth, place++});
    }
    result.columns.append(code);
    result.columns.append(others);
    result.columns.append({QStringLiteral("ID"), QStringLiteral("Crm_Contact.cContactCode"),
                           QStringLiteral("ID"), 0, std::numeric_limits<int>::max()});

    QStringList select;
    for (const ListColumn &column : std::as_const(result.columns))
        select.append(column.expression + QStringLiteral(" as ") + column.alias);
    result.selectList = select.join(QStringLiteral(", "));
    return result;
}

} // namespace perikon::suite
