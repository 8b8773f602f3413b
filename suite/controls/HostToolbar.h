#pragma once

#include "suite/controls/ControlsExport.h"

#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QToolBar>

#include <functional>
#include <vector>

class QAbstractButton;
class QAction;
class QShortcut;
class QToolButton;

namespace perikon::controls {

// One button of a toolbar definition: the command key it passes on (also the button's objectName),
// the resource key of its caption, an icon (theme name, standard icon name "SP_..." or resource
// path), its hot key, and the function whose right it needs (empty: everyone may use it).
struct ToolbarButtonDef
{
    QString key;
    QString captionKey;
    QString icon;
    QKeySequence hotKey;
    QString functionId;
};

// The host's toolbar, built from a toolbar definition. A hot key works only while the toolbar's
// window is active, the toolbar shows and its button is enabled and not hidden by the window. A
// button whose function the operator has no right to stays disabled whatever the window asks.
class PERIKON_CONTROLS_EXPORT HostToolbar : public QToolBar
{
    Q_OBJECT
public:
    using CaptionLookup = std::function<QString(const QString &captionKey)>;
    using RightCheck = std::function<bool(const QString &functionId)>;

    explicit HostToolbar(QWidget *parent = nullptr);
    ~HostToolbar() override;

    // Replaces all buttons. Without captionOf the caption key is shown; without allowed every
    // function is allowed.
    void setDefinition(const QList<ToolbarButtonDef> &buttons, const CaptionLookup &captionOf,
                       const RightCheck &allowed);
    QList<ToolbarButtonDef> definition() const;
    QStringList keys() const;

    QAbstractButton *button(const QString &key) const;
    void setButtonEnabled(const QString &key, bool enabled);
    void setButtonVisible(const QString &key, bool visible);
    // As the window set them; a button also needs the right to be usable (isButtonAllowed).
    bool isButtonEnabled(const QString &key) const;
    bool isButtonVisible(const QString &key) const;
    bool isButtonAllowed(const QString &key) const;

    // Shows the same buttons as source (usually a hidden toolbar) and follows its enabled and
    // visible states from now on, also when source gets a new definition. Clicks and hot keys on
    // this toolbar emit this toolbar's buttonClicked. nullptr stops following.
    void mirror(HostToolbar *source);

signals:
    void buttonClicked(const QString &key);
    void definitionChanged();
    void buttonStateChanged(const QString &key);

private:
    struct Button
    {
        ToolbarButtonDef def;
        QToolButton *button = nullptr;
        QAction *command = nullptr;
        QAction *slot = nullptr; // the toolbar's place of the button; hides and shows it
        QShortcut *hotKey = nullptr;
        bool allowed = true;
        bool enabled = true;
        bool visible = true;
    };

    const Button *find(const QString &key) const;
    Button *find(const QString &key);
    void removeButtons();
    void applyState(Button &button);
    void followSource();
    void copySourceState(const QString &key);

    std::vector<Button> m_buttons;
    CaptionLookup m_captionOf;
    RightCheck m_allowed;
    QPointer<HostToolbar> m_source;
    QList<QMetaObject::Connection> m_sourceConnections;
};

} // namespace perikon::controls
