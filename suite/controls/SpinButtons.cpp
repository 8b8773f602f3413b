#include "suite/controls/SpinButtons.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace perikon::controls {

namespace {

QToolButton *arrowButton(const QString &name, Qt::ArrowType arrow, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    button->setIconSize(QSize(7, 7));
    return button;
}

} // namespace

SpinButtons::SpinButtons(QWidget *parent)
    : QWidget(parent)
    , m_up(arrowButton(QStringLiteral("Up"), Qt::UpArrow, this))
    , m_down(arrowButton(QStringLiteral("Down"), Qt::DownArrow, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_up, &QToolButton::clicked, this, &SpinButtons::upClicked);
    connect(m_down, &QToolButton::clicked, this, &SpinButtons::downClicked);
}

QSize SpinButtons::sizeHint() const
{
    // As tall as a line edit beside it, so the two line up in a row.
    QLineEdit probe;
    probe.setFont(font());
    const int height = probe.sizeHint().height();
    return {qMax(16, height * 2 / 3), height};
}

QSize SpinButtons::minimumSizeHint() const
{
    return {12, 16};
}

} // namespace perikon::controls
