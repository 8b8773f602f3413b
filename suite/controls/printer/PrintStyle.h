#pragma once

#include "suite/controls/printer/PrinterExport.h"

#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

namespace perikon::suite::printer {

// How a list is laid out on paper: paper, orientation, margins (mm) and the body font size (pt).
// Read from and written as "<PrnStyle paper=.. orientation=.. marginTop=.. .../>".
struct PERIKON_PRINTER_EXPORT PrintStyle
{
    QString paper = QStringLiteral("A4");
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double marginTop = 15;
    double marginBottom = 15;
    double marginLeft = 10;
    double marginRight = 10;
    double fontSize = 9;

    // The style of `xml`; the default style when it is empty, does not parse or holds values no
    // page can take, so a stored style that went bad never stops a print.
    static PrintStyle parse(const QString &xml);
    QString toXml() const;

    // The paper names offered, in the order the page setup shows them.
    static QStringList paperNames();
    QPageSize pageSize() const;
    QPageLayout pageLayout() const;

    bool operator==(const PrintStyle &) const = default;
};

} // namespace perikon::suite::printer
