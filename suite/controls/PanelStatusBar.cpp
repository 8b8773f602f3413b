#include "suite/controls/PanelStatusBar.h"

namespace perikon::controls {

PanelStatusBar::PanelStatusBar(int panelCount, QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (int i = 0; i < panelCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel_%1").arg(i + 1));
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const bool last = i == panelCount - 1;
        addPermanentWidget(label, last ? 1 : 0);
        m_panels.append(label);
    }
}

QLabel *PanelStatusBar::panel(int index) const
{
    return index >= 0 && index < m_panels.size() ? m_panels.at(index) : nullptr;
}

void PanelStatusBar::setPanelText(int index, const QString &text)
{
    if (QLabel *label = panel(index))
        label->setText(text);
}

QString PanelStatusBar::panelText(int index) const
{
    const QLabel *label = panel(index);
    return label ? label->text() : QString();
}

} // namespace perikon::controls
