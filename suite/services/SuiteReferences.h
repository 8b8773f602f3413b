#pragma once

#include "perikon/host/contract/ReferenceServices.h"

#include <QPointer>
#include <QStringList>

#include <memory>

namespace perikon::db {
class Connection;
class Recordset;
} // namespace perikon::db

namespace perikon::suite {

struct RefQuery;

// "ReferenceClient": a RefDialog over any query of the login's account.
class SuiteReferenceClient : public ReferenceClient
{
    Q_OBJECT
public:
    SuiteReferenceClient();
    ~SuiteReferenceClient() override;

    void SetLogin(QObject *login) override;
    void SetRWAuth(bool on) override { m_rwAuth = on; }
    bool StrRefInit(const QString &sql, const QString &keyColumn, const QString &shownColumns,
                    const QString &settingsXml, const QString &filterText, QString &error) override;
    bool ItemRefInit(const QString &itemClass, const QString &condition, QString &error) override;
    void SetConditions(const QString &conditionsXml, const QString &filter) override;
    bool Show(QWidget *parent) override;
    QObject *recmx() override;
    QObject *RstSelClass() override;

    // The statement Show reads its rows from, after StrRefInit or ItemRefInit.
    QString rowsSql() const { return m_sql; }

private:
    bool ensureConnection(QString &error);
    // The chosen rows of the reference, all columns, in the order chosen.
    std::unique_ptr<db::Recordset> readChosen(const QString &sql, const QStringList &keys);

    QPointer<QObject> m_login;
    std::unique_ptr<db::Connection> m_connection;
    bool m_rwAuth = true;
    QString m_sql;
    QString m_keyColumn;
    QStringList m_shownColumns;
    QStringList m_preselected;
    bool m_multiSelect = false;
    QString m_filterText;
    QString m_itemClass;
    QString m_conditionsXml;
    QString m_conditionFilter;
    std::unique_ptr<db::Recordset> m_chosen;
    std::unique_ptr<db::Recordset> m_chosenClass;
};

// "BaseCodeReference": the names of one type of Crm_BaseCode.
class SuiteBaseCodeReference : public BaseCodeReference
{
    Q_OBJECT
public:
    bool Show(QObject *login, const QString &type, QWidget *parent, QString &name) override;
};

// "CrmCustomerArchive" and "CrmPersonArchive".
class SuiteArchiveReference : public ArchiveReference
{
    Q_OBJECT
public:
    // `referenceKey` of the suite's reference catalogue ("Customer_AA", "Person_AA",
    // "Contact_Note").
    explicit SuiteArchiveReference(QString referenceKey);
    ~SuiteArchiveReference() override;

    QObject *GetRecordRst(QObject *login, const QString &filterText, const QString &condition,
                          QWidget *parent, QString &error) override;

private:
    QString m_referenceKey;
    std::unique_ptr<SuiteReferenceClient> m_client;
};

// The caption of a reference's column in the session language; the field's own name when the
// suite has none for it.
QString referenceColumnCaption(const QString &field);

} // namespace perikon::suite
