#pragma once

#include "suite/controls/ControlsExport.h"

#include <QLabel>
#include <QList>
#include <QStatusBar>

namespace perikon::controls {

// The host's status bar: a row of text panels addressed by index from 0. Each is a label named
// "Panel_<n>" with n counted from 1, as the host's scripts count panels, so panel(0) is "Panel_1".
// The last panel takes the remaining width.
class PERIKON_CONTROLS_EXPORT PanelStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit PanelStatusBar(int panelCount, QWidget *parent = nullptr);

    int panelCount() const { return int(m_panels.size()); }
    // Out-of-range indexes are ignored (reads give empty text), as a host control does.
    void setPanelText(int index, const QString &text);
    QString panelText(int index) const;
    QLabel *panel(int index) const;

private:
    QList<QLabel *> m_panels;
};

} // namespace perikon::controls
