#include "suite/services/GridPrintData.h"

#include "perikon/data/db/ColumnType.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/GridSortOrder.h"

#include <QXmlStreamWriter>

#include <algorithm>

namespace perikon::suite {

namespace {

// "0007": digits a code or a phone number is made of, which read left to right like text.
bool isCodeLike(const QString &cell)
{
    const QString text = cell.trimmed();
    return text.size() > 1 && text.at(0) == u'0' && text.at(1).isDigit();
}

} // namespace

QList<int> printedColumns(const controls::HostGrid &grid)
{
    QList<int> columns;
    for (int col = 2; col < grid.Cols(); ++col) {
        if (!grid.isColumnHidden(col - 1) && grid.ColWidth(col) > 0)
            columns.append(col);
    }
    std::stable_sort(columns.begin(), columns.end(),
                     [&grid](int a, int b) { return grid.ColPosition(a) < grid.ColPosition(b); });
    return columns;
}

QString printDataXml(const controls::HostGrid &grid, const PrintHeading &heading)
{
    const QList<int> columns = printedColumns(grid);
    const int rows = grid.Rows();
    QString xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartElement(QStringLiteral("PrintData"));
    writer.writeAttribute(QStringLiteral("title"), heading.title);
    writer.writeAttribute(QStringLiteral("operator"), heading.operatorName);
    writer.writeAttribute(QStringLiteral("account"), heading.account);
    writer.writeAttribute(QStringLiteral("year"), heading.year);
    writer.writeAttribute(QStringLiteral("date"), heading.date);
    writer.writeStartElement(QStringLiteral("Columns"));
    std::vector<QString> cells;
    cells.reserve(size_t(std::max(rows - 1, 0)));
    for (const int col : columns) {
        cells.clear();
        for (int row = 1; row < rows; ++row)
            cells.push_back(grid.TextMatrix(row, col));
        const bool numbers = columnKind(cells) == ColumnKind::Number
                             && std::any_of(cells.cbegin(), cells.cend(),
                                            [](const QString &c) { return !c.trimmed().isEmpty(); })
                             && std::none_of(cells.cbegin(), cells.cend(), isCodeLike);
        writer.writeEmptyElement(QStringLiteral("Column"));
        writer.writeAttribute(QStringLiteral("caption"), grid.TextMatrix(0, col));
        writer.writeAttribute(QStringLiteral("width"), QString::number(grid.ColWidth(col)));
        writer.writeAttribute(QStringLiteral("align"),
                              numbers ? QStringLiteral("right") : QStringLiteral("left"));
    }
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("Rows"));
    for (int row = 1; row < rows; ++row) {
        writer.writeStartElement(QStringLiteral("Row"));
        for (const int col : columns)
            writer.writeTextElement(QStringLiteral("Cell"), grid.TextMatrix(row, col));
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndElement();
    return xml;
}

int exportTypeCode(int columnType)
{
    if (db::ColumnType::isInteger(columnType))
        return db::ColumnType::Integer;
    if (db::ColumnType::isApproximateOrExact(columnType) || columnType == db::ColumnType::Decimal
        || columnType == db::ColumnType::VarNumeric)
        return columnType;
    if (db::ColumnType::isDateTime(columnType))
        return db::ColumnType::DBTimeStamp;
    return 1;
}

} // namespace perikon::suite
