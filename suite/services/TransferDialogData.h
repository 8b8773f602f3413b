#pragma once

#include "suite/services/TransferDialogXml.h"

#include <QList>
#include <QString>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// What the related-persons and dimension dialogs show besides the member XML: the suite's users,
// the dimension types and values, and what is stored for a contact. The statements are SQL
// Server text for the data layer; the loaders throw DbError.

struct SuiteUser
{
    QString id;
    QString name;
    bool disabled = false;
};

struct DimensionType
{
    QString id;
    QString name;
};

struct DimensionValue
{
    QString typeId;
    QString code;
    QString name;
};

// The types a grant may have, the department first, and every value of each.
struct DimensionCatalogue
{
    QList<DimensionType> types;
    QList<DimensionValue> values;

    QList<DimensionValue> valuesOf(const QString &typeId) const;
    QString typeName(const QString &typeId) const;
    QString valueName(const QString &typeId, const QString &code) const;
};

// Every user of the system database, by id.
QString suiteUsersSql();
// The users bound to a contact with their names, by id.
QString storedRelatedPersonsSql(const QString &contactCode);
QString dimensionTypesSql();
QString departmentsSql();
QString dimensionValuesSql();
// The grants on a contact with their type and value names, by type and value. Departments are
// granted under `department`'s id and named by it.
QString storedGrantsSql(const QString &contactCode, const DimensionType &department);

QList<SuiteUser> loadSuiteUsers(db::Connection &connection);
QList<RelatedPerson> loadStoredRelatedPersons(db::Connection &connection,
                                              const QString &contactCode);
DimensionCatalogue loadDimensionCatalogue(db::Connection &connection,
                                          const DimensionType &department);
QList<DimensionGrant> loadStoredGrants(db::Connection &connection, const QString &contactCode,
                                       const DimensionType &department);

} // namespace perikon::suite
