#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

class QWidget;

namespace perikon {

// The host's calculator for number editors ("CalculatorService").
class CalculatorService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the calculator with `text` (the editor's number; empty or not a number starts at 0)
    // at `topLeft` (global coordinates, just under the editor; kept on the editor's screen),
    // caption `caption`, modal over `editor`'s window. On OK true with the result in `text`
    // (plain number text, '.' as decimal point, no grouping, no exponent, trailing zeros after
    // the point dropped); on cancel false and `text` unchanged.
    virtual bool Calculate(QWidget *editor, const QPoint &topLeft, const QString &caption,
                           QString &text)
        = 0;
};

} // namespace perikon
