#pragma once

#include "suite/controls/ControlsExport.h"

#include <QLabel>

namespace perikon::controls {

// A label that works as a link: a left click or Space/Enter emits clicked() while it is enabled.
// The mouse over it turns it blue and underlined (hovered()); it takes its plain look (black, not
// underlined) when the mouse leaves or the window asks with setPlainLook(). Disabled it is grey.
class PERIKON_CONTROLS_EXPORT LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent = nullptr);
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

    void setPlainLook();
    void setLinkLook();
    bool hasLinkLook() const { return m_linkLook; }
    // The text colour of the link look; must-input captions share it.
    static QColor linkColor();

signals:
    void clicked();
    void hovered();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void applyLook(bool link);

    bool m_linkLook = false;
    bool m_pressed = false;
};

} // namespace perikon::controls
