#pragma once

#include "suite/controls/batch/BatchCatalog.h"
#include "suite/controls/batch/BatchExport.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QObject;
class QWidget;

namespace perikon::db {
class Connection;
}

namespace perikon::suite::batch {

class BatchTexts;

// The rows a reference field's lookup offers, as the host's ReferenceClient takes them: SQL
// Server text, the key column (what a choice gives), the columns shown, and the column whose
// value goes into the field.
struct BatchLookupRows
{
    QString sql;
    QString keyColumn;
    QStringList shownColumns;
    QString resultColumn;
};

// The part of a user-defined item's definition its lookup needs.
struct UserItemSource
{
    QString id;
    int dataSource = 0; // 1: the values of another archive's field
    QString archive;
    QString field;
};

// The rows behind a catalogue reference key (customers, contacts, persons, departments; the key
// compared without case): the code is the result unless cRetFld names another column ("ID"
// stands for the code). None for a key the control has no table for.
PERIKON_BATCH_EXPORT std::optional<BatchLookupRows> referenceRows(const QString &key,
                                                                  const QString &returnField);
// A user-defined item's values, as the contact card offers them: its related archive's field
// when its data source says so, else its own value list. None when the archive or field is not a
// plain name.
PERIKON_BATCH_EXPORT std::optional<BatchLookupRows> userItemRows(const UserItemSource &item);

// Opens the host's lookup for a reference field over the account of the login and answers the
// value chosen.
class PERIKON_BATCH_EXPORT BatchLookup
{
public:
    explicit BatchLookup(const BatchTexts &texts);
    ~BatchLookup();

    // Whether the field has rows to look up (a user-defined item always has).
    static bool offers(const BatchField &field);

    // The value the operator chose; none when the operator cancelled, or when the lookup could
    // not open (then `error` says why). The lookup's filter line starts with `typed`.
    std::optional<QString> choose(const BatchField &field, QObject *login, const QString &typed,
                                  QWidget *parent, QString &error);

private:
    std::optional<BatchLookupRows> rowsOf(const BatchField &field, QObject *login, QString &error);

    const BatchTexts &m_texts;
    // For reading user-defined items' definitions; opened on first use.
    std::unique_ptr<db::Connection> m_connection;
    QString m_connectionString;
};

} // namespace perikon::suite::batch
