#include "ConnectionString.h"

#include <QStringList>

namespace perikon::db {

ConnectionString::ConnectionString(const QString &text)
    : m_text(text)
{
    const QStringList parts = text.split(u';', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = part.left(eq).simplified().toLower();
        QString value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        m_values.insert(key, value);
    }
}

QString ConnectionString::value(const QString &key) const
{
    return m_values.value(key.simplified().toLower());
}

bool ConnectionString::contains(const QString &key) const
{
    return m_values.contains(key.simplified().toLower());
}

QString ConnectionString::firstOf(std::initializer_list<const char *> keys) const
{
    for (const char *key : keys) {
        const auto it = m_values.constFind(QString::fromLatin1(key));
        if (it != m_values.cend())
            return it.value();
    }
    return {};
}

QString ConnectionString::dataSource() const
{
    return firstOf({"data source", "datasource", "server"});
}

QString ConnectionString::host() const
{
    return firstOf({"host", "server"});
}

int ConnectionString::port() const
{
    return firstOf({"port"}).toInt();
}

QString ConnectionString::user() const
{
    return firstOf({"user id", "uid", "user"});
}

QString ConnectionString::password() const
{
    return firstOf({"password", "pwd"});
}

QString ConnectionString::accountNumber() const
{
    return accountNumberOf(m_text);
}

namespace {
constexpr QLatin1String kCatalogKey("CATALOG=");
constexpr QLatin1String kAccountPrefix("QZDATA_");

// Where the account database name starts ("QZDATA_..." right after "CATALOG="), or -1.
qsizetype accountCatalogStart(const QString &text)
{
    const qsizetype at = text.indexOf(kCatalogKey + kAccountPrefix, 0, Qt::CaseInsensitive);
    return at < 0 ? -1 : at + kCatalogKey.size();
}
} // namespace

QString ConnectionString::accountNumberOf(const QString &text)
{
    const qsizetype at = accountCatalogStart(text);
    if (at < 0)
        return {};
    return text.mid(at + kAccountPrefix.size(), 3);
}

QString ConnectionString::accountCatalog() const
{
    const qsizetype at = accountCatalogStart(m_text);
    if (at < 0)
        return {};
    const qsizetype end = m_text.indexOf(u';', at);
    return m_text.mid(at, end < 0 ? -1 : end - at).trimmed();
}

QString ConnectionString::metaDatabaseOf(const QString &accountNumber)
{
    if (accountNumber.isEmpty())
        return {};
    return QStringLiteral("QZMeta_") + accountNumber;
}

} // namespace perikon::db
