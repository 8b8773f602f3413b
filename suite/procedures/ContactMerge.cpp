#include "suite/procedures/ContactMerge.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/LocalText.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/UnitOfWork.h"

namespace perikon::suite {
namespace {

const QString kSource = QStringLiteral("Perikon.Suite.sp_ContactMerg_CRM");

[[noreturn]] void fail(const QString &reason)
{
    throw db::DbError(db::DbError::ProviderError, reason, kSource);
}

QString literal(const QString &value)
{
    return db::sqlNQuoted(value);
}

bool isTable(const QString &name, const char *table)
{
    return name.compare(QLatin1String(table), Qt::CaseInsensitive) == 0;
}

} // namespace

void ContactMerge::run(db::Connection &connection, const QStringList &arguments)
{
    if (!isTable(arguments.value(0).trimmed(), "Crm_Contact"))
        return;
    ContactMerge(connection, arguments.value(1).trimmed(), arguments.value(2).trimmed()).merge();
}

ContactMerge::ContactMerge(db::Connection &connection, QString code1, QString code2)
    : m_connection(connection)
    , m_code1(std::move(code1))
    , m_code2(std::move(code2))
{}

ContactMerge::Contact ContactMerge::readContact(const QString &code) const
{
    const QList<QStringList> rows
        = queryRows(m_connection,
                    QStringLiteral("select OID, cContactName from Crm_Contact where cContactCode=")
                        + literal(code));
    if (rows.isEmpty())
        fail(localText(QStringLiteral("联系人%1不存在，无法合并。"),
                       QStringLiteral("Contact %1 does not exist; nothing was merged."))
                 .arg(code));
    return {code, rows.first().at(0), rows.first().at(1)};
}

QList<ContactMerge::Reference> ContactMerge::readReferences() const
{
    const QList<QStringList> rows = queryRows(
        m_connection,
        QStringLiteral("select creferencedtablekey, creferencingtablename, creferencingtablecolumn "
                       "from crm_ref_relation where lower(creferencedtablename)=N'crm_contact' "
                       "order by ID"));
    QList<Reference> references;
    for (const QStringList &row : rows) {
        const Reference reference{row.at(0).trimmed(), row.at(1).trimmed(), row.at(2).trimmed()};
        if (!isPlainName(reference.key) || !isPlainName(reference.referencingTable)
            || !isPlainName(reference.referencingColumn))
            fail(localText(QStringLiteral("引用声明 %1.%2 → %3 的名称无效，未合并。"),
                           QStringLiteral("The declared reference %1.%2 -> %3 has an invalid "
                                          "name; nothing was merged."))
                     .arg(reference.referencingTable, reference.referencingColumn, reference.key));
        // Related persons and grants are moved below, where duplicates are taken care of.
        if (isTable(reference.referencingTable, "crm_contact_User")
            || isTable(reference.referencingTable, "crm_contact_Auth"))
            continue;
        references.append(reference);
    }
    return references;
}

QString ContactMerge::keyValue(const Contact &contact, const QString &key) const
{
    if (key.compare(QLatin1String("OID"), Qt::CaseInsensitive) == 0)
        return contact.oid;
    if (key.compare(QLatin1String("cContactCode"), Qt::CaseInsensitive) == 0)
        return contact.code;
    const QList<QStringList> rows
        = queryRows(m_connection, QStringLiteral("select ") + key
                                      + QStringLiteral(" from Crm_Contact where cContactCode=")
                                      + literal(contact.code));
    return rows.isEmpty() ? QString() : rows.first().first();
}

void ContactMerge::moveReference(const Reference &reference)
{
    const QString from = keyValue(m_from, reference.key);
    const QString to = keyValue(m_to, reference.key);
    if (from.isEmpty())
        return;
    // cwherepart narrows what counts as "in use" for the delete check; here every row that
    // points at the old contact must move, or it would point at nothing.
    m_connection.execute(QStringLiteral("update ") + reference.referencingTable
                         + QStringLiteral(" set ") + reference.referencingColumn + u'='
                         + literal(to) + QStringLiteral(" where ") + reference.referencingColumn
                         + u'=' + literal(from));
}

void ContactMerge::moveCompanionRows(const QString &table, const QStringList &keyColumns,
                                     const QStringList &otherColumns)
{
    QStringList matches;
    for (const QString &column : keyColumns)
        matches.append(QStringLiteral("b.") + column + QStringLiteral("=a.") + column);
    QStringList selected;
    for (const QString &column : keyColumns + otherColumns)
        selected.append(QStringLiteral("a.") + column);
    const QString columns = (QStringList{QStringLiteral("Contact_Id")} + keyColumns + otherColumns)
                                .join(QStringLiteral(", "));
    m_connection.execute(QStringLiteral("insert into ") + table + QStringLiteral(" (") + columns
                         + QStringLiteral(") select ") + literal(m_code2) + QStringLiteral(", ")
                         + selected.join(QStringLiteral(", ")) + QStringLiteral(" from ") + table
                         + QStringLiteral(" a where a.Contact_Id=") + literal(m_code1)
                         + QStringLiteral(" and not exists (select 1 from ") + table
                         + QStringLiteral(" b where b.Contact_Id=") + literal(m_code2)
                         + QStringLiteral(" and ") + matches.join(QStringLiteral(" and ")) + u')');
    m_connection.execute(QStringLiteral("delete from ") + table
                         + QStringLiteral(" where Contact_Id=") + literal(m_code1));
}

void ContactMerge::merge()
{
    if (m_code1.isEmpty() || m_code2.isEmpty())
        fail(localText(QStringLiteral("合并需要两个联系人编码。"),
                       QStringLiteral("A merge needs two contact codes.")));
    if (m_code1 == m_code2)
        fail(localText(QStringLiteral("联系人%1不能合并到自身。"),
                       QStringLiteral("Contact %1 cannot be merged into itself."))
                 .arg(m_code1));

    // Everything is read before the first write: the checks must pass with nothing changed.
    m_from = readContact(m_code1);
    m_to = readContact(m_code2);
    const QList<Reference> references = readReferences();

    UnitOfWork work(m_connection, QStringLiteral("contact_merge"));
    const QString from = literal(m_code1);
    const QString to = literal(m_code2);
    // Subordinates follow; the surviving contact cannot become its own superior.
    m_connection.execute(
        QStringLiteral("update Crm_Contact set cSuperiorID=null where cContactCode=") + to
        + QStringLiteral(" and cSuperiorID=") + from);
    m_connection.execute(QStringLiteral("update Crm_Contact set cSuperiorID=") + to
                         + QStringLiteral(" where cSuperiorID=") + from);
    m_connection.execute(QStringLiteral("update Customer set ccuscontactcode=") + literal(m_to.oid)
                         + QStringLiteral(", cCusPerson=") + literal(m_to.name)
                         + QStringLiteral(" where ccuscontactcode=") + literal(m_from.oid));
    for (const Reference &reference : references)
        moveReference(reference);
    moveCompanionRows(QStringLiteral("crm_contact_Auth"),
                      {QStringLiteral("Privilege_Type"), QStringLiteral("Privilege_ID")}, {});
    moveCompanionRows(QStringLiteral("crm_contact_User"), {QStringLiteral("User_Id")},
                      {QStringLiteral("iUserType")});
    m_connection.execute(QStringLiteral("delete from Crm_Contact_extradefine where OID=")
                         + literal(m_from.oid));
    m_connection.execute(QStringLiteral("delete from Crm_Contact where cContactCode=") + from);
    work.commit();
}

} // namespace perikon::suite
