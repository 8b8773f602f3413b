#pragma once

#include "suite/controls/printer/PrinterExport.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace perikon::suite::printer {

struct PrintColumn
{
    QString caption;
    int width = 100; // screen pixels
    Qt::Alignment align = Qt::AlignLeft;
};

// What a list hands the print control: the heading facts and the display texts of the rows, in
// the order they print. Every row has one text per column.
struct PERIKON_PRINTER_EXPORT PrintData
{
    QString title;
    QString operatorName;
    QString account;
    QString year;
    QString date;
    QList<PrintColumn> columns;
    QList<QStringList> rows;

    // The data of a "<PrintData>" document; nothing when it does not parse or has no columns.
    // A row with fewer cells than columns is filled with empty texts, extra cells are dropped.
    static std::optional<PrintData> parse(const QString &xml);
};

} // namespace perikon::suite::printer
