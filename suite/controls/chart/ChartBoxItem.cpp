#include "suite/controls/chart/ChartBoxItem.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace perikon::suite::chart {
namespace {

constexpr double kPadding = 8;
constexpr double kMarkSize = 14;

// Line breaks and tabs would split a one-line box text; they show as blanks.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    }
    return text;
}

QString fitted(const QString &text, const QFont &font, double width)
{
    // Measuring a very long text costs; the box never shows more than a few dozen characters.
    constexpr qsizetype kMeasured = 256;
    const QString head = text.size() > kMeasured ? text.left(kMeasured) + u'…' : text;
    return QFontMetricsF(font).elidedText(oneLine(head), Qt::ElideRight, width);
}

} // namespace

ChartBoxItem::ChartBoxItem(const QString &name, const QString &duty, bool cycleCut,
                           const QFont &font)
    : m_nameFont(font)
    , m_dutyFont(font)
    , m_cycleCut(cycleCut)
{
    m_nameFont.setBold(true);
    const double textWidth = kWidth - 2 * kPadding - (cycleCut ? kMarkSize + 2 : 0);
    m_shownName = fitted(name, m_nameFont, textWidth);
    m_shownDuty = fitted(duty, m_dutyFont, kWidth - 2 * kPadding);
}

QRectF ChartBoxItem::boundingRect() const
{
    return QRectF(-1, -1, kWidth + 2, kHeight + 2);
}

void ChartBoxItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF box(0, 0, kWidth, kHeight);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(m_cycleCut ? QColor(0xc0, 0x39, 0x2b) : QColor(0x4a, 0x6f, 0x96),
                         m_cycleCut ? 2.0 : 1.2));
    painter->setBrush(QColor(0xf3, 0xf7, 0xfb));
    painter->drawRoundedRect(box, 5, 5);

    const double half = kHeight / 2;
    painter->setPen(QColor(0x1d, 0x2b, 0x3a));
    painter->setFont(m_nameFont);
    // Without a duty the name takes the middle of the box.
    const QRectF nameArea = m_shownDuty.isEmpty()
                                ? QRectF(kPadding, 0, kWidth - 2 * kPadding, kHeight)
                                : QRectF(kPadding, 4, kWidth - 2 * kPadding, half - 2);
    painter->drawText(nameArea, Qt::AlignLeft | Qt::AlignVCenter, m_shownName);
    painter->setPen(QColor(0x55, 0x60, 0x6b));
    painter->setFont(m_dutyFont);
    painter->drawText(QRectF(kPadding, half, kWidth - 2 * kPadding, half - 4),
                      Qt::AlignLeft | Qt::AlignVCenter, m_shownDuty);

    if (m_cycleCut) {
        // A circular arrow: drawn, so it needs no glyph from the font.
        const QRectF mark(kWidth - kPadding - kMarkSize, 6, kMarkSize, kMarkSize);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0xc0, 0x39, 0x2b));
        painter->drawEllipse(mark);
        QPainterPath arrow;
        const QRectF ring = mark.adjusted(3.5, 3.5, -3.5, -3.5);
        arrow.arcMoveTo(ring, 90);
        arrow.arcTo(ring, 90, 270);
        painter->setPen(QPen(Qt::white, 1.4));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(arrow);
        const QPointF tip = arrow.currentPosition();
        painter->drawLine(tip, tip + QPointF(-3, -1.5));
        painter->drawLine(tip, tip + QPointF(1, -3.2));
    }
}

} // namespace perikon::suite::chart
