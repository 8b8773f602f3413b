#include "suite/controls/printer/PrintData.h"

#include <pugixml.hpp>

namespace perikon::suite::printer {
namespace {

QString attributeText(const pugi::xml_node &node, const char *name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

Qt::Alignment alignmentOf(const QString &align)
{
    if (align.compare(QLatin1String("right"), Qt::CaseInsensitive) == 0)
        return Qt::AlignRight;
    if (align.compare(QLatin1String("center"), Qt::CaseInsensitive) == 0)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

} // namespace

std::optional<PrintData> PrintData::parse(const QString &xml)
{
    const QByteArray utf8 = xml.toUtf8();
    pugi::xml_document document;
    // Cells keep their blanks: a code printed as " 01" is what the list shows.
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata_single;
    if (!document.load_buffer(utf8.constData(), size_t(utf8.size()), options))
        return std::nullopt;
    const pugi::xml_node root = document.child("PrintData");
    if (!root)
        return std::nullopt;

    PrintData data;
    data.title = attributeText(root, "title");
    data.operatorName = attributeText(root, "operator");
    data.account = attributeText(root, "account");
    data.year = attributeText(root, "year");
    data.date = attributeText(root, "date");
    for (const pugi::xml_node column : root.child("Columns").children("Column")) {
        PrintColumn printColumn;
        printColumn.caption = attributeText(column, "caption");
        bool ok = false;
        const int width = attributeText(column, "width").toInt(&ok);
        if (ok && width >= 0)
            printColumn.width = width;
        printColumn.align = alignmentOf(attributeText(column, "align"));
        data.columns.append(printColumn);
    }
    if (data.columns.isEmpty())
        return std::nullopt;

    const qsizetype columnCount = data.columns.size();
    for (const pugi::xml_node row : root.child("Rows").children("Row")) {
        QStringList cells;
        cells.reserve(columnCount);
        for (const pugi::xml_node cell : row.children("Cell")) {
            if (cells.size() == columnCount)
                break;
            cells.append(QString::fromUtf8(cell.text().get()));
        }
        while (cells.size() < columnCount)
            cells.append(QString());
        data.rows.append(std::move(cells));
    }
    return data;
}

} // namespace perikon::suite::printer
