#pragma once

#include "perikon/PerikonExport.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Recordset.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <pugixml.hpp>

#include <memory>

namespace perikon {

namespace internal {
class AccountTransfer;
class ConnectionScope;
} // namespace internal

// The component's single door to the account database: it binds to the database, runs plain and
// paged queries, and writes record XML as new and changed rows. Every public operation catches its
// own errors, logs them, and reports failure through its result.
//
// Recordsets returned by pointer belong to the caller.
class PERIKON_EXPORT IClsCommon : public QObject
{
    Q_OBJECT
    // True when the instance owns its connection and closes it at its end.
    Q_PROPERTY(bool Status READ Status WRITE setStatus)
    Q_PROPERTY(perikon::db::Connection *m_cnn READ connection WRITE setConnection)
    Q_PROPERTY(QString m_CnnString READ connectionString)
    // The login given by SetLogin (a host login object), or nullptr.
    Q_PROPERTY(QObject *login READ login)

public:
    Q_INVOKABLE explicit IClsCommon(QObject *parent = nullptr);
    ~IClsCommon() override;

    bool Status() const { return m_status; }
    void setStatus(bool status) { m_status = status; }

    // The account connection; a fresh unopened one when none is held, never nullptr.
    db::Connection *connection();
    // Adopts a connection without taking charge of closing it.
    void setConnection(db::Connection *connection);
    QString connectionString() const { return m_connectionString; }

    Q_INVOKABLE void Init(QString &sCnnStr);
    Q_INVOKABLE bool SetLogin(QObject *oLogin);
    QObject *login() const { return m_login; }

    // Client-side, static, optimistic, still connected; nullptr on failure.
    Q_INVOKABLE perikon::db::Recordset *OpenX(const QString &strSql);
    Q_INVOKABLE perikon::db::Recordset *OpenX(const QString &strSql, bool &bFlag);
    Q_INVOKABLE perikon::db::Recordset *OpenX(const QString &strSql, bool &bFlag, QString &sMsg);
    // Server-side, forward-only, read-only; nullptr on failure.
    Q_INVOKABLE perikon::db::Recordset *OpenForward(const QString &strSql);
    Q_INVOKABLE perikon::db::Recordset *OpenForward(const QString &strSql, bool &bFlag);
    Q_INVOKABLE perikon::db::Recordset *OpenForward(const QString &strSql, bool &bFlag,
                                                    QString &sMsg);
    // Runs the statement and gives one page of its rows in RsRef (a disconnected recordset), or all
    // rows when lPageSize is 0 or less. RsRef always receives a new recordset owned by the caller,
    // on failure one opened as far as it got; what it held before is left to the caller.
    Q_INVOKABLE void OpenPage(const QString &strSql, int lPageSize, int &lCurPage,
                              int &lMaxPageCount, perikon::db::Recordset *&RsRef);
    Q_INVOKABLE void OpenPage(const QString &strSql, int lPageSize, int &lCurPage,
                              int &lMaxPageCount, perikon::db::Recordset *&RsRef, QString &sMsg);
    Q_INVOKABLE void OpenPage(const QString &strSql, int lPageSize, int &lCurPage,
                              int &lMaxPageCount, perikon::db::Recordset *&RsRef, QString &sMsg,
                              bool &bFlag);
    Q_INVOKABLE bool ExecuteX(const QString &StrExec);
    Q_INVOKABLE void Terminate();

    // Record XML: normalizes in place (ampersands escaped when bConvertStr, tags lower-cased).
    Q_INVOKABLE void UTLCase(QString &sXML, bool bConvertStr = true);
    Q_INVOKABLE void SetbConvertStr(bool bConvertStr) { m_bConvertStr = bConvertStr; }

    // Inserts the rows of sXML into Crm_Contact or Crm_BaseCode; sXML becomes the stored document.
    Q_INVOKABLE bool Add(QString &sXML, const QString &TableName, QString &sMsg);
    Q_INVOKABLE bool AddInDiffDB(QString &sXML, QStringList &strSql, const QString &CurDBName,
                                 const QString &TableName, QString &sMsg);
    Q_INVOKABLE bool zy_ConvertDB(const QString &CurDBName, QString &sMsg);
    // Writes changed contact rows after the row-version check, or runs the row's archive operation.
    Q_INVOKABLE bool Modify(QString &sXML, QString &TableName, QString &sMsg);
    // Completes a partial row from the stored one and modifies it.
    Q_INVOKABLE bool ModifyDifferent(QString sXML, const QString &TableName, QString &sMsg);
    // Modify's row loop over a document that is normalized and parsed already: the rows of
    // TableName under `root`. Documents the component assembles itself go this way, so that
    // values it copied in are not escaped a second time.
    bool modifyRows(pugi::xml_node root, const QString &TableName, QString &sMsg);
    // Deletes one contact with its companion rows, after the reference checks.
    Q_INVOKABLE bool Delete(const QVariant &ID, const QString &IDName, const QString &TableName,
                            QString &sMsg, const QString &sUserId = QString());
    // True when nothing declared in crm_ref_relation refers to IDValue; RetMsg lists what does.
    Q_INVOKABLE bool CheckRefed(const QVariant &IDValue, const QString &TableName, bool bShowAll,
                                QString &RetMsg, const QString &cUserId = QString());
    Q_INVOKABLE bool BArchIsUsed(const QString &cTableName, const QString &cField,
                                 const QString &cRetval);
    // Query by example over FindTables; nullptr on failure.
    Q_INVOKABLE perikon::db::Recordset *Find(QString sXML, const QStringList &FindTables,
                                             const QStringList &ShowTables, QString &sMsg);
    Q_INVOKABLE bool GetFunAuth(QObject *oLogin, const QString &sArch, qint16 bIsLock,
                                QString &sErr, qint16 OptId = 0,
                                const QString &sAuth_Id = QString(), qint16 iYear = 0);
    // The next free 8-digit contact code. Throws when the stored maximum is not numeric.
    Q_INVOKABLE QString GetContactCode();
    bool CheckColumnNull(pugi::xml_node Element, const QString &TableName);
    Q_INVOKABLE QString GetNotNullMsg(const QString &FldDispName);
    Q_INVOKABLE QString ReIdVal(const QVariant &strTemp);
    // Writes the stored picture to FileName/GUID.<type> and gives that path; empty when none.
    // File errors reach the caller.
    Q_INVOKABLE QString GetPicForCRM(const QString &GUID, const QString &FileName);

    // The XML document record operations parse into; nullptr before Init or after Terminate.
    pugi::xml_document *workingDocument() const { return m_document.get(); }

    // Fills sMsg from gLastError, or with the generic save-failure text when both are empty.
    static void FailWithMessage(QString &sMsg);

    // Parses record XML into the working document; false (gLastError set) when it does not parse.
    bool LoadRecordXml(const QString &sXML);
    // Writes the children of a row element into the current record of rs, column by column (the
    // save steps write the extension row with it too). False with gLastError set.
    bool SetFieldValue(db::Recordset &rs, pugi::xml_node node);

private:
    // Writes through the private connections TransCnn opens and OpenRs reads them.
    friend class internal::AccountTransfer;
    friend class internal::ConnectionScope;

    // CheckRefed without its error handler: database errors reach the caller.
    bool referencesFree(const QVariant &IDValue, const QString &TableName, bool bShowAll,
                        QString &RetMsg);
    // Opens like OpenX on `cnn`, or on m_cnn when `cnn` is nullptr (and then sets it to m_cnn).
    std::unique_ptr<db::Recordset> OpenRs(const QString &strSql, db::Connection *&cnn, bool &bFlag);
    // 1: open a private connection on m_CnnString; 2: close when owned; 3: close and release.
    void TransCnn(std::unique_ptr<db::Connection> &cnn, int mode);
    std::unique_ptr<db::Recordset> openQuery(const QString &strSql, int cursorLocation,
                                             int cursorType, int lockType, const QString &procedure,
                                             bool &bFlag, QString &sMsg);

    bool m_status = false;
    std::unique_ptr<db::Connection> m_ownedConnection;
    QPointer<db::Connection> m_connection;
    QString m_connectionString;
    QPointer<QObject> m_login;
    std::unique_ptr<pugi::xml_document> m_document;
    bool m_bConvertStr = false;
    int m_operationDepth = 0; // public operations running, counting those they call

    // The required columns of the column layout text last read, so that the same layout is not
    // normalized and parsed again on every save.
    struct RequiredColumn
    {
        QString column;
        QString caption;
    };
    QString m_requiredLayout;
    QList<RequiredColumn> m_requiredColumns;
    bool m_requiredKnown = false;
};

} // namespace perikon
