#pragma once

#include <QHash>
#include <QString>

namespace perikon::db {

// A "key=value;" connection string. Keys are compared without regard to case; values
// keep their text (surrounding blanks trimmed, double quotes around a value removed).
class ConnectionString
{
public:
    ConnectionString() = default;
    explicit ConnectionString(const QString &text);

    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_values.isEmpty(); }

    // The value of a key, or empty text when missing.
    QString value(const QString &key) const;
    bool contains(const QString &key) const;

    QString provider() const { return value(QStringLiteral("provider")); }
    QString dataSource() const;
    QString catalog() const { return value(QStringLiteral("initial catalog")); }
    QString host() const;
    int port() const; // 0 when not given
    QString database() const { return value(QStringLiteral("database")); }
    QString user() const;
    QString password() const;

    // The three characters after "CATALOG=QZDATA_" anywhere in the text, found without regard to
    // case; empty when the text has no such part.
    QString accountNumber() const;
    static QString accountNumberOf(const QString &text);
    // The account database that part names, "QZDATA_<account>_<year>" as written (up to the next
    // ';', blanks trimmed); empty when the text has no such part.
    QString accountCatalog() const;
    // The meta database of the account, "QZMeta_<account>"; empty when there is no account.
    QString metaDatabase() const { return metaDatabaseOf(accountNumber()); }
    static QString metaDatabaseOf(const QString &accountNumber);

private:
    QString firstOf(std::initializer_list<const char *> keys) const;

    QString m_text;
    QHash<QString, QString> m_values; // lower-case key -> value
};

} // namespace perikon::db
