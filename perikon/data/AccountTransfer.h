#pragma once

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

#include <memory>

namespace perikon {
class IClsCommon;
namespace db {
class Connection;
}
} // namespace perikon

namespace perikon::internal {

// The account-level write of IClsCommon::AddInDiffDB: rows of UA_Account_Sub go into the system
// database on a connection of their own, then the caller's statements run in another account
// database inside a transaction on a second connection. Both connections are private to the
// transfer, so the component's own connection keeps its default database.
class AccountTransfer
{
public:
    AccountTransfer(IClsCommon &com, const QString &tableName);
    ~AccountTransfer();

    // Writes the rows of root and runs statements in database. False with sMsg set when a row
    // may not be written (its connections are closed then); database errors are thrown.
    bool run(pugi::xml_node root, const QStringList &statements, const QString &database,
             QString &sMsg);

    // After a thrown error, before abandon(): whether a connection could not be opened or lost
    // its link on the way.
    bool connectionFailed() const;
    // After a thrown error: rolls back what is open and closes both connections.
    void abandon();

private:
    void openConnections();
    bool writeRows(pugi::xml_node root, QString &sMsg);
    bool writeRow(pugi::xml_node row, QString &sMsg);
    void runStatements(const QStringList &statements, const QString &database);

    IClsCommon &m_com;
    QString m_tableName;
    std::unique_ptr<db::Connection> m_system;
    std::unique_ptr<db::Connection> m_account;
    bool m_connecting = false;
};

} // namespace perikon::internal
