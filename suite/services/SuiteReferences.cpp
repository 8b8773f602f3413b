#include "suite/services/SuiteReferences.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostLogin.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/services/RefDialog.h"
#include "suite/services/RefQueryModel.h"
#include "suite/services/ReferenceCatalog.h"
#include "suite/services/ReferenceConditions.h"
#include "suite/services/SuiteSql.h"

namespace perikon::suite {
namespace {

QStringList splitColumns(const QString &columns)
{
    QStringList names;
    for (const QString &name : columns.split(u',', Qt::SkipEmptyParts)) {
        if (!name.trimmed().isEmpty())
            names.append(name.trimmed());
    }
    return names;
}

// The column names of the rows of `sql`, read without reading a row.
QStringList columnsOf(db::Connection &connection, const QString &sql)
{
    QStringList names;
    const std::unique_ptr<db::ResultCursor> cursor = connection.openCursor(
        QStringLiteral("SELECT TOP 0 * FROM (") + sql + QStringLiteral(") refrows"));
    if (cursor) {
        for (const db::ColumnInfo &column : cursor->columns())
            names.append(column.name);
    }
    return names;
}

bool containsNoCase(const QStringList &names, const QString &name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

} // namespace

QString referenceColumnCaption(const QString &field)
{
    const QString key = QStringLiteral("K2.CRM.Ref.Col.") + field.trimmed().toLower();
    const QString caption = ResourceTexts::text(sessionLanguage(), key);
    return caption.isEmpty() || caption == key ? field : caption;
}

SuiteReferenceClient::SuiteReferenceClient() = default;
SuiteReferenceClient::~SuiteReferenceClient() = default;

void SuiteReferenceClient::SetLogin(QObject *login)
{
    if (m_login != login)
        m_connection.reset();
    m_login = login;
}

bool SuiteReferenceClient::ensureConnection(QString &error)
{
    if (m_connection)
        return true;
    const QString account = hostlogin::text(m_login, "qzDBName");
    if (account.isEmpty()) {
        error = ResourceTexts::text(sessionLanguage(), QStringLiteral("K2.CRM.Ref.NoLogin"));
        return false;
    }
    m_connection = openConnection(account);
    if (!m_connection) {
        error = ResourceTexts::text(sessionLanguage(), QStringLiteral("K2.CRM.Ref.NoAccount"));
        return false;
    }
    return true;
}

bool SuiteReferenceClient::StrRefInit(const QString &sql, const QString &keyColumn,
                                      const QString &shownColumns, const QString &settingsXml,
                                      const QString &filterText, QString &error)
{
    m_sql.clear();
    m_chosen.reset();
    m_chosenClass.reset();
    m_itemClass.clear();
    if (!ensureConnection(error))
        return false;
    const QString key = keyColumn.trimmed();
    QStringList shown = splitColumns(shownColumns);
    if (!isPlainName(key) || !std::all_of(shown.cbegin(), shown.cend(), [](const QString &n) {
            return isPlainName(n);
        })) {
        error = ResourceTexts::text(sessionLanguage(), QStringLiteral("K2.CRM.Ref.BadColumns"));
        return false;
    }
    QStringList columns;
    try {
        columns = columnsOf(*m_connection, sql);
    } catch (const db::DbError &failure) {
        error = failure.description();
        return false;
    }
    for (const QString &name : QStringList{key} + shown) {
        if (!containsNoCase(columns, name)) {
            error = ResourceTexts::text(sessionLanguage(), QStringLiteral("K2.CRM.Ref.NoColumn"))
                        .arg(name);
            return false;
        }
    }
    QString rows = sql;
    // Rows of customers the operator may not reach are not offered.
    if (m_rwAuth && containsNoCase(columns, QStringLiteral("cCusCode"))) {
        const QString rights = customerRightsCondition(m_login, QStringLiteral("R"));
        if (!rights.isEmpty())
            rows = QStringLiteral("SELECT * FROM (") + sql
                   + QStringLiteral(") authrows WHERE authrows.cCusCode IS NULL OR "
                                    "authrows.cCusCode IN (SELECT cCusCode FROM Customer WHERE ")
                   + rights + u')';
    }
    m_sql = rows;
    m_keyColumn = key;
    m_shownColumns = shown.isEmpty() ? QStringList{key} : shown;
    m_multiSelect = referenceMultiSelect(settingsXml);
    m_preselected = referenceLastData(settingsXml);
    m_filterText = filterText;
    return true;
}

bool SuiteReferenceClient::ItemRefInit(const QString &itemClass, const QString &condition,
                                       QString &error)
{
    m_sql.clear();
    m_chosen.reset();
    m_chosenClass.reset();
    if (!ensureConnection(error))
        return false;
    const QString itemClassCode = itemClass.trimmed();
    QList<QStringList> classes;
    try {
        // Class codes are digits ("97"): the items' table is fitemss followed by the code.
        if (isPlainName(QStringLiteral("fitemss") + itemClassCode))
            classes = queryRows(*m_connection,
                                QStringLiteral("select citem_name from fitem where citem_class=")
                                    + db::sqlNQuoted(itemClassCode));
    } catch (const db::DbError &failure) {
        error = failure.description();
        return false;
    }
    if (classes.isEmpty()) {
        error = ResourceTexts::text(sessionLanguage(), QStringLiteral("K2.CRM.Ref.NoItemClass"))
                    .arg(itemClassCode);
        return false;
    }
    QString sql = QStringLiteral("SELECT %1 AS citem_class, %2 AS citem_name, citemcode, "
                                 "citemname, citemccode FROM fitemss%3")
                      .arg(db::sqlNQuoted(itemClassCode), db::sqlNQuoted(classes.first().value(0)),
                           itemClassCode);
    if (!condition.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE ") + condition;
    if (!StrRefInit(sql, QStringLiteral("citemcode"), QStringLiteral("citemcode,citemname"), {}, {},
                    error))
        return false;
    m_itemClass = itemClassCode;
    return true;
}

void SuiteReferenceClient::SetConditions(const QString &conditionsXml, const QString &filter)
{
    m_conditionsXml = conditionsXml;
    m_conditionFilter = filter;
}

bool SuiteReferenceClient::Show(QWidget *parent)
{
    m_chosen.reset();
    m_chosenClass.reset();
    if (m_sql.isEmpty() || !m_connection)
        return false;
    const std::optional<QString> narrowing
        = referenceFilterSql(m_conditionsXml, m_conditionFilter, QStringLiteral("condrows"));
    if (!narrowing)
        return false;
    const QString rows = narrowing->isEmpty()
                             ? m_sql
                             : QStringLiteral("SELECT * FROM (") + m_sql
                                   + QStringLiteral(") condrows WHERE ") + *narrowing;
    QList<RefColumn> columns;
    for (const QString &field : std::as_const(m_shownColumns))
        columns.append({field, referenceColumnCaption(field)});
    RefDialog dialog(*m_connection, RefQuery{rows, m_keyColumn, m_shownColumns}, columns, parent);
    if (m_multiSelect)
        dialog.setMultiSelect(m_preselected);
    if (!m_filterText.isEmpty())
        dialog.setFilterText(m_filterText);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenKeys().isEmpty())
        return false;
    m_chosen = readChosen(rows, dialog.chosenKeys());
    if (!m_chosen)
        return false;
    if (!m_itemClass.isEmpty()) {
        // The item rows carry their class already.
        m_chosenClass = readChosen(rows, dialog.chosenKeys());
    }
    return true;
}

std::unique_ptr<db::Recordset> SuiteReferenceClient::readChosen(const QString &sql,
                                                                const QStringList &keys)
{
    QStringList literals;
    for (const QString &key : keys)
        literals.append(db::sqlNQuoted(key));
    auto rows = std::make_unique<db::Recordset>();
    rows->setCursorLocation(db::Recordset::UseClient);
    try {
        rows->open(QStringLiteral("SELECT * FROM (") + sql + QStringLiteral(") refrows WHERE ")
                       + QStringLiteral("refrows.") + m_keyColumn + QStringLiteral(" IN (")
                       + literals.join(u',') + QStringLiteral(") ORDER BY refrows.") + m_keyColumn,
                   m_connection.get(), db::Recordset::OpenStatic, db::Recordset::LockReadOnly);
    } catch (const db::DbError &) {
        return nullptr;
    }
    if (rows->recordCount() == 0)
        return nullptr;
    // In the order chosen, so the first choice is the current row.
    rows->moveFirst();
    for (qint64 i = 0; i < rows->recordCount(); ++i, rows->moveNext()) {
        if (rows->value(m_keyColumn).toString() == keys.first())
            return rows;
    }
    rows->moveFirst();
    return rows;
}

QObject *SuiteReferenceClient::recmx()
{
    return m_chosen.get();
}

QObject *SuiteReferenceClient::RstSelClass()
{
    return m_chosenClass.get();
}

bool SuiteBaseCodeReference::Show(QObject *login, const QString &type, QWidget *parent,
                                  QString &name)
{
    SuiteReferenceClient client;
    client.SetLogin(login);
    QString error;
    if (!client.StrRefInit(QStringLiteral("SELECT ID, cName, cType FROM Crm_BaseCode WHERE cType=")
                               + db::sqlNQuoted(type),
                           QStringLiteral("cName"), QStringLiteral("cName"), {}, {}, error)
        || !client.Show(parent))
        return false;
    auto *chosen = qobject_cast<db::Recordset *>(client.recmx());
    if (!chosen)
        return false;
    name = chosen->value(QStringLiteral("cName")).toString();
    return true;
}

SuiteArchiveReference::SuiteArchiveReference(QString referenceKey)
    : m_referenceKey(std::move(referenceKey))
{}

SuiteArchiveReference::~SuiteArchiveReference() = default;

QObject *SuiteArchiveReference::GetRecordRst(QObject *login, const QString &filterText,
                                             const QString &condition, QWidget *parent,
                                             QString &error)
{
    const std::optional<ReferenceSource> source = referenceSource(m_referenceKey);
    if (!source) {
        error = ResourceTexts::text(sessionLanguage(), QStringLiteral("K2.CRM.Ref.NoSource"))
                    .arg(m_referenceKey);
        return nullptr;
    }
    QStringList conditions;
    if (!source->condition.isEmpty())
        conditions.append(u'(' + source->condition + u')');
    if (!condition.trimmed().isEmpty())
        conditions.append(u'(' + condition + u')');
    // The archive's rows the operator may read.
    if (const QString rights = rightsCondition(*source, login, QStringLiteral("R"));
        !rights.isEmpty())
        conditions.append(u'(' + rights + u')');
    QString sql = QStringLiteral("SELECT * FROM ") + source->table;
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    QStringList shown{source->codeColumn, source->nameColumn};
    shown += source->otherNameColumns;
    m_client = std::make_unique<SuiteReferenceClient>();
    m_client->SetLogin(login);
    // The archive's own rights were applied above.
    m_client->SetRWAuth(false);
    if (!m_client->StrRefInit(sql, source->codeColumn, shown.join(u','), {}, filterText, error))
        return nullptr;
    if (!m_client->Show(parent))
        return nullptr;
    return m_client->recmx();
}

} // namespace perikon::suite
