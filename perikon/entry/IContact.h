#pragma once

#include "perikon/PerikonExport.h"
#include "perikon/data/db/Recordset.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <pugixml.hpp>

namespace perikon {

class IClsCommon;

// The class the host creates by name. It logs the session in, and offers the contact services
// other components call. Its events let a host answer questions on its behalf; only
// EventGetColInfo and EventGetColSet are raised.
class PERIKON_EXPORT IContact : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject *Business READ Business WRITE setBusiness)

public:
    Q_INVOKABLE explicit IContact(QObject *parent = nullptr);
    // An instance that set up the session releases the session's objects when it goes.
    ~IContact() override;

    // Opens the contact list for the login: modal outside the host's portal (no product or form
    // manager), modeless inside it, or through the portal's business object when one is given.
    // A list already open comes to the front instead.
    Q_INVOKABLE void Show(QObject *oLogin, bool bIsToolbarVisible = false,
                          QObject *oProduct = nullptr, QObject *oActiveFrmMgr = nullptr,
                          QObject *oViewManager = nullptr, QObject *Business = nullptr);
    // Opens the list limited to one customer's contacts, as a customer's archive asks for it.
    Q_INVOKABLE void
    showCalledByCusomterArchive(QObject *oLogin, QString &customerCode, QString &customerName,
                                bool bIsToolbarVisible = false, QObject *oProduct = nullptr,
                                QObject *oActiveFrmMgr = nullptr, QObject *oViewManager = nullptr);
    Q_INVOKABLE bool Login(QObject *oLogin);
    Q_INVOKABLE bool LogOff();

    QObject *Business() const;
    void setBusiness(QObject *business);

    // The host portal's login interface.
    Q_INVOKABLE bool ILoginable_Login();
    Q_INVOKABLE bool ILoginable_LogOff();
    // Opens the list for the portal's login; the texts are not read. Always an empty object.
    Q_INVOKABLE QObject *ILoginable_CallFunction(const QString &a = QString(),
                                                 const QString &b = QString(),
                                                 const QString &c = QString(),
                                                 const QString &d = QString());

    // Asks the listeners of EventGetColInfo; empty text when nobody answers.
    Q_INVOKABLE QString getColInfo(const QString &cKey, int iReturnMode = 0);
    // Asks the listeners of EventGetColSet; nullptr when nobody answers.
    Q_INVOKABLE perikon::db::Recordset *getColSet(const QString &cKey, int iReturnMode = 0);

    // Runs strSql through the session's data-access object and gives all its rows in RsRef; the
    // paging arguments are left alone (the list pages the result itself).
    Q_INVOKABLE void OpenPage(const QString &strSql, int &lPageSize, int &lCurPage,
                              int &lMaxPageCount, perikon::db::Recordset *&RsRef);
    Q_INVOKABLE void OpenPage(const QString &strSql, int &lPageSize, int &lCurPage,
                              int &lMaxPageCount, perikon::db::Recordset *&RsRef, QString &sMsg,
                              bool &bFlag, bool &bRef);

    // Kept for hosts built against the published interface; they change nothing.
    Q_INVOKABLE bool CheckRefed(QVariant &ID, QString &IDName, QString &TableName, QObject *ICom,
                                const QString &cUserId = QString());
    Q_INVOKABLE bool DelCustomer(const QString &strCusCode);

    // The save steps of a contact row: code, stamps, user-defined checks, former customer,
    // picture, extension row, related persons, dimensions, required columns. tOpt 1 insert,
    // 2 modify. False with the reason in gLastError.
    bool Trans(int tOpt, pugi::xml_node &Ele, db::Recordset *rst, const QString &TableName,
               IClsCommon &ICom);
    // Keeps the customer's default-contact columns in step with the saved contact. Always true.
    bool TransUpdateCustomer(int opt, pugi::xml_node Ele, IClsCommon &ICom);
    // Checks the user-defined fields of a row against their definitions; false with gLastError.
    bool CheckComUserDef(pugi::xml_node Ele, int opt, IClsCommon &ICom, const QString &sArch,
                         const QString &sUserDefField);

signals:
    void EventOpenX(const QString &strSql, perikon::db::Recordset *&rst, QString &sMsg);
    void EventOpenPage(const QString &strSql, int &iPageSize, int &lCurPage, int &lMaxPageCount,
                       perikon::db::Recordset *&RsRef, QString &sMsg, bool &bFlag);
    void EventGetFunAuth(QObject *oLogin, const QString &sArch, qint16 bIsLock, QString &sErr,
                         qint16 OptId, const QString &sAuth_Id, qint16 iYear, bool &bFlag);
    void EventAdd(const QString &sXML, const QString &TableName, QString &sMsg, bool &bErr);
    void EventModify(const QString &sXML, const QString &TableName, QString &sMsg, bool &bErr);
    void EventDelete(const QVariant &ID, const QString &IDName, const QString &TableName,
                     QString &sMsg, const QString &cUserId, bool &bErr);
    void EventFind(const QString &sXML, QStringList &FindTableName, QStringList &ShowTableName,
                   QString &sMsg, perikon::db::Recordset *&rst);
    void EventExecuteX(const QString &strSql, bool &bFlag);
    void EventGetColInfo(const QString &cKey, quint8 iReturnMode, QString &sXML);
    void EventGetColSet(const QString &cKey, quint8 iReturnMode, QObject *&rs);
    void EventSaveRs(QString &sXML, bool &bFlag);
    void EventGetSqlString(const QString &sXML, QString &strSql);
    void EventGetOrderString(const QString &sXML, QString &str);
    void EventiCols(int &col);
    void EventGetFixedCols(int &fixCol);
    void EventGetAuthString(const QString &TableName, QString &sId);

private:
    // The save steps, in the order Trans runs them.
    bool EnsureContactCode(pugi::xml_node Ele, IClsCommon &ICom);
    QString NextContactCode(IClsCommon &ICom);
    // The steps of a contact row after its checks: former customer, picture, extension row,
    // related persons, dimensions, required columns. False when the row must not be written.
    // `stored` is the row being written (nullptr for a new one).
    bool runCompanionSteps(pugi::xml_node &Ele, IClsCommon *&com, const db::Recordset *stored);
    // `stored` is the contact row as the caller has just read it, or nullptr to read it here.
    bool ClearOldCustomerDefault(pugi::xml_node Ele, IClsCommon &ICom, const db::Recordset *stored);
    bool TransConExtraUserDef(pugi::xml_node Ele, IClsCommon &ICom);
    bool TransContactPerson(pugi::xml_node &Ele, IClsCommon *&ICom);
    bool TransContactDimension(pugi::xml_node &Ele, IClsCommon *&ICom);
    bool runTransferService(const QString &service, const QString &procedure, pugi::xml_node &Ele,
                            IClsCommon *&ICom);
    // The server time through the host's public service, created first when `create` is set.
    QString serverTime(IClsCommon *&ICom);

    // Show's steps after the function task began: false when the list must not open.
    bool prepareSession(QObject *oLogin, bool bIsToolbarVisible, QObject *oProduct,
                        QObject *oActiveFrmMgr, QObject *oViewManager);
    void openList(QWidget *form, QObject *Business);

    // The save steps' operation code while Trans runs (1 insert, 2 modify).
    int m_operation = 0;
    // Set when this instance filled the session values (Show, the portal login).
    bool m_ownsSession = false;
};

} // namespace perikon
