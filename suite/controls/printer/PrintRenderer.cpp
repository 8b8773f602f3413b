#include "suite/controls/printer/PrintRenderer.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace perikon::suite::printer {
namespace {

// Column widths come in pixels of a 96 dpi screen.
constexpr double kScreenDpi = 96.0;

constexpr int kCellFlags = Qt::AlignVCenter | Qt::TextSingleLine;

// %1, %2 ... filled in one pass, so a name that holds "%2" stays as it is.
QString filled(const QString &format, const QStringList &args)
{
    QString out;
    out.reserve(format.size() + 16);
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() && format[i + 1].isDigit()) {
            const int n = format[i + 1].digitValue();
            if (n >= 1 && n <= args.size()) {
                out += args[n - 1];
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

} // namespace

PrintRenderer::PrintRenderer(const PrintData &data, double fontSizePt, PrintLabels labels)
    : m_data(data)
    , m_fontSize(fontSizePt)
    , m_labels(std::move(labels))
{}

void PrintRenderer::layout(QPaintDevice *device)
{
    m_bodyFont = QFont();
    m_bodyFont.setPointSizeF(m_fontSize);
    m_headerFont = m_bodyFont;
    m_headerFont.setBold(true);
    m_titleFont = m_headerFont;
    m_titleFont.setPointSizeF(m_fontSize * 1.5);

    m_bodyMetrics.emplace(m_bodyFont, device);
    const QFontMetricsF &body = *m_bodyMetrics;
    const QFontMetricsF title(m_titleFont, device);
    m_pageWidth = device->width();
    m_pageHeight = device->height();
    m_rowHeight = std::ceil(body.height() * 1.35);
    m_titleHeight = std::ceil(title.height() * 1.6);
    m_footerHeight = std::ceil(body.height() * 1.8);
    m_padding = body.averageCharWidth() * 0.4;
    m_averageCharWidth = std::max(1.0, body.averageCharWidth());

    // The table keeps the list's proportions; a list wider than the paper is narrowed to fit.
    double total = 0;
    for (const PrintColumn &column : m_data.columns)
        total += column.width * device->logicalDpiX() / kScreenDpi;
    const double scale = total > m_pageWidth && total > 0 ? m_pageWidth / total : 1.0;
    m_columnLeft.clear();
    double x = 0;
    for (const PrintColumn &column : m_data.columns) {
        m_columnLeft.append(x);
        x += column.width * device->logicalDpiX() / kScreenDpi * scale;
    }
    m_columnLeft.append(x);

    const double bodyHeight = m_pageHeight - m_titleHeight - m_rowHeight - m_footerHeight;
    m_rowsPerPage = std::max(1, int(std::floor(bodyHeight / m_rowHeight)));
    const auto rows = int(m_data.rows.size());
    m_pageCount = std::max(1, (rows + m_rowsPerPage - 1) / m_rowsPerPage);
}

std::pair<int, int> PrintRenderer::rowRange(int page) const
{
    const auto rows = int(m_data.rows.size());
    const int first = std::clamp(page * m_rowsPerPage, 0, rows);
    return {first, std::min(m_rowsPerPage, rows - first)};
}

QString PrintRenderer::pageText(int page) const
{
    return filled(m_labels.pageFormat, {QString::number(page + 1), QString::number(m_pageCount)});
}

QString PrintRenderer::cellText(const QString &text, double width) const
{
    // No glyph is narrower than a quarter of the average: more characters than that can never
    // show, and laying out a 10,000-character memo for one cell would cost more than the page.
    const auto limit = qsizetype(4 * width / m_averageCharWidth) + 8;
    if (text.size() <= limit)
        return text;
    QString cut = text.left(limit);
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    return m_bodyMetrics->elidedText(cut, Qt::ElideRight, width);
}

void PrintRenderer::paintPage(QPainter &painter, int page) const
{
    const auto [firstRow, rowCount] = rowRange(page);
    const double tableWidth = m_columnLeft.back();
    const auto columns = qsizetype(m_data.columns.size());

    painter.setFont(m_titleFont);
    painter.drawText(QRectF(0, 0, m_pageWidth, m_titleHeight),
                     Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, m_data.title);

    double y = m_titleHeight;
    painter.fillRect(QRectF(0, y, tableWidth, m_rowHeight), QColor(232, 232, 232));
    painter.setFont(m_headerFont);
    for (qsizetype c = 0; c < columns; ++c) {
        const double width = m_columnLeft[c + 1] - m_columnLeft[c] - 2 * m_padding;
        painter.drawText(QRectF(m_columnLeft[c] + m_padding, y, width, m_rowHeight),
                         kCellFlags | Qt::AlignHCenter, m_data.columns[c].caption);
    }

    painter.setFont(m_bodyFont);
    for (int r = 0; r < rowCount; ++r) {
        y += m_rowHeight;
        const QStringList &cells = m_data.rows[firstRow + r];
        for (qsizetype c = 0; c < columns; ++c) {
            const QString &text = cells[c];
            if (text.isEmpty())
                continue;
            const double width = m_columnLeft[c + 1] - m_columnLeft[c] - 2 * m_padding;
            painter.drawText(QRectF(m_columnLeft[c] + m_padding, y, width, m_rowHeight),
                             kCellFlags | int(m_data.columns[c].align), cellText(text, width));
        }
    }

    // The grid in one call: a line per row and per column edge.
    const double top = m_titleHeight;
    const double bottom = top + (rowCount + 1) * m_rowHeight;
    QList<QLineF> lines;
    lines.reserve(rowCount + 2 + columns + 1);
    for (int r = 0; r <= rowCount + 1; ++r)
        lines.append(QLineF(0, top + r * m_rowHeight, tableWidth, top + r * m_rowHeight));
    for (double x : m_columnLeft)
        lines.append(QLineF(x, top, x, bottom));
    painter.setPen(QPen(Qt::gray, 0));
    painter.drawLines(lines);
    painter.setPen(QPen(Qt::black));

    // Three parts of their own, so a long operator name is cut before it reaches the date.
    const double footerTop = m_pageHeight - m_footerHeight;
    const double third = m_pageWidth / 3;
    const QString left = filled(m_labels.operatorFormat, {m_data.operatorName})
                         + QLatin1String("    ")
                         + filled(m_labels.accountFormat, {m_data.account, m_data.year});
    const int footerFlags = Qt::AlignBottom | Qt::TextSingleLine;
    painter.drawText(QRectF(0, footerTop, third * 1.25, m_footerHeight),
                     footerFlags | Qt::AlignLeft,
                     m_bodyMetrics->elidedText(left, Qt::ElideRight, third * 1.25));
    painter.drawText(QRectF(third * 1.25, footerTop, third, m_footerHeight),
                     footerFlags | Qt::AlignHCenter, filled(m_labels.dateFormat, {m_data.date}));
    painter.drawText(QRectF(third * 2.25, footerTop, third * 0.75, m_footerHeight),
                     footerFlags | Qt::AlignRight, pageText(page));
}

bool PrintRenderer::print(QPagedPaintDevice &device, int fromPage, int toPage)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    layout(&device);
    const int first = fromPage > 0 ? fromPage - 1 : 0;
    const int last = toPage > 0 ? std::min(toPage, m_pageCount) - 1 : m_pageCount - 1;
    for (int page = first; page <= last; ++page) {
        if (page > first)
            device.newPage();
        paintPage(painter, page);
    }
    return painter.end();
}

} // namespace perikon::suite::printer
