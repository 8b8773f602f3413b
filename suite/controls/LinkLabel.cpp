#include "suite/controls/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace perikon::controls {

LinkLabel::LinkLabel(QWidget *parent)
    : LinkLabel(QString(), parent)
{}

LinkLabel::LinkLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    QPalette look = palette();
    look.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    setPalette(look);
    applyLook(false);
}

QColor LinkLabel::linkColor()
{
    return QColor(0x00, 0x00, 0xff);
}

void LinkLabel::applyLook(bool link)
{
    m_linkLook = link;
    QPalette look = palette();
    const QColor color = link ? linkColor() : QColor(Qt::black);
    look.setColor(QPalette::Active, QPalette::WindowText, color);
    look.setColor(QPalette::Inactive, QPalette::WindowText, color);
    setPalette(look);
    QFont underlined = font();
    underlined.setUnderline(link);
    setFont(underlined);
}

void LinkLabel::setPlainLook()
{
    applyLook(false);
}

void LinkLabel::setLinkLook()
{
    if (isEnabled())
        applyLook(true);
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    if (!isEnabled())
        return;
    applyLook(true);
    emit hovered();
}

void LinkLabel::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    applyLook(false);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // A click is a press and a release over the label, as on a button.
    const bool click = m_pressed && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click && isEnabled())
        emit clicked();
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (isEnabled())
            emit clicked();
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void LinkLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_linkLook)
        applyLook(false);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = contentsRect();
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

} // namespace perikon::controls
