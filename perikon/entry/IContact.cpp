// IContact: login, the portal interface, and the small services for other components.

#include "perikon/entry/IContact.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/host/ResText.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/ClassRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <QGuiApplication>
#include <QStatusBar>
#include <QWidget>

namespace perikon {

PERIKON_REGISTER_CLASS("Perikon.IContact", IContact)

IContact::IContact(QObject *parent)
    : QObject(parent)
{}

IContact::~IContact()
{
    // Instances the data-access object makes for the save steps must not end the session.
    if (!m_ownsSession)
        return;
    gListColInfoXml.clear();
    gPubService.reset();
    gColumnSet.reset();
    gRowAuth.reset();
    gColAuth.reset();
    gLogin = nullptr;
    gClsCommon.reset();
    gListForm = nullptr;
}

bool IContact::Login(QObject *oLogin)
{
    return oLogin != nullptr;
}

bool IContact::LogOff()
{
    return true;
}

QObject *IContact::Business() const
{
    return gBusiness;
}

void IContact::setBusiness(QObject *business)
{
    gBusiness = business;
}

bool IContact::ILoginable_Login()
{
    if (!gBusiness)
        return gLoggedIn;
    QObject *login = nullptr;
    QMetaObject::invokeMethod(gBusiness, "GetVBclsLogin", Qt::DirectConnection,
                              Q_RETURN_ARG(QObject *, login));
    gLogin = login;
    m_ownsSession = true;
    const bool result = Login(login);
    if (result)
        gLoggedIn = true;
    return result;
}

bool IContact::ILoginable_LogOff()
{
    if (!gLoggedIn)
        return true;
    const bool result = LogOff();
    if (result)
        gLoggedIn = false;
    return result;
}

QString IContact::getColInfo(const QString &cKey, int iReturnMode)
{
    QString sXML;
    emit EventGetColInfo(cKey, quint8(iReturnMode), sXML);
    return sXML;
}

db::Recordset *IContact::getColSet(const QString &cKey, int iReturnMode)
{
    QObject *rs = nullptr;
    emit EventGetColSet(cKey, quint8(iReturnMode), rs);
    return qobject_cast<db::Recordset *>(rs);
}

void IContact::OpenPage(const QString &strSql, int &lPageSize, int &lCurPage, int &lMaxPageCount,
                        db::Recordset *&RsRef)
{
    QString sMsg;
    bool bFlag = false;
    bool bRef = false;
    OpenPage(strSql, lPageSize, lCurPage, lMaxPageCount, RsRef, sMsg, bFlag, bRef);
}

void IContact::OpenPage(const QString &strSql, int &, int &, int &, db::Recordset *&RsRef,
                        QString &, bool &, bool &)
{
    const bool showsBusy = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
    if (showsBusy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    if (gListForm) {
        if (auto *status = gListForm->findChild<QStatusBar *>())
            status->showMessage(
                GetResText(QStringLiteral("K2.CRM.QZCompetitor.icompetitor.00161")));
    }
    if (gClsCommon) {
        bool flag = false;
        QString message;
        RsRef = gClsCommon->OpenX(strSql, flag, message);
    }
    if (showsBusy)
        QGuiApplication::restoreOverrideCursor();
}

bool IContact::CheckRefed(QVariant &, QString &, QString &, QObject *, const QString &)
{
    return false;
}

bool IContact::DelCustomer(const QString &)
{
    return false;
}

} // namespace perikon
