#pragma once

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

namespace perikon {
class IClsCommon;
struct ColumnAuthAnswer;
} // namespace perikon

namespace perikon::internal {

// The archive operations a row handed to IClsCommon::Modify may ask for through its "operating"
// attribute instead of being written: precompile, systemstart, getauthflds and unite (the archive
// merge through the suite's procedures, then the contact service's own merge when the row carries
// content).
class ArchiveOperations
{
public:
    ArchiveOperations(IClsCommon &com, const QString &tableName);

    // Runs the operation and gives Modify's result for it; on failure sMsg tells why.
    bool perform(pugi::xml_node row, const QString &operating, QString &sMsg);

private:
    bool run(pugi::xml_node row, const QString &operation, QString &sMsg);
    bool systemStarted(pugi::xml_node row);
    bool reportAuthorizedFields(pugi::xml_node row);
    ColumnAuthAnswer askColumnAuth(pugi::xml_node row);
    QString everyColumn();
    bool unite(pugi::xml_node row, QString &sMsg);
    bool uniteContactService(pugi::xml_node row, QString &sMsg);

    // Runs a merge procedure through its proxy, which leaves its status in a scratch table of
    // tempdb; `returned` receives the procedure's message. The scratch table is dropped after.
    bool runThroughProxy(const QString &procedure, const QStringList &parameters, QString &returned,
                         const QString &failureStatus);
    QString freeScratchTable();
    bool readProxyStatus(const QString &scratch, QString &returned, const QString &failureStatus,
                         bool &statusRead);

    IClsCommon &m_com;
    QString m_tableName;
};

} // namespace perikon::internal
