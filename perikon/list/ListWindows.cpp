#include "perikon/list/ListWindows.h"

#include "perikon/host/HostSession.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/UiHelper.h"
#include "perikon/session/SessionGlobals.h"

#include <QDialog>
#include <QHash>

namespace perikon::list {

namespace {

// Registered once when the component loads (and by tests), read on the UI thread.
struct Registry
{
    QHash<QString, ContactCardFactory> cards;
    QHash<QString, ListDialogFactory> dialogs;
    QHash<QString, ListAction> actions;
};

Registry &registry()
{
    static Registry r;
    return r;
}

template<typename F> void store(QHash<QString, F> &map, const QString &name, F function)
{
    if (function)
        map.insert(name.toLower(), std::move(function));
    else
        map.remove(name.toLower());
}

} // namespace

void registerContactCard(const QString &name, ContactCardFactory factory)
{
    store(registry().cards, name, std::move(factory));
}

void registerListDialog(const QString &name, ListDialogFactory factory)
{
    store(registry().dialogs, name, std::move(factory));
}

void registerListAction(const QString &name, ListAction action)
{
    store(registry().actions, name, std::move(action));
}

std::unique_ptr<ContactCard> createContactCard(const QString &name, ListAccess &list,
                                               QWidget *parent)
{
    const ContactCardFactory factory = registry().cards.value(name.toLower());
    return factory ? factory(list, parent) : nullptr;
}

std::unique_ptr<QDialog> createListDialog(const QString &name, ListAccess &list, QWidget *parent)
{
    const ListDialogFactory factory = registry().dialogs.value(name.toLower());
    return factory ? factory(list, parent) : nullptr;
}

ListAction listAction(const QString &name)
{
    return registry().actions.value(name.toLower());
}

bool isRegistered(const QString &name)
{
    const QString key = name.toLower();
    return registry().cards.contains(key) || registry().dialogs.contains(key)
           || registry().actions.contains(key);
}

bool listWebMode()
{
    return gUiHelper && gUiHelper->RunMode() == 1;
}

int helpContextId(QWidget *window, const QString &portalTopic)
{
    constexpr int kTradeClassHelpId = 90100189;
    if (gProduct && gActiveFrmMgr) {
        int id = 0;
        if (std::unique_ptr<QObject> provider
            = HostRegistry::create(QStringLiteral("HelpIdProvider")))
            QMetaObject::invokeMethod(provider.get(), "GetHelpId", Qt::DirectConnection,
                                      Q_RETURN_ARG(int, id), Q_ARG(QString, portalTopic));
        return id;
    }
    if (gPubService)
        gPubService->HelpX(window, QStringLiteral("TradeClass"));
    return kTradeClassHelpId;
}

int listHelpContextId(QWidget *window)
{
    return helpContextId(window, QStringLiteral("联系人管理"));
}

} // namespace perikon::list
