#include "apps/automate/WindowVerbs.h"

#include "apps/automate/GridVerbs.h"
#include "apps/automate/InputEvents.h"
#include "apps/automate/JsonValues.h"
#include "apps/automate/WidgetPaths.h"
#include "suite/controls/LinkLabel.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace perikon::automation {
namespace {

// What a person reads on a control.
QString textOf(const QObject *target)
{
    if (const auto *action = qobject_cast<const QAction *>(target))
        return action->text();
    if (const auto *edit = qobject_cast<const QLineEdit *>(target))
        return edit->text();
    if (const auto *label = qobject_cast<const QLabel *>(target))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(target))
        return button->text();
    if (const auto *combo = qobject_cast<const QComboBox *>(target))
        return combo->currentText();
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(target))
        return spin->text();
    if (const auto *text = qobject_cast<const QTextEdit *>(target))
        return text->toPlainText();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(target))
        return plain->toPlainText();
    if (const auto *group = qobject_cast<const QGroupBox *>(target))
        return group->title();
    if (const auto *widget = qobject_cast<const QWidget *>(target); widget && widget->isWindow())
        return widget->windowTitle();
    return {};
}

bool isEnabled(const QObject *target)
{
    if (const auto *action = qobject_cast<const QAction *>(target))
        return action->isEnabled();
    return static_cast<const QWidget *>(target)->isEnabled();
}

bool isVisible(const QObject *target)
{
    if (const auto *action = qobject_cast<const QAction *>(target))
        return action->isVisible();
    return static_cast<const QWidget *>(target)->isVisible();
}

QString nameOf(const QObject *target)
{
    return target->objectName().isEmpty() ? QString::fromUtf8(target->metaObject()->className())
                                          : target->objectName();
}

// Why a person could not operate target now, or empty when they could.
QString unreachable(const QObject *target)
{
    if (!isEnabled(target))
        return QStringLiteral("%1 is disabled").arg(nameOf(target));
    const auto *widget = qobject_cast<const QWidget *>(target);
    if (!widget) // an action is as reachable as the window that owns it
        widget = qobject_cast<const QWidget *>(target->parent());
    else if (!widget->isVisible())
        return QStringLiteral("%1 is not visible").arg(nameOf(target));
    if (QWidget *modal = blockingModalWindow(widget))
        return QStringLiteral("%1 is behind the modal window %2")
            .arg(nameOf(target), nameOf(modal));
    return {};
}

QJsonArray itemsOf(const QComboBox *combo)
{
    QJsonArray items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

} // namespace

WindowVerbs::WindowVerbs(KeepObject keep)
    : m_keep(std::move(keep))
{}

QJsonObject WindowVerbs::handle(const QJsonObject &request)
{
    const QString verb = request.value(QLatin1String("ui")).toString();
    if (verb == QLatin1String("windows"))
        return windows();
    if (verb == QLatin1String("wait")) {
        waitProcessingEvents(request.value(QLatin1String("ms")).toInt());
        return success();
    }
    static const QStringList pathVerbs{"tree", "click",  "type", "key",   "read",
                                       "grid", "select", "grab", "close", "keep"};
    if (!pathVerbs.contains(verb))
        return failure(QStringLiteral("unknown ui verb: %1").arg(verb));

    const QString path = request.value(QLatin1String("path")).toString();
    const PathTarget found = resolvePath(path);
    if (const auto *error = std::get_if<QString>(&found))
        return failure(QStringLiteral("%1: %2").arg(path, *error));
    QObject *target = std::get<QObject *>(found);

    if (verb == QLatin1String("tree"))
        return tree(target);
    if (verb == QLatin1String("click"))
        return click(target, request);
    if (verb == QLatin1String("type"))
        return type(target, request.value(QLatin1String("text")).toString());
    if (verb == QLatin1String("key"))
        return key(target, request.value(QLatin1String("keys")).toString());
    if (verb == QLatin1String("read"))
        return read(target);
    if (verb == QLatin1String("grab"))
        return grab(target, request.value(QLatin1String("file")).toString());
    if (verb == QLatin1String("close"))
        return close(target);
    if (verb == QLatin1String("keep"))
        return keep(target, request.value(QLatin1String("as")).toString());

    auto *view = qobject_cast<QAbstractItemView *>(target);
    if (!view)
        return failure(QStringLiteral("%1 is no grid").arg(path));
    if (verb == QLatin1String("grid"))
        return readGrid(view, request);
    return selectCell(view, request.value(QLatin1String("row")).toInt(),
                      request.value(QLatin1String("col")).toInt());
}

QJsonObject WindowVerbs::windows() const
{
    // The application keeps its windows in no particular order: sorted by name, a script can
    // compare the list as it stands.
    QWidgetList windows = QApplication::topLevelWidgets();
    std::stable_sort(windows.begin(), windows.end(), [](const QWidget *a, const QWidget *b) {
        return a->objectName() < b->objectName();
    });
    QJsonArray list;
    for (QWidget *w : std::as_const(windows)) {
        const Qt::WindowType kind = w->windowType();
        // Tool tips and closed popup menus are no windows a script works with.
        if (kind == Qt::ToolTip || kind == Qt::Desktop || (kind == Qt::Popup && !w->isVisible()))
            continue;
        list.append(QJsonObject{
            {QStringLiteral("name"), w->objectName()},
            {QStringLiteral("title"), w->windowTitle()},
            {QStringLiteral("class"), QString::fromUtf8(w->metaObject()->className())},
            {QStringLiteral("modal"), w->isModal()},
            {QStringLiteral("visible"), w->isVisible()},
        });
    }
    QJsonObject reply = success();
    reply.insert(QStringLiteral("windows"), list);
    return reply;
}

QJsonObject WindowVerbs::tree(QObject *target) const
{
    QJsonArray children;
    const auto describe = [&children](const QObject *o) {
        children.append(QJsonObject{
            {QStringLiteral("name"), o->objectName()},
            {QStringLiteral("class"), QString::fromUtf8(o->metaObject()->className())},
            {QStringLiteral("text"), textOf(o)},
            {QStringLiteral("enabled"), isEnabled(o)},
            {QStringLiteral("visible"), isVisible(o)},
        });
    };
    for (const QObject *o : target->findChildren<QObject *>()) {
        if (!o->objectName().isEmpty() && (o->isWidgetType() || qobject_cast<const QAction *>(o))
            && !o->objectName().startsWith(QLatin1String("qt_")))
            describe(o);
    }
    QJsonObject reply = success();
    reply.insert(QStringLiteral("children"), children);
    return reply;
}

QJsonObject WindowVerbs::click(QObject *target, const QJsonObject &request)
{
    if (const QString why = unreachable(target); !why.isEmpty())
        return failure(why);
    if (auto *action = qobject_cast<QAction *>(target)) {
        // A click on an item of an open popup menu closes the menu first, as a person's does.
        if (auto *menu = qobject_cast<QMenu *>(action->parent());
            menu && menu->isVisible() && menu->windowType() == Qt::Popup)
            menu->hide();
        action->trigger();
        return success();
    }
    const bool twice = request.value(QLatin1String("double")).toBool();
    const QString buttonName = request.value(QLatin1String("button")).toString();
    if (!buttonName.isEmpty() && buttonName != QLatin1String("left")
        && buttonName != QLatin1String("right"))
        return failure(QStringLiteral("no mouse button %1").arg(buttonName));
    const Qt::MouseButton button
        = buttonName == QLatin1String("right") ? Qt::RightButton : Qt::LeftButton;
    if (auto *view = qobject_cast<QAbstractItemView *>(target);
        view && request.contains(QLatin1String("row"))) {
        return clickCell(view, request.value(QLatin1String("row")).toInt(),
                         request.value(QLatin1String("col")).toInt(), twice, button);
    }
    if (button != Qt::LeftButton)
        return failure(
            QStringLiteral("%1 takes the right button only on a grid cell").arg(nameOf(target)));
    auto *widget = static_cast<QWidget *>(target);
    // A tab of a tab widget (path to the QTabWidget, "tab": index), as a click on its caption.
    if (auto *tabs = qobject_cast<QTabWidget *>(widget);
        tabs && request.contains(QLatin1String("tab"))) {
        const int index = request.value(QLatin1String("tab")).toInt();
        if (index < 0 || index >= tabs->count() || !tabs->isTabEnabled(index))
            return failure(
                QStringLiteral("%1 has no tab %2 to choose").arg(nameOf(target)).arg(index));
        tabs->setCurrentIndex(index);
        return success();
    }
    if (qobject_cast<QAbstractButton *>(widget) || qobject_cast<controls::LinkLabel *>(widget)) {
        clickControl(widget, twice);
        return success();
    }
    return failure(QStringLiteral("%1 (%2) cannot be clicked")
                       .arg(nameOf(target), QString::fromUtf8(target->metaObject()->className())));
}

QJsonObject WindowVerbs::type(QObject *target, const QString &text)
{
    if (const QString why = unreachable(target); !why.isEmpty())
        return failure(why);
    if (auto *combo = qobject_cast<QComboBox *>(target); combo && !combo->isEditable()) {
        const int index = combo->findText(text, Qt::MatchExactly);
        if (index < 0)
            return failure(QStringLiteral("%1 has no item %2").arg(nameOf(target), text));
        focus(combo, Qt::OtherFocusReason);
        combo->setCurrentIndex(index);
        // Picking an item from the list is an activation, not just a change of the current item.
        emit combo->activated(index);
        emit combo->textActivated(combo->itemText(index));
        return success();
    }
    QWidget *edit = nullptr;
    if (auto *combo = qobject_cast<QComboBox *>(target))
        edit = combo->lineEdit();
    else if (qobject_cast<QLineEdit *>(target) || qobject_cast<QAbstractSpinBox *>(target)
             || qobject_cast<QTextEdit *>(target) || qobject_cast<QPlainTextEdit *>(target))
        edit = static_cast<QWidget *>(target);
    if (!edit)
        return failure(
            QStringLiteral("%1 (%2) takes no text")
                .arg(nameOf(target), QString::fromUtf8(target->metaObject()->className())));
    if (const auto *line = qobject_cast<const QLineEdit *>(edit); line && line->isReadOnly())
        return failure(QStringLiteral("%1 is read-only").arg(nameOf(target)));
    typeOver(edit, text);
    return success();
}

QJsonObject WindowVerbs::key(QObject *target, const QString &keys)
{
    auto *widget = qobject_cast<QWidget *>(target);
    if (!widget)
        return failure(QStringLiteral("%1 takes no keys").arg(nameOf(target)));
    if (const QString why = unreachable(target); !why.isEmpty())
        return failure(why);
    const QKeySequence sequence(keys, QKeySequence::PortableText);
    if (sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown)
        return failure(QStringLiteral("not a key sequence: %1").arg(keys));
    sendKeys(widget, sequence);
    return success();
}

QJsonObject WindowVerbs::read(QObject *target) const
{
    QJsonObject reply = success();
    reply.insert(QStringLiteral("text"), textOf(target));
    reply.insert(QStringLiteral("enabled"), isEnabled(target));
    reply.insert(QStringLiteral("visible"), isVisible(target));
    if (const auto *button = qobject_cast<const QAbstractButton *>(target);
        button && button->isCheckable())
        reply.insert(QStringLiteral("checked"), button->isChecked());
    if (const auto *action = qobject_cast<const QAction *>(target); action && action->isCheckable())
        reply.insert(QStringLiteral("checked"), action->isChecked());
    if (const auto *spin = qobject_cast<const QSpinBox *>(target))
        reply.insert(QStringLiteral("value"), spin->value());
    else if (const auto *real = qobject_cast<const QDoubleSpinBox *>(target))
        reply.insert(QStringLiteral("value"), real->value());
    else if (const auto *slider = qobject_cast<const QAbstractSlider *>(target))
        reply.insert(QStringLiteral("value"), slider->value());
    else if (const auto *progress = qobject_cast<const QProgressBar *>(target))
        reply.insert(QStringLiteral("value"), progress->value());
    if (const auto *combo = qobject_cast<const QComboBox *>(target)) {
        reply.insert(QStringLiteral("items"), itemsOf(combo));
        reply.insert(QStringLiteral("current"), combo->currentIndex());
    }
    return reply;
}

QJsonObject WindowVerbs::grab(QObject *target, const QString &file) const
{
    auto *widget = qobject_cast<QWidget *>(target);
    if (!widget)
        return failure(QStringLiteral("%1 is no widget").arg(nameOf(target)));
    if (file.isEmpty())
        return failure(QStringLiteral("\"grab\" needs a \"file\""));
    const QPixmap picture = widget->grab();
    if (!picture.save(file, "PNG"))
        return failure(QStringLiteral("cannot write %1").arg(file));
    QJsonObject reply = success();
    reply.insert(QStringLiteral("width"), picture.width());
    reply.insert(QStringLiteral("height"), picture.height());
    return reply;
}

QJsonObject WindowVerbs::close(QObject *target)
{
    auto *widget = qobject_cast<QWidget *>(target);
    if (!widget)
        return failure(QStringLiteral("%1 is no window").arg(nameOf(target)));
    // QWidget::close() sends the close event the title bar's button sends, so the window's own
    // closeEvent may refuse.
    const bool closed = widget->close();
    QJsonObject reply = success();
    reply.insert(QStringLiteral("closed"), closed);
    return reply;
}

QJsonObject WindowVerbs::keep(QObject *target, const QString &name)
{
    if (name.isEmpty())
        return failure(QStringLiteral("\"keep\" needs a name in \"as\""));
    m_keep(name, target);
    return success();
}

void waitProcessingEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(qMax(ms, 0), &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace perikon::automation
