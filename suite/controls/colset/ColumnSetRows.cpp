#include "suite/controls/colset/ColumnSetRows.h"

#include <pugixml.hpp>

#include <algorithm>
#include <limits>
#include <sstream>

namespace perikon::suite::colset {
namespace {

const QString kCodeField = QStringLiteral("cContactCode");

bool sameName(const char *name, const char *expected)
{
    return QString::fromUtf8(name).compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

// Attributes are read without regard to case: layouts stored by older clients vary.
QString attribute(const pugi::xml_node &node, const char *name)
{
    for (pugi::xml_attribute a : node.attributes()) {
        if (sameName(a.name(), name))
            return QString::fromUtf8(a.value());
    }
    return {};
}

bool hasAttribute(const pugi::xml_node &node, const char *name)
{
    for (pugi::xml_attribute a : node.attributes()) {
        if (sameName(a.name(), name))
            return true;
    }
    return false;
}

bool flag(const QString &text, bool missing)
{
    const QString t = text.trimmed().toLower();
    if (t.isEmpty())
        return missing;
    return t == QLatin1String("true") || t == QLatin1String("1");
}

void collectColSets(const pugi::xml_node &node, QList<pugi::xml_node> &found)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (sameName(child.name(), "ColSet"))
            found.append(child);
        else
            collectColSets(child, found);
    }
}

void addAttribute(pugi::xml_node &node, const char *name, const QString &value)
{
    node.append_attribute(name).set_value(value.toUtf8().constData());
}

} // namespace

std::optional<ColumnSetRows> ColumnSetRows::fromXml(const QString &xml, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    pugi::xml_document document;
    const QByteArray utf8 = xml.toUtf8();
    const pugi::xml_parse_result parsed = document.load_buffer(utf8.constData(), utf8.size());
    if (!parsed)
        return fail(QStringLiteral("The column information is not well-formed XML: %1")
                        .arg(QString::fromUtf8(parsed.description())));
    const pugi::xml_node root = document.document_element();
    if (!root)
        return fail(QStringLiteral("The column information is empty."));

    QList<pugi::xml_node> nodes;
    collectColSets(document, nodes);
    struct Placed
    {
        ColumnRow row;
        int order;
    };
    QList<Placed> placed;
    for (const pugi::xml_node &node : std::as_const(nodes)) {
        ColumnRow row;
        row.field = attribute(node, "cFld").trimmed();
        if (row.field.isEmpty())
            return fail(QStringLiteral("A column of the column information has no cFld."));
        row.originalCaption = attribute(node, "cOriginalCaption");
        row.caption
            = hasAttribute(node, "cCaption") ? attribute(node, "cCaption") : row.originalCaption;
        row.mustInput = flag(attribute(node, "bMustInput"), false);
        row.show = flag(attribute(node, "bShow"), true);
        bool ok = false;
        const int width = attribute(node, "iWidth").trimmed().toInt(&ok);
        row.width = ok && width >= 0 ? width : 0;
        const int order = attribute(node, "iOrder").trimmed().toInt(&ok);
        placed.append({row, ok ? order : std::numeric_limits<int>::max()});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed &a, const Placed &b) { return a.order < b.order; });

    ColumnSetRows result;
    result.m_key = attribute(root, "cKey");
    for (const Placed &entry : std::as_const(placed))
        result.m_rows.append(entry.row);
    const auto code
        = std::find_if(result.m_rows.begin(), result.m_rows.end(), [](const ColumnRow &row) {
              return row.field.compare(kCodeField, Qt::CaseInsensitive) == 0;
          });
    if (code != result.m_rows.end()) {
        ColumnRow pinned = *code;
        pinned.show = true;
        result.m_rows.erase(code);
        result.m_rows.prepend(pinned);
    }
    return result;
}

bool ColumnSetRows::isPinned(qsizetype row) const
{
    return row == 0 && !m_rows.isEmpty()
           && m_rows.first().field.compare(kCodeField, Qt::CaseInsensitive) == 0;
}

bool ColumnSetRows::setShown(qsizetype row, bool show)
{
    if (row < 0 || row >= m_rows.size() || isPinned(row))
        return false;
    m_rows[row].show = show;
    return true;
}

void ColumnSetRows::setCaption(qsizetype row, const QString &caption)
{
    if (row >= 0 && row < m_rows.size())
        m_rows[row].caption = caption;
}

bool ColumnSetRows::setWidth(qsizetype row, const QString &text)
{
    bool ok = false;
    const int width = text.trimmed().toInt(&ok);
    if (row < 0 || row >= m_rows.size() || !ok || width < 0)
        return false;
    m_rows[row].width = width;
    return true;
}

bool ColumnSetRows::canSwap(qsizetype upper) const
{
    return upper >= 0 && upper + 1 < m_rows.size() && !isPinned(upper);
}

bool ColumnSetRows::moveUp(qsizetype row)
{
    if (!canSwap(row - 1))
        return false;
    m_rows.swapItemsAt(row - 1, row);
    return true;
}

bool ColumnSetRows::moveDown(qsizetype row)
{
    if (!canSwap(row))
        return false;
    m_rows.swapItemsAt(row, row + 1);
    return true;
}

QString ColumnSetRows::toXml() const
{
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("ColInfo");
    addAttribute(root, "cKey", m_key);
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const ColumnRow &row = m_rows.at(i);
        pugi::xml_node node = root.append_child("ColSet");
        addAttribute(node, "cFld", row.field);
        addAttribute(node, "cOriginalCaption", row.originalCaption);
        addAttribute(node, "cCaption", row.caption);
        addAttribute(node, "bMustInput",
                     row.mustInput ? QStringLiteral("true") : QStringLiteral("false"));
        addAttribute(node, "bShow", row.show ? QStringLiteral("true") : QStringLiteral("false"));
        addAttribute(node, "iWidth", QString::number(row.width));
        addAttribute(node, "iOrder", QString::number(i + 1));
    }
    std::ostringstream text;
    document.save(text, "", pugi::format_raw | pugi::format_no_declaration);
    return QString::fromStdString(text.str());
}

} // namespace perikon::suite::colset
