#pragma once

// One contact's box in the chart: the name over the duty, each cut to the box with an ellipsis;
// the whole texts in the tool tip. A box whose superior chain looped carries a red mark.

#include <QFont>
#include <QGraphicsItem>
#include <QString>

namespace perikon::suite::chart {

class ChartBoxItem : public QGraphicsItem
{
public:
    static constexpr double kWidth = 180;
    static constexpr double kHeight = 56;

    ChartBoxItem(const QString &name, const QString &duty, bool cycleCut, const QFont &font);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    const QString &shownName() const { return m_shownName; }
    const QString &shownDuty() const { return m_shownDuty; }
    bool isCycleCut() const { return m_cycleCut; }

private:
    QFont m_nameFont;
    QFont m_dutyFont;
    QString m_shownName;
    QString m_shownDuty;
    bool m_cycleCut;
};

} // namespace perikon::suite::chart
