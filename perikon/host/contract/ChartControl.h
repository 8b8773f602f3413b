#pragma once

#include <QString>
#include <QWidget>

namespace perikon {

// The host's chart control ("QzChart1"): draws the organisation chart of one customer's contacts
// from chart XML. Property `text` is the XML it holds, `value` the number of boxes drawn.
class ChartControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text)
    Q_PROPERTY(int value READ value)
public:
    using QWidget::QWidget;

    // The display mode; 4 is the organisation tree.
    virtual void SetMode(int mode) = 0;
    // Takes the chart XML; false when it does not parse (the control then shows nothing).
    virtual bool LoadXml(const QString &xml) = 0;
    // Lays out and draws what LoadXml took.
    virtual void Draw() = 0;

    virtual QString text() const = 0;
    virtual int value() const = 0;
};

} // namespace perikon
