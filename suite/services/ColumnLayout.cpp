#include "suite/services/ColumnLayout.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>

namespace perikon::suite {
namespace {

struct DefaultColumn
{
    const char *field;
    int width;
};

// The contact list as a new operator sees it, in this order; the rest starts hidden.
constexpr std::array<DefaultColumn, 11> kDefaultShown{{
    {"cContactCode", 90},
    {"cContactName", 90},
    {"cCusName", 160},
    {"cAppellation", 70},
    {"cSexName", 50},
    {"bcDutyID", 80},
    {"cMobilePhone", 110},
    {"cOfficePhone", 110},
    {"cEmail", 150},
    {"cDepName", 100},
    {"cprincipalname", 80},
}};

constexpr int kDefaultWidth = 100;

std::optional<int> defaultShownIndex(const QString &field)
{
    for (std::size_t i = 0; i < kDefaultShown.size(); ++i) {
        if (field.compare(QLatin1String(kDefaultShown[i].field), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return std::nullopt;
}

QString attributeText(const QString &value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&':
            escaped += QLatin1String("&amp;");
            break;
        case '<':
            escaped += QLatin1String("&lt;");
            break;
        case '>':
            escaped += QLatin1String("&gt;");
            break;
        case '\'':
            escaped += QLatin1String("&apos;");
            break;
        case '"':
            escaped += QLatin1String("&quot;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString flag(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

bool parseFlag(const QString &text)
{
    const QString t = text.trimmed().toLower();
    return t == QLatin1String("true") || t == QLatin1String("1");
}

// Attribute lookup without regard to case: the column-settings control may write any case.
pugi::xml_attribute attributeNoCase(const pugi::xml_node &node, const char *name)
{
    for (pugi::xml_attribute attribute : node.attributes()) {
        if (QString::fromUtf8(attribute.name()).compare(QLatin1String(name), Qt::CaseInsensitive)
            == 0)
            return attribute;
    }
    return {};
}

QString attributeValue(const pugi::xml_node &node, const char *name)
{
    return QString::fromUtf8(attributeNoCase(node, name).value());
}

void collectColSets(const pugi::xml_node &node, QList<pugi::xml_node> &found)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (QString::fromUtf8(child.name()).compare(QLatin1String("ColSet"), Qt::CaseInsensitive)
            == 0)
            found.append(child);
        else
            collectColSets(child, found);
    }
}

} // namespace

ColumnLayout::ColumnLayout(const QString &key, const QList<DictionaryColumn> &dictionary)
    : m_key(key)
{
    const int shownCount = int(kDefaultShown.size());
    int hiddenPosition = 0;
    for (const DictionaryColumn &entry : dictionary) {
        ColumnSetting column;
        column.field = entry.field;
        column.originalCaption = entry.caption;
        column.caption = entry.caption;
        column.mustInput = alwaysRequired(entry.field);
        if (const std::optional<int> index = defaultShownIndex(entry.field)) {
            column.show = true;
            column.width = kDefaultShown[std::size_t(*index)].width;
            column.order = *index + 1;
        } else {
            column.show = false;
            column.width = kDefaultWidth;
            column.order = shownCount + ++hiddenPosition;
        }
        m_columns.append(column);
    }
    std::stable_sort(
        m_columns.begin(), m_columns.end(),
        [](const ColumnSetting &a, const ColumnSetting &b) { return a.order < b.order; });
}

void ColumnLayout::apply(const QList<StoredColumn> &stored)
{
    for (const StoredColumn &setting : stored) {
        auto it = std::find_if(m_columns.begin(), m_columns.end(), [&](const ColumnSetting &c) {
            return c.field.compare(setting.field, Qt::CaseInsensitive) == 0;
        });
        if (it == m_columns.end())
            continue;
        if (setting.caption && !setting.caption->trimmed().isEmpty())
            it->caption = *setting.caption;
        it->show = setting.show || alwaysShown(it->field);
        it->width = setting.width;
        it->order = setting.order;
        it->mustInput = setting.mustInput || alwaysRequired(it->field);
        it->stored = true;
    }
    std::stable_sort(m_columns.begin(), m_columns.end(),
                     [](const ColumnSetting &a, const ColumnSetting &b) {
                         return a.order != b.order ? a.order < b.order : a.stored && !b.stored;
                     });
    // Positions from 1, so a partial layout never leaves two columns claiming one place.
    for (int i = 0; i < m_columns.size(); ++i)
        m_columns[i].order = i + 1;
}

void ColumnLayout::showAll()
{
    for (ColumnSetting &column : m_columns)
        column.show = true;
}

QList<ColumnSetting> ColumnLayout::columns(bool showOnly) const
{
    QList<ColumnSetting> result;
    for (const ColumnSetting &column : m_columns) {
        if (!showOnly || column.show)
            result.append(column);
    }
    return result;
}

QString ColumnLayout::toXml(bool showOnly) const
{
    QString xml = QStringLiteral("<ColInfo cKey='%1'>").arg(attributeText(m_key));
    for (const ColumnSetting &column : columns(showOnly)) {
        xml += QStringLiteral("<ColSet cFld='%1' cOriginalCaption='%2' cCaption='%3' "
                              "bMustInput='%4' bShow='%5' iWidth='%6' iOrder='%7'/>")
                   .arg(attributeText(column.field), attributeText(column.originalCaption),
                        attributeText(column.caption), flag(column.mustInput), flag(column.show),
                        QString::number(column.width), QString::number(column.order));
    }
    return xml + QStringLiteral("</ColInfo>");
}

std::optional<QList<StoredColumn>> ColumnLayout::parse(const QString &xml, QString *error)
{
    pugi::xml_document document;
    const QByteArray utf8 = xml.toUtf8();
    const pugi::xml_parse_result parsed = document.load_buffer(utf8.constData(), utf8.size());
    if (!parsed) {
        if (error)
            *error = QStringLiteral("Column information is not well-formed XML: %1")
                         .arg(QString::fromUtf8(parsed.description()));
        return std::nullopt;
    }
    QList<pugi::xml_node> nodes;
    collectColSets(document, nodes);
    QList<StoredColumn> columns;
    for (const pugi::xml_node &node : nodes) {
        StoredColumn column;
        column.field = attributeValue(node, "cFld").trimmed();
        if (column.field.isEmpty()) {
            if (error)
                *error = QStringLiteral("A ColSet element has no cFld.");
            return std::nullopt;
        }
        if (attributeNoCase(node, "cCaption"))
            column.caption = attributeValue(node, "cCaption");
        column.show = !attributeNoCase(node, "bShow") || parseFlag(attributeValue(node, "bShow"));
        bool ok = false;
        const int width = attributeValue(node, "iWidth").trimmed().toInt(&ok);
        column.width = ok && width >= 0 ? width : kDefaultWidth;
        const int order = attributeValue(node, "iOrder").trimmed().toInt(&ok);
        column.order = ok ? order : int(columns.size()) + 1;
        column.mustInput = parseFlag(attributeValue(node, "bMustInput"));
        columns.append(column);
    }
    return columns;
}

bool ColumnLayout::alwaysShown(const QString &field)
{
    return field.compare(QLatin1String("cContactCode"), Qt::CaseInsensitive) == 0;
}

bool ColumnLayout::alwaysRequired(const QString &field)
{
    return field.compare(QLatin1String("cContactName"), Qt::CaseInsensitive) == 0
           || field.compare(QLatin1String("cCusName"), Qt::CaseInsensitive) == 0;
}

} // namespace perikon::suite
