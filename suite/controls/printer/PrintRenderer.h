#pragma once

#include "suite/controls/printer/PrintData.h"
#include "suite/controls/printer/PrinterExport.h"

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace perikon::suite::printer {

// The footer's words, in the operator's language; %1 (and %2) are filled from the print data.
struct PrintLabels
{
    QString operatorFormat; // %1 operator
    QString accountFormat;  // %1 account, %2 year
    QString dateFormat;     // %1 date
    QString pageFormat;     // %1 page number, %2 page count
};

// Draws print data page by page with QPainter: the title on top of every page, the column
// captions, as many rows as fit, and the footer (operator, account and year, date, "page n / m").
// Each cell is one line: line breaks print as blanks and what does not fit is cut at the cell's
// edge. The same pages go to a printer, the preview and a PDF file.
class PERIKON_PRINTER_EXPORT PrintRenderer
{
public:
    // `data` must outlive the renderer.
    PrintRenderer(const PrintData &data, double fontSizePt, PrintLabels labels);

    // Measures fonts and rows on `device`, whose paint area is the printable part of a page.
    void layout(QPaintDevice *device);

    int pageCount() const { return m_pageCount; }
    int rowsPerPage() const { return m_rowsPerPage; }
    // The rows of `page` (0-based): the first one and how many.
    std::pair<int, int> rowRange(int page) const;
    QString pageText(int page) const;

    // Paints `page` (0-based) with a painter active on the device last laid out.
    void paintPage(QPainter &painter, int page) const;
    // Lays out and paints pages `fromPage`..`toPage` (1-based, 0: from the first / to the last),
    // a new page between two. False when the device cannot be painted on.
    bool print(QPagedPaintDevice &device, int fromPage = 0, int toPage = 0);

private:
    QString cellText(const QString &text, double width) const;

    const PrintData &m_data;
    double m_fontSize;
    PrintLabels m_labels;

    QFont m_bodyFont;
    QFont m_headerFont;
    QFont m_titleFont;
    std::optional<QFontMetricsF> m_bodyMetrics; // of the device last laid out
    double m_pageWidth = 0;
    double m_pageHeight = 0;
    double m_titleHeight = 0;
    double m_rowHeight = 0;
    double m_footerHeight = 0;
    double m_padding = 0;
    double m_averageCharWidth = 1;
    QList<double> m_columnLeft; // one more than columns: the right edge last
    int m_rowsPerPage = 1;
    int m_pageCount = 1;
};

} // namespace perikon::suite::printer
