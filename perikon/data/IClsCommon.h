#pragma once

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Recordset.h"

#include <QObject>
#include <QPointer>
#include <QString>


#include <memory>

namespace pugi {
class xml_document;
}

namespace perikon {

// The component's single door to the account database: it binds to the database, runs plain and
// paged queries, and writes record XML as new and changed rows. Every public operation catches its
// own errors, logs them, and reports failure through its result.
//
// Recordsets returned by pointer belong to the caller.
class IClsCommon : public QObject
{
    Q_OBJECT
    // True when the instance owns its connection and closes it at its end.
    Q_PROPERTY(bool Status READ Status WRITE setStatus)
    Q_PROPERTY(perikon::db::Connection *m_cnn READ connection WRITE setConnection)
    Q_PROPERTY(QString m_CnnString READ connectionString)

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
    Q_INVOKABLE perikon::db::Recordset *OpenForward(const QString &strSql, bool &bFlag, QString &sMsg);
    // Runs the statement and gives one page of its rows in RsRef (a disconnected recordset), or all
    // rows when lPageSize is 0 or less. RsRef always receives a new recordset owned by the caller,
    // on failure one opened as far as it got; what it held before is left to the caller.
    Q_INVOKABLE void OpenPage(const QString &strSql, int lPageSize, int &lCurPage, int &lMaxPageCount,
                              perikon::db::Recordset *&RsRef);
    Q_INVOKABLE void OpenPage(const QString &strSql, int lPageSize, int &lCurPage, int &lMaxPageCount,
                              perikon::db::Recordset *&RsRef, QString &sMsg);
    Q_INVOKABLE void OpenPage(const QString &strSql, int lPageSize, int &lCurPage, int &lMaxPageCount,
                              perikon::db::Recordset *&RsRef, QString &sMsg, bool &bFlag);
    Q_INVOKABLE bool ExecuteX(const QString &StrExec);
    Q_INVOKABLE void Terminate();

    // The XML document record operations parse into; nullptr before Init or after Terminate.
    pugi::xml_document *workingDocument() const { return m_document.get(); }

private:
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
};

} // namespace perikon
