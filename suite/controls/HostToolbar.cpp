#include "suite/controls/HostToolbar.h"

#include <QAction>
#include <QFile>
#include <QMetaEnum>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

#include <utility>

namespace perikon::controls {

namespace {

struct ThemeFallback
{
    const char *themeName;
    QStyle::StandardPixmap pixmap;
};

// Machines without an icon theme still show a picture for the common command icons.
constexpr ThemeFallback themeFallbacks[] = {
    {"document-new", QStyle::SP_FileIcon},
    {"document-open", QStyle::SP_DialogOpenButton},
    {"document-save", QStyle::SP_DialogSaveButton},
    {"document-edit", QStyle::SP_FileDialogDetailedView},
    {"document-properties", QStyle::SP_FileDialogDetailedView},
    {"edit-delete", QStyle::SP_TrashIcon},
    {"edit-find", QStyle::SP_FileDialogContentsView},
    {"view-filter", QStyle::SP_FileDialogListView},
    {"view-refresh", QStyle::SP_BrowserReload},
    {"document-print", QStyle::SP_DriveFDIcon},
    {"document-print-preview", QStyle::SP_FileDialogInfoView},
    {"document-export", QStyle::SP_DialogSaveButton},
    {"mail-send", QStyle::SP_ArrowForward},
    {"mail-message-new", QStyle::SP_ArrowForward},
    {"help-contents", QStyle::SP_DialogHelpButton},
    {"help-browser", QStyle::SP_DialogHelpButton},
    {"application-exit", QStyle::SP_DialogCloseButton},
    {"window-close", QStyle::SP_DialogCloseButton},
    {"configure", QStyle::SP_FileDialogDetailedView},
    {"go-first", QStyle::SP_MediaSkipBackward},
    {"go-last", QStyle::SP_MediaSkipForward},
};

QIcon toolbarIcon(const QString &name, const QStyle *style)
{
    const QIcon generic = style->standardIcon(QStyle::SP_FileIcon);
    if (name.isEmpty())
        return generic;
    if (name.startsWith(u':') || name.contains(u'/'))
        return QFile::exists(name) ? QIcon(name) : generic;
    if (name.startsWith(QLatin1String("SP_"))) {
        bool ok = false;
        const int value = QMetaEnum::fromType<QStyle::StandardPixmap>().keyToValue(
            name.toLatin1().constData(), &ok);
        return ok ? style->standardIcon(QStyle::StandardPixmap(value)) : generic;
    }
    QIcon fallback = generic;
    for (const ThemeFallback &entry : themeFallbacks) {
        if (name == QLatin1String(entry.themeName))
            fallback = style->standardIcon(entry.pixmap);
    }
    return QIcon::fromTheme(name, fallback);
}

} // namespace

HostToolbar::HostToolbar(QWidget *parent)
    : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    connect(this, &QToolBar::toolButtonStyleChanged, this, [this](Qt::ToolButtonStyle style) {
        for (const Button &entry : m_buttons)
            entry.button->setToolButtonStyle(style);
    });
    connect(this, &QToolBar::iconSizeChanged, this, [this](const QSize &size) {
        for (const Button &entry : m_buttons)
            entry.button->setIconSize(size);
    });
}

HostToolbar::~HostToolbar() = default;

void HostToolbar::removeButtons()
{
    for (Button &entry : m_buttons) {
        removeAction(entry.slot);
        delete entry.slot; // deletes the button with it
        delete entry.command;
        delete entry.hotKey;
    }
    m_buttons.clear();
}

void HostToolbar::setDefinition(const QList<ToolbarButtonDef> &buttons,
                                const CaptionLookup &captionOf, const RightCheck &allowed)
{
    removeButtons();
    m_captionOf = captionOf;
    m_allowed = allowed;
    m_buttons.reserve(size_t(buttons.size()));
    for (const ToolbarButtonDef &def : buttons) {
        Button entry;
        entry.def = def;
        entry.allowed = def.functionId.isEmpty() || !allowed || allowed(def.functionId);
        const QString caption = captionOf ? captionOf(def.captionKey) : def.captionKey;

        entry.command = new QAction(caption, this);
        entry.command->setIcon(toolbarIcon(def.icon, style()));
        entry.command->setToolTip(def.hotKey.isEmpty()
                                      ? caption
                                      : QStringLiteral("%1 (%2)").arg(
                                          caption, def.hotKey.toString(QKeySequence::NativeText)));
        const QString key = def.key;
        connect(entry.command, &QAction::triggered, this, [this, key] { emit buttonClicked(key); });

        entry.button = new QToolButton(this);
        entry.button->setObjectName(def.key);
        entry.button->setAutoRaise(true);
        entry.button->setToolButtonStyle(toolButtonStyle());
        entry.button->setIconSize(iconSize());
        entry.button->setDefaultAction(entry.command);
        entry.slot = addWidget(entry.button);
        if (!def.hotKey.isEmpty()) {
            // Owned by the toolbar, not the button: a button pushed into the overflow menu of a
            // narrow toolbar keeps its hot key, while a hidden toolbar's hot keys are dead.
            entry.hotKey = new QShortcut(def.hotKey, this);
            entry.hotKey->setContext(Qt::WindowShortcut);
            entry.hotKey->setAutoRepeat(false);
            connect(entry.hotKey, &QShortcut::activated, entry.command, &QAction::trigger);
        }
        applyState(entry);
        m_buttons.push_back(std::move(entry));
    }
    emit definitionChanged();
}

QList<ToolbarButtonDef> HostToolbar::definition() const
{
    QList<ToolbarButtonDef> defs;
    for (const Button &entry : m_buttons)
        defs << entry.def;
    return defs;
}

QStringList HostToolbar::keys() const
{
    QStringList keys;
    for (const Button &entry : m_buttons)
        keys << entry.def.key;
    return keys;
}

const HostToolbar::Button *HostToolbar::find(const QString &key) const
{
    for (const Button &entry : m_buttons) {
        if (entry.def.key == key)
            return &entry;
    }
    return nullptr;
}

HostToolbar::Button *HostToolbar::find(const QString &key)
{
    return const_cast<Button *>(std::as_const(*this).find(key));
}

QAbstractButton *HostToolbar::button(const QString &key) const
{
    const Button *entry = find(key);
    return entry ? entry->button : nullptr;
}

void HostToolbar::applyState(Button &entry)
{
    entry.command->setEnabled(entry.allowed && entry.enabled);
    entry.slot->setVisible(entry.visible);
    if (entry.hotKey)
        entry.hotKey->setEnabled(entry.allowed && entry.enabled && entry.visible);
}

void HostToolbar::setButtonEnabled(const QString &key, bool enabled)
{
    Button *entry = find(key);
    if (!entry || entry->enabled == enabled)
        return;
    entry->enabled = enabled;
    applyState(*entry);
    emit buttonStateChanged(key);
}

void HostToolbar::setButtonVisible(const QString &key, bool visible)
{
    Button *entry = find(key);
    if (!entry || entry->visible == visible)
        return;
    entry->visible = visible;
    applyState(*entry);
    emit buttonStateChanged(key);
}

bool HostToolbar::isButtonEnabled(const QString &key) const
{
    const Button *entry = find(key);
    return entry && entry->enabled;
}

bool HostToolbar::isButtonVisible(const QString &key) const
{
    const Button *entry = find(key);
    return entry && entry->visible;
}

bool HostToolbar::isButtonAllowed(const QString &key) const
{
    const Button *entry = find(key);
    return entry && entry->allowed;
}

void HostToolbar::mirror(HostToolbar *source)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    m_source = source;
    if (!source || source == this)
        return;
    m_sourceConnections << connect(source, &HostToolbar::definitionChanged, this,
                                   &HostToolbar::followSource)
                        << connect(source, &HostToolbar::buttonStateChanged, this,
                                   &HostToolbar::copySourceState);
    followSource();
}

void HostToolbar::followSource()
{
    if (!m_source)
        return;
    setDefinition(m_source->definition(), m_source->m_captionOf, m_source->m_allowed);
    for (const Button &entry : m_buttons)
        copySourceState(entry.def.key);
}

void HostToolbar::copySourceState(const QString &key)
{
    if (!m_source)
        return;
    setButtonEnabled(key, m_source->isButtonEnabled(key));
    setButtonVisible(key, m_source->isButtonVisible(key));
}

} // namespace perikon::controls
