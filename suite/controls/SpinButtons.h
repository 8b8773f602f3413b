#pragma once

#include "suite/controls/ControlsExport.h"

#include <QWidget>

class QToolButton;

namespace perikon::controls {

// The host's up-down control: two stacked arrow buttons, "Up" and "Down", that fit beside a line
// edit. It holds Min, Max and Increment for the window and changes no value itself: the window
// decides what a click does.
class PERIKON_CONTROLS_EXPORT SpinButtons : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Min READ min WRITE setMin)
    Q_PROPERTY(int Max READ max WRITE setMax)
    Q_PROPERTY(int Increment READ increment WRITE setIncrement)
public:
    explicit SpinButtons(QWidget *parent = nullptr);

    int min() const { return m_min; }
    void setMin(int min) { m_min = min; }
    int max() const { return m_max; }
    void setMax(int max) { m_max = max; }
    int increment() const { return m_increment; }
    void setIncrement(int increment) { m_increment = increment; }

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void upClicked();
    void downClicked();

private:
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    int m_min = 0;
    int m_max = 10;
    int m_increment = 1;
};

} // namespace perikon::controls
