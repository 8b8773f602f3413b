#pragma once

#include <QString>

#include <pugixml.hpp>

namespace perikon {
class IClsCommon;
namespace db {
class Recordset;
}
} // namespace perikon

namespace perikon::internal {

// Writes changed rows of Crm_Contact or Crm_BaseCode for IClsCommon::Modify: finds the stored row,
// checks the contact's row version, runs the contact save steps and writes the columns. One writer
// serves every row of one Modify call and remembers the contact it last began to write, so that a
// failure can clean up after it.
class ContactWriter
{
public:
    ContactWriter(IClsCommon &com, const QString &tableName);

    // Writes one row. False with gLastError set when the row may not or cannot be written;
    // database errors are thrown.
    bool write(pugi::xml_node row);

    // Completes a partial contact row from the stored one: every column the row leaves out is
    // copied over, except the picture. False with gLastError set when no such contact is stored.
    bool completeFromStored(pugi::xml_node row);

    // Removes the extension, authorization and user rows of the contact last begun when no
    // contact of its OID or code exists any more. Errors are logged, never thrown.
    void removeOrphanedCompanions();

private:
    bool isContactTable() const;
    bool openStoredContact(pugi::xml_node row, const QString &code, db::Recordset &rs);
    bool openStoredBaseCode(pugi::xml_node row, db::Recordset &rs);
    bool versionUnchanged(const QString &code);

    IClsCommon &m_com;
    QString m_tableName;
    QString m_rowOid; // the contact last begun, for removeOrphanedCompanions
    QString m_rowCode;
};

} // namespace perikon::internal
