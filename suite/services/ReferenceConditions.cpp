#include "suite/services/ReferenceConditions.h"

#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/XmlAttribute.h"

#include <QHash>

#include <pugixml.hpp>

namespace perikon::suite {
namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool loadXml(pugi::xml_document &document, const QString &xml)
{
    const QByteArray utf8 = xml.toUtf8();
    return bool(document.load_buffer(utf8.constData(), std::size_t(utf8.size())));
}

bool sameName(const char *name, const char *wanted)
{
    return QString::fromUtf8(name).compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
}

pugi::xml_node findElement(const pugi::xml_node &root, const char *name)
{
    return root.find_node([name](const pugi::xml_node &node) {
        return node.type() == pugi::node_element && sameName(node.name(), name);
    });
}

} // namespace

std::optional<QString> referenceFilterSql(const QString &conditionsXml, const QString &filter,
                                          const QString &rowsAlias)
{
    if (filter.trimmed().isEmpty())
        return QString();

    QHash<QString, QString> values; // lower-cased name without '@' -> value
    if (!conditionsXml.trimmed().isEmpty()) {
        pugi::xml_document document;
        if (!loadXml(document, conditionsXml))
            return std::nullopt;
        for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
            for (pugi::xml_node condition : node.children()) {
                if (condition.type() != pugi::node_element
                    || !sameName(condition.name(), "Condition"))
                    continue;
                QString name = attributeNoCase(condition, "paramName");
                if (name.startsWith(u'@'))
                    name.remove(0, 1);
                // The value exactly as given: blanks may matter to a code.
                QString value;
                for (pugi::xml_attribute attribute : condition.attributes()) {
                    if (sameName(attribute.name(), "paramValue"))
                        value = QString::fromUtf8(attribute.value());
                }
                if (!name.isEmpty())
                    values.insert(name.toLower(), value);
            }
        }
    }

    QString sql;
    sql.reserve(filter.size() + 32);
    const QString prefix = rowsAlias.isEmpty() ? QString() : rowsAlias + u'.';
    for (qsizetype i = 0; i < filter.size();) {
        const QChar c = filter.at(i);
        if (c == u'\'') {
            // A literal of the filter itself is copied whole: an '@' inside it is text.
            const qsizetype end = filter.indexOf(u'\'', i + 1);
            if (end < 0)
                return std::nullopt;
            sql += filter.mid(i, end - i + 1);
            i = end + 1;
            continue;
        }
        if (filter.mid(i, 4).compare(QLatin1String("#FN["), Qt::CaseInsensitive) == 0) {
            const qsizetype close = filter.indexOf(u']', i + 4);
            if (close < 0)
                return std::nullopt;
            const QString column = filter.mid(i + 4, close - i - 4).trimmed();
            if (column.isEmpty() || !std::all_of(column.cbegin(), column.cend(), isNameChar))
                return std::nullopt;
            sql += prefix + column;
            i = close + 1;
            continue;
        }
        if (c == u'@') {
            qsizetype end = i + 1;
            while (end < filter.size() && isNameChar(filter.at(end)))
                ++end;
            const QString name = filter.mid(i + 1, end - i - 1).toLower();
            const auto found = values.constFind(name);
            if (name.isEmpty() || found == values.cend())
                return std::nullopt;
            sql += db::sqlNQuoted(*found);
            i = end;
            continue;
        }
        sql += c;
        ++i;
    }
    return sql;
}

QStringList referenceLastData(const QString &settingsXml)
{
    QStringList keys;
    pugi::xml_document document;
    if (settingsXml.trimmed().isEmpty() || !loadXml(document, settingsXml))
        return keys;
    const pugi::xml_node lastData = findElement(document, "LastData");
    for (pugi::xml_node item : lastData.children()) {
        if (item.type() != pugi::node_element || !sameName(item.name(), "Item"))
            continue;
        for (pugi::xml_attribute attribute : item.attributes()) {
            if (sameName(attribute.name(), "keyVal"))
                keys.append(QString::fromUtf8(attribute.value()));
        }
    }
    return keys;
}

bool referenceMultiSelect(const QString &settingsXml)
{
    pugi::xml_document document;
    if (settingsXml.trimmed().isEmpty() || !loadXml(document, settingsXml))
        return false;
    const pugi::xml_node settings = findElement(document, "RefSet");
    return attributeNoCase(settings, "bMultiSel") == QLatin1String("1");
}

} // namespace perikon::suite
