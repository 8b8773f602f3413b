#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// "sp_ContactMerg_CRM" (table, code1, code2): merges contact code1 into contact code2. Everything
// that refers to code1 moves to code2: subordinate contacts, the customer's default-contact link,
// every reference declared in crm_ref_relation for Crm_Contact, the related persons and
// dimension grants (without duplicates). Then code1's extension row and contact row go.
// All of it happens in one transaction (a savepoint when the caller has one open); a failure
// throws DbError with the reason and leaves nothing moved. For another table there is nothing of
// contacts to merge.
class ContactMerge
{
public:
    static void run(db::Connection &connection, const QStringList &arguments);

private:
    struct Contact
    {
        QString code;
        QString oid;
        QString name;
    };
    // One declared reference: referencingTable.referencingColumn holds the contact's `key`.
    struct Reference
    {
        QString key;
        QString referencingTable;
        QString referencingColumn;
    };

    ContactMerge(db::Connection &connection, QString code1, QString code2);

    void merge();
    Contact readContact(const QString &code) const;
    QList<Reference> readReferences() const;
    QString keyValue(const Contact &contact, const QString &key) const;
    void moveReference(const Reference &reference);
    void moveCompanionRows(const QString &table, const QStringList &keyColumns,
                           const QStringList &otherColumns);

    db::Connection &m_connection;
    QString m_code1;
    QString m_code2;
    Contact m_from;
    Contact m_to;
};

} // namespace perikon::suite
