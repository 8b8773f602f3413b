#pragma once

#include <QObject>
#include <QString>

namespace perikon {

namespace db {
class Connection;
}

// The host's column-layout service ("ColumnSetService"): per user, which columns an archive shows,
// their captions and which of them must be filled in.
class ColumnSetService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Binds the service to the account database and the operator. False when it cannot.
    virtual bool Init(const QString &connectionString, const QString &userId) = 0;
    // Binds the service to the caller's open connection to the account database, which the
    // service reads through and never closes; binding again to the same connection and operator
    // is cheap. False when it cannot.
    virtual bool Init(db::Connection &connection, const QString &userId) = 0;
    // The column information of `key` (e.g. "Crm_Contact") as XML: a root holding one ColSet
    // element per column with the attributes cFld, cOriginalCaption, cCaption, bMustInput, bShow,
    // iWidth, iOrder. Mode 0 lists every column as the operator laid them out, mode 1 the columns
    // the list shows, mode 2 every column as a new operator gets them, mode 15 every column
    // shown (otherwise as the operator laid them out).
    virtual QString getColInfo(const QString &key, int mode) = 0;
    // Every column as the operator laid them out (mode 0).
    virtual QString getColInfo(const QString &key) { return getColInfo(key, 0); }
    // Stores the operator's layout from column information (the root's cKey names the archive).
    // On failure `colInfo` is replaced by a message for the operator.
    Q_INVOKABLE virtual bool Save(QString &colInfo) = 0;
};

} // namespace perikon
