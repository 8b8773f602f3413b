#include "perikon/data/ContactWriter.h"

#include "perikon/data/Common.h"
#include "perikon/data/DataErrors.h"
#include "perikon/data/DataSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Field.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/entry/IContact.h"
#include "perikon/session/SessionGlobals.h"

#include <QDateTime>

namespace perikon::internal {

using namespace transXML;

namespace {

const QString kModule = QStringLiteral("IClsCommon");

bool isTable(const QString &tableName, const char *name)
{
    return tableName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// Opens the single stored row a WHERE clause selects, updatable in place.
void openForUpdate(db::Recordset &rs, const QString &tableName, const QString &where,
                   db::Connection *connection)
{
    rs.open(QStringLiteral("SELECT TOP 1 * FROM  ") + tableName + QStringLiteral(" WHERE ") + where,
            connection, db::Recordset::OpenDynamic, db::Recordset::LockOptimistic, -1);
}

// A stored value as record XML gives it: booleans as 1/0, dates in the system's form, NULL empty.
QString storedColumnText(const db::Field &field, const QVariant &value)
{
    if (field.type() == db::ColumnType::Boolean)
        return value.isNull() ? QString()
                              : (value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().toString(db::kDateTimeFormat);
    return value.isNull() ? QString() : value.toString();
}

// The current row of `stored` as the children of storedRow.
void appendStoredColumns(db::Recordset &stored, const QString &tableName, pugi::xml_node storedRow)
{
    for (int i = 0; i < stored.fieldCount(); ++i) {
        const db::Field field = stored.field(i);
        if (field.name().compare(QLatin1String("i_id"), Qt::CaseInsensitive) == 0
            && isTable(tableName, "inventory"))
            continue;
        const QString text = storedColumnText(field, stored.value(i));
        storedRow.append_child(utf8(field.name()).c_str()).text().set(utf8(text).c_str());
    }
}

} // namespace

ContactWriter::ContactWriter(IClsCommon &com, const QString &tableName)
    : m_com(com)
    , m_tableName(tableName)
{}

bool ContactWriter::isContactTable() const
{
    return isTable(m_tableName, "Crm_Contact");
}

bool ContactWriter::write(pugi::xml_node row)
{
    if (!isContactTable() && !isTable(m_tableName, "Crm_BaseCode")) {
        gLastError = dataMessage(QStringLiteral("K2.CRM.QZBaseCodeRefer.clscommon.00083"));
        return false;
    }
    const QString code = childText(row, QStringLiteral("ccontactcode"));
    IContact saveSteps;
    db::Recordset rs;
    rs.setCursorLocation(db::Recordset::UseClient);
    const bool found
        = isContactTable() ? openStoredContact(row, code, rs) : openStoredBaseCode(row, rs);
    if (!found)
        return false;

    m_rowOid = GetAttrValue(row, QStringLiteral("oid"));
    m_rowCode = code;
    if (!saveSteps.Trans(2, row, &rs, m_tableName, m_com))
        return false;
    if (!m_com.SetFieldValue(rs, row))
        return false;
    rs.update();
    rs.close();
    if (isContactTable())
        saveSteps.TransUpdateCustomer(2, row, m_com);
    return true;
}

bool ContactWriter::openStoredContact(pugi::xml_node row, const QString &code, db::Recordset &rs)
{
    openForUpdate(rs, m_tableName,
                  QStringLiteral("cContactCode=N'") + db::sqlEscaped(code) + QStringLiteral("'"),
                  m_com.connection());
    if (rs.recordCount() == 0) {
        gLastError
            = dataMessage(code.isEmpty() ? QStringLiteral("K2.CRM.QZContact.frmcontactedit.00079")
                                         : QStringLiteral("K2.CRM.COMMON.DBMSG.0400"));
        return false;
    }
    // The save steps find the contact by its OID; a row that came without one gets the stored.
    if (GetAttrValue(row, QStringLiteral("oid")).isEmpty()) {
        const QString oid = rs.value(QStringLiteral("OID")).toString();
        pugi::xml_attribute attribute = row.attribute("oid");
        if (!attribute)
            attribute = row.append_attribute("oid");
        attribute.set_value(utf8(oid).c_str());
    }
    return versionUnchanged(code);
}

// The stored row version against the one the card read (gContactTs): another operator's change in
// between refuses the write. An empty gContactTs asks for no check.
bool ContactWriter::versionUnchanged(const QString &code)
{
    if (gContactTs.trimmed().isEmpty())
        return true;
    std::unique_ptr<db::Recordset> version(m_com.OpenX(
        QStringLiteral("select top 1 convert(char, convert(money,qzts), 2) as qzts from  ")
        + m_tableName + QStringLiteral(" Where cContactCode=N'") + db::sqlEscaped(code)
        + QStringLiteral("'")));
    QString current;
    if (version && version->recordCount() > 0)
        current = NullTo(version->value(0), QString()).toString();
    if (gContactTs.trimmed() != current.trimmed()) {
        gLastError = dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Upt01"));
        return false;
    }
    return true;
}

// A code-list row is found by its id when it has one, else by type and name.
bool ContactWriter::openStoredBaseCode(pugi::xml_node row, db::Recordset &rs)
{
    const QString id = childText(row, QStringLiteral("id"));
    const QString where
        = !id.isEmpty()
              ? QStringLiteral("ID=") + QString::number(id.toLongLong())
              : QStringLiteral("cType=N'") + db::sqlEscaped(childText(row, QStringLiteral("ctype")))
                    + QStringLiteral("' and cName=N'")
                    + db::sqlEscaped(childText(row, QStringLiteral("cname"))) + QStringLiteral("'");
    openForUpdate(rs, m_tableName, where, m_com.connection());
    if (rs.recordCount() == 0) {
        gLastError = dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0400"));
        return false;
    }
    return true;
}

bool ContactWriter::completeFromStored(pugi::xml_node row)
{
    const QString code = childText(row, QStringLiteral("ccontactcode"));
    std::unique_ptr<db::Recordset> stored(m_com.OpenX(Common::ToNSqlLiterals(
        QStringLiteral("SELECT TOP 1 * FROM  ") + m_tableName
        + QStringLiteral(" WHERE cContactCode=N'") + db::sqlEscaped(code) + QStringLiteral("'"))));
    if (!stored || stored->recordCount() == 0) {
        gLastError = dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0400"));
        return false;
    }
    pugi::xml_document storedDocument;
    const std::string rowName = utf8(m_tableName.toLower());
    pugi::xml_node storedRow = storedDocument.append_child("data").append_child(rowName.c_str());
    appendStoredColumns(*stored, m_tableName, storedRow);
    for (pugi::xml_node column : storedRow.children()) {
        const std::string lower = utf8(QString::fromUtf8(column.name()).toLower());
        // The stored picture stays as it is: a picture element would ask the save to store it
        // anew, and an absent one leaves the column alone.
        if (lower == "pictureguid")
            continue;
        if (!row.child(lower.c_str())) {
            pugi::xml_node copy = row.append_copy(column);
            copy.set_name(lower.c_str());
        }
    }
    return true;
}

void ContactWriter::removeOrphanedCompanions()
{
    // The contact was deleted while its save steps ran: what they wrote for it has no owner.
    // Only rows of this contact go, and only while no contact of that OID or code exists.
    const QString byOid = QStringLiteral("=N'") + db::sqlEscaped(m_rowOid) + QStringLiteral("'");
    const QString byCode = QStringLiteral("=N'") + db::sqlEscaped(m_rowCode) + QStringLiteral("'");
    db::Connection *connection = m_com.connection();
    try {
        connection->execute(QStringLiteral("delete from Crm_Contact_extradefine where OID") + byOid
                            + QStringLiteral(" and not exists (select 1 from Crm_Contact where OID")
                            + byOid + QStringLiteral(")"));
        for (const char *table : {"crm_contact_Auth", "crm_contact_User"})
            connection->execute(
                QStringLiteral("delete from ") + QString::fromLatin1(table)
                + QStringLiteral(" where Contact_Id") + byCode
                + QStringLiteral(" and not exists (select 1 from Crm_Contact where cContactCode")
                + byCode + QStringLiteral(")"));
    } catch (...) {
        logDataError(kModule, QStringLiteral("Modify"), currentError());
    }
}

} // namespace perikon::internal
