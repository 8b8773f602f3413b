#pragma once

// Reads the column information XML the column-set service and the column-settings control
// exchange (<ColInfo cKey='…'><ColSet cFld='…' …/>…</ColInfo>), so tests compare what a layout
// says rather than its text.

#include <QList>
#include <QString>
#include <QStringList>

#include <pugixml.hpp>

namespace perikon::testing {

struct ColSet
{
    QString field, originalCaption, caption;
    bool mustInput = false, show = false;
    int width = 0, order = 0;
};

// The ColSet elements in document order; empty for XML that does not parse. `key` receives the
// root's cKey.
inline QList<ColSet> parseColInfo(const QString &xml, QString *key = nullptr)
{
    pugi::xml_document document;
    const QByteArray utf8 = xml.toUtf8();
    if (!document.load_buffer(utf8.constData(), size_t(utf8.size())))
        return {};
    const pugi::xml_node root = document.child("ColInfo");
    if (key)
        *key = QString::fromUtf8(root.attribute("cKey").value());
    QList<ColSet> columns;
    for (pugi::xml_node node : root.children("ColSet")) {
        auto text = [&](const char *name) {
            return QString::fromUtf8(node.attribute(name).value());
        };
        columns.append({text("cFld"), text("cOriginalCaption"), text("cCaption"),
                        text("bMustInput") == u"true", text("bShow") == u"true",
                        text("iWidth").toInt(), text("iOrder").toInt()});
    }
    return columns;
}

inline QStringList fields(const QList<ColSet> &columns)
{
    QStringList names;
    for (const ColSet &column : columns)
        names.append(column.field);
    return names;
}

// The column of `field` (without regard to case), nullptr when there is none.
inline const ColSet *findColumn(const QList<ColSet> &columns, const QString &field)
{
    for (const ColSet &column : columns) {
        if (column.field.compare(field, Qt::CaseInsensitive) == 0)
            return &column;
    }
    return nullptr;
}

} // namespace perikon::testing
