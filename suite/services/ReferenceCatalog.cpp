#include "suite/services/ReferenceCatalog.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/RowAuthService.h"
#include "suite/services/SuiteRowAuthService.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/XmlAttribute.h"

#include <algorithm>
#include <array>
#include <memory>

#include <pugixml.hpp>

namespace perikon::suite {
namespace {

struct CatalogEntry
{
    const char *key;
    const char *table;
    const char *codeColumn;
    const char *nameColumn;
    const char *otherNameColumn; // nullptr: none
};

// A delivery address is saved as its text, so its "code" is the address itself.
constexpr std::array kCatalog{
    CatalogEntry{"Customer_AA", "Customer", "cCusCode", "cCusName", "cCusAbbName"},
    CatalogEntry{"ContactUnEdit_CS", "Crm_Contact", "cContactCode", "cContactName", nullptr},
    // Contacts to write to: the mobile number is shown and a typed number finds its contact.
    CatalogEntry{"Contact_Note", "Crm_Contact", "cContactCode", "cContactName", "cMobilePhone"},
    CatalogEntry{"Person_AA", "Person", "cPersonCode", "cPersonName", nullptr},
    CatalogEntry{"Department_AA", "Department", "cDepCode", "cDepName", nullptr},
    CatalogEntry{"CusDeliverAdd_AA", "CusDeliverAdd", "cDeliverAdd", "cDeliverAdd", nullptr},
};

QString withoutTrailingBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

// Holds the resolver's connection: the resolver is copied with its editor's settings, the
// connection is opened once.
struct ResolverState
{
    QString connectionString;
    std::unique_ptr<db::Connection> connection;
};

} // namespace

std::optional<ReferenceSource> referenceSource(const QString &key)
{
    const QString wanted = key.trimmed();
    for (const CatalogEntry &entry : kCatalog) {
        if (wanted.compare(QLatin1String(entry.key), Qt::CaseInsensitive) != 0)
            continue;
        ReferenceSource source{QString::fromLatin1(entry.table),
                               QString::fromLatin1(entry.codeColumn),
                               QString::fromLatin1(entry.nameColumn),
                               {},
                               {}};
        if (entry.otherNameColumn)
            source.otherNameColumns.append(QString::fromLatin1(entry.otherNameColumn));
        return source;
    }
    return std::nullopt;
}

QString referenceMatchSelect(const ReferenceSource &source, const QString &text,
                             const QString &condition)
{
    const QString value = db::sqlNQuoted(withoutTrailingBlanks(text));
    QStringList matches;
    for (const QStringList columns
         = QStringList{source.codeColumn, source.nameColumn} + source.otherNameColumns;
         const QString &column : columns)
        matches.append(QStringLiteral("rtrim(%1)=%2").arg(column, value));
    QString where = u'(' + matches.join(QStringLiteral(" or ")) + u')';
    for (const QString &narrowing : {source.condition, condition}) {
        if (!narrowing.trimmed().isEmpty())
            where += QStringLiteral(" and (") + narrowing + u')';
    }
    return QStringLiteral("select %1, %2 from %3 where %4 order by %1")
        .arg(source.codeColumn, source.nameColumn, source.table, where);
}

std::optional<QString> referenceAuthFunction(const QString &settingsXml)
{
    pugi::xml_document document;
    const QByteArray utf8 = settingsXml.toUtf8();
    if (!document.load_buffer(utf8.constData(), std::size_t(utf8.size())))
        return std::nullopt;
    const pugi::xml_node settings = document.find_node([](const pugi::xml_node &node) {
        return node.type() == pugi::node_element
               && QString::fromUtf8(node.name())
                          .compare(QLatin1String("RefSet"), Qt::CaseInsensitive)
                      == 0;
    });
    if (!settings || attributeNoCase(settings, "bAuth") != QLatin1String("1"))
        return std::nullopt;
    const QString function = attributeNoCase(settings, "authFunID").toUpper();
    return function.isEmpty() ? QStringLiteral("R") : function;
}

QString customerRightsCondition(QObject *login, const QString &function)
{
    if (hostlogin::flag(login, "IsAdmin"))
        return {};
    SuiteRowAuthService rules;
    if (!rules.Init(hostlogin::text(login, "qzDBName"), hostlogin::text(login, "cUserId")))
        return rowauth::customerAuthCondition(QStringLiteral("1=2"));
    return rowauth::customerAuthCondition(
        rules.GetAuthString(QStringLiteral("Customer"), function));
}

QString contactRightsCondition(QObject *login, const QString &function)
{
    if (hostlogin::flag(login, "IsAdmin"))
        return {};
    SuiteRowAuthService rules;
    if (!rules.Init(hostlogin::text(login, "qzDBName"), hostlogin::text(login, "cUserId")))
        return QStringLiteral("1=2");
    return rowauth::contactAuthString(rules, function, QStringLiteral("Crm_Contact"));
}

QString rightsCondition(const ReferenceSource &source, QObject *login, const QString &function)
{
    if (source.table == QLatin1String("Customer"))
        return customerRightsCondition(login, function);
    if (source.table == QLatin1String("Crm_Contact"))
        return contactRightsCondition(login, function);
    return {};
}

controls::RefResolver referenceResolver(const QString &key, const QString &connectionString,
                                        const QString &condition)
{
    const std::optional<ReferenceSource> source = referenceSource(key);
    if (!source)
        return {};
    auto state = std::make_shared<ResolverState>();
    state->connectionString = connectionString;
    return [state, source = *source, condition](const QString &text) {
        QList<controls::RefEntry> entries;
        if (!state->connection)
            state->connection = openConnection(state->connectionString);
        if (!state->connection)
            return entries;
        try {
            const QList<QStringList> rows
                = queryRows(*state->connection, referenceMatchSelect(source, text, condition));
            for (const QStringList &row : rows)
                entries.append({row.value(0), row.value(1)});
        } catch (const db::DbError &) {
            return QList<controls::RefEntry>{};
        }
        std::stable_partition(entries.begin(), entries.end(),
                              [&text](const controls::RefEntry &entry) {
                                  return controls::sameRefText(entry.code, text);
                              });
        return entries;
    };
}

} // namespace perikon::suite
