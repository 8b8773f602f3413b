#include "suite/controls/batch/BatchLookup.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/ReferenceServices.h"
#include "suite/controls/batch/BatchTexts.h"

#include <array>

namespace perikon::suite::batch {
namespace {

struct ReferenceTable
{
    const char *key;
    const char *table;
    const char *codeColumn;
    const char *nameColumn;
};

// The reference keys the contact catalogue uses for its batch-modifiable fields.
constexpr std::array kReferenceTables{
    ReferenceTable{"Customer_AA", "Customer", "cCusCode", "cCusName"},
    ReferenceTable{"Contact_CS", "Crm_Contact", "cContactCode", "cContactName"},
    ReferenceTable{"Person_AA", "Person", "cPersonCode", "cPersonName"},
    ReferenceTable{"Department_AA", "Department", "cDepCode", "cDepName"},
};

// Names that go into a statement as they are: ASCII letters, digits and '_', not led by a digit.
bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name.front().isDigit())
        return false;
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'_')
            return false;
    }
    return true;
}

QString cellText(db::ResultCursor &cursor, int column)
{
    const QVariant value = cursor.value(column);
    return value.isNull() ? QString() : value.toString().trimmed();
}

} // namespace

std::optional<BatchLookupRows> referenceRows(const QString &key, const QString &returnField)
{
    for (const ReferenceTable &entry : kReferenceTables) {
        if (key.trimmed().compare(QLatin1String(entry.key), Qt::CaseInsensitive) != 0)
            continue;
        const QString code = QString::fromLatin1(entry.codeColumn);
        const QString name = QString::fromLatin1(entry.nameColumn);
        const QString wanted = returnField.trimmed();
        const bool codeWanted = wanted.isEmpty() || wanted.compare(u"id", Qt::CaseInsensitive) == 0
                                || !isPlainName(wanted);
        return BatchLookupRows{QStringLiteral("select * from ") + QLatin1String(entry.table),
                               code,
                               {code, name},
                               codeWanted ? code : wanted};
    }
    return std::nullopt;
}

std::optional<BatchLookupRows> userItemRows(const UserItemSource &item)
{
    if (item.dataSource != 1 || item.archive.isEmpty() || item.field.isEmpty())
        return BatchLookupRows{QStringLiteral("select cValue, cAlias from userdefine where cId=")
                                   + db::sqlNQuoted(item.id),
                               QStringLiteral("cValue"),
                               {QStringLiteral("cValue"), QStringLiteral("cAlias")},
                               QStringLiteral("cValue")};
    if (!isPlainName(item.archive) || !isPlainName(item.field))
        return std::nullopt;
    const QString field = item.field;
    return BatchLookupRows{QStringLiteral("select distinct %1 from %2 where %1 is not null and "
                                          "%1<>N''")
                               .arg(field, item.archive),
                           field,
                           {field},
                           field};
}

BatchLookup::BatchLookup(const BatchTexts &texts)
    : m_texts(texts)
{}

BatchLookup::~BatchLookup() = default;

bool BatchLookup::offers(const BatchField &field)
{
    return field.kind == BatchValueKind::Reference
           && (field.userDefined || referenceRows(field.referenceId, field.returnField));
}

std::optional<BatchLookupRows> BatchLookup::rowsOf(const BatchField &field, QObject *login,
                                                   QString &error)
{
    if (!field.userDefined) {
        std::optional<BatchLookupRows> rows = referenceRows(field.referenceId, field.returnField);
        if (!rows)
            error = m_texts.format("K2.Suite.Batch.NoReference", {field.referenceId});
        return rows;
    }
    const QString account = hostlogin::text(login, "qzDBName");
    try {
        if (!m_connection || m_connectionString != account) {
            m_connection.reset();
            auto connection = std::make_unique<db::Connection>();
            connection->open(account);
            m_connection = std::move(connection);
            m_connectionString = account;
        }
        const std::unique_ptr<db::ResultCursor> cursor = m_connection->openCursor(
            QStringLiteral("select cID, iDataSource, cRelArchive, cRelField from userdef where "
                           "cID=")
            + db::sqlNQuoted(field.referenceId));
        if (!cursor || !cursor->next()) {
            error = m_texts.format("K2.Suite.Batch.NoUserItem", {field.referenceId});
            return std::nullopt;
        }
        UserItemSource item{cellText(*cursor, 0), cursor->value(1).toInt(), cellText(*cursor, 2),
                            cellText(*cursor, 3)};
        std::optional<BatchLookupRows> rows = userItemRows(item);
        if (!rows)
            error = m_texts.format("K2.Suite.Batch.NoUserItem", {field.referenceId});
        return rows;
    } catch (const db::DbError &failure) {
        error = failure.description();
        return std::nullopt;
    }
}

std::optional<QString> BatchLookup::choose(const BatchField &field, QObject *login,
                                           const QString &typed, QWidget *parent, QString &error)
{
    error.clear();
    const std::optional<BatchLookupRows> rows = rowsOf(field, login, error);
    if (!rows)
        return std::nullopt;
    std::unique_ptr<ReferenceClient> client
        = HostRegistry::createAs<ReferenceClient>(QStringLiteral("ReferenceClient"));
    if (!client) {
        error = m_texts.text("K2.Suite.Batch.NoLookupService");
        return std::nullopt;
    }
    client->SetLogin(login);
    if (!client->StrRefInit(rows->sql, rows->keyColumn, rows->shownColumns.join(u','), {}, typed,
                            error))
        return std::nullopt;
    if (!client->Show(parent))
        return std::nullopt;
    auto *chosen = qobject_cast<db::Recordset *>(client->recmx());
    if (!chosen || chosen->eof())
        return std::nullopt;
    const QString column
        = chosen->hasField(rows->resultColumn) ? rows->resultColumn : rows->keyColumn;
    const QVariant value = chosen->value(column);
    return value.isNull() ? QString() : value.toString().trimmed();
}

} // namespace perikon::suite::batch
