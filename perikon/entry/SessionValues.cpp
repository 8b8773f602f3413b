// Publishes the session values of every module to automation clients by their exact names.

#include "perikon/batch/BatchSession.h"
#include "perikon/card/CardSession.h"
#include "perikon/data/DataSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/entry/ModuleRegistry.h"
#include "perikon/entry/SessionGlobals.h"
#include "perikon/entry/clsLogin.h"
#include "perikon/host/HostSession.h"
#include "perikon/list/ListSession.h"

namespace perikon {
namespace {

template<typename T> void publish(const QString &name, T &(*value)())
{
    GlobalRegistry::registerValue(
        name, [value] { return QVariant::fromValue(value()); },
        [value](const QVariant &v) { value() = v.value<T>(); });
}

// Object-valued values are read as the object (or null) and set from an object reference; an
// object set from outside stays owned by whoever created it.
void publishPointer(const QString &name, QPointer<QObject> &(*value)())
{
    GlobalRegistry::registerValue(
        name, [value] { return QVariant::fromValue(value().data()); },
        [value](const QVariant &v) { value() = v.value<QObject *>(); });
}

template<typename T> void publishOwned(const QString &name, std::unique_ptr<T> &(*value)())
{
    GlobalRegistry::registerValue(
        name, [value] { return QVariant::fromValue(static_cast<QObject *>(value().get())); },
        nullptr);
}

#define PERIKON_VALUE(T, name) publish<T>(QStringLiteral(#name), []() -> T & { return name; })
#define PERIKON_POINTER(name)                                                                      \
    publishPointer(QStringLiteral(#name), []() -> QPointer<QObject> & { return name; })
#define PERIKON_OWNED(T, name)                                                                     \
    publishOwned<T>(QStringLiteral(#name), []() -> std::unique_ptr<T> & { return name; })

const bool published = [] {
    PERIKON_POINTER(gLogin);
    // The shared data-access object; one set from outside stays owned by its creator.
    GlobalRegistry::registerValue(
        QStringLiteral("gClsCommon"),
        [] { return QVariant::fromValue(static_cast<QObject *>(gClsCommon.get())); },
        [](const QVariant &v) {
            auto *common = qobject_cast<IClsCommon *>(v.value<QObject *>());
            gClsCommon = std::shared_ptr<IClsCommon>(common, [](IClsCommon *) {});
        });
    PERIKON_VALUE(QString, gUserId);
    PERIKON_VALUE(QString, gUserName);
    PERIKON_VALUE(QString, gAccountDb);
    PERIKON_VALUE(QString, gServerDate);
    PERIKON_OWNED(PubService, gPubService);
    PERIKON_OWNED(ColumnSetService, gColumnSet);
    PERIKON_OWNED(QObject, gRowAuth);
    PERIKON_OWNED(ColumnAuthService, gColAuth);
    PERIKON_OWNED(QObject, gFunctionTask);
    PERIKON_POINTER(gProduct);
    PERIKON_POINTER(gActiveFrmMgr);
    PERIKON_POINTER(gViewManager);
    PERIKON_POINTER(gBusiness);
    PERIKON_VALUE(bool, gToolbarVisible);
    PERIKON_VALUE(bool, gLoggedIn);
    PERIKON_VALUE(bool, gFirstLoad);
    PERIKON_OWNED(clsLogin, gClsLogin);
    PERIKON_VALUE(QString, gArchiveCusCode);
    PERIKON_VALUE(QString, gArchiveCusName);
    PERIKON_VALUE(QString, gLastError);
    PERIKON_VALUE(bool, gDefaultContactChanged);

    PERIKON_VALUE(QString, gColAuthRead);
    PERIKON_VALUE(QString, gColAuthWrite);
    PERIKON_VALUE(QString, gColAuthN);
    PERIKON_VALUE(QString, gRowAuthRead);
    PERIKON_VALUE(QString, gRowAuthWrite);
    PERIKON_VALUE(int, gMaxPageSize);
    PERIKON_VALUE(int, gPageCount);
    PERIKON_VALUE(QString, gListSelectCols);
    PERIKON_VALUE(QString, gListColInfoXml);
    PERIKON_VALUE(bool, gListDirty);
    GlobalRegistry::registerValue(
        QStringLiteral("gYesNoText"),
        [] {
            return QVariant(QStringList{gYesNoText[0], gYesNoText[1]});
        },
        [](const QVariant &v) {
            const QStringList texts = v.toStringList();
            gYesNoText = {texts.value(0), texts.value(1)};
        });

    PERIKON_VALUE(QString, gCardColInfoXml);
    PERIKON_VALUE(QString, gContactTs);

    PERIKON_VALUE(QString, gBatchCatalogXml);
    PERIKON_VALUE(QStringList, gSexNames);
    PERIKON_VALUE(QStringList, gMarriageNames);
    PERIKON_VALUE(int, gDefine13Decimals);
    PERIKON_VALUE(int, gDefine14Decimals);

    GlobalRegistry::registerValue(
        QStringLiteral("gMsgTitle"), [] { return gMsgTitle ? QVariant(*gMsgTitle) : QVariant(); },
        [](const QVariant &v) {
            if (v.isNull())
                gMsgTitle.reset();
            else
                gMsgTitle = v.toString();
        });
    return true;
}();

} // namespace
} // namespace perikon
