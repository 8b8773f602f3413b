#pragma once

#include <QObject>
#include <QString>

#include <utility>

namespace perikon {

// The answer to one column-authorization request.
struct ColumnAuthAnswer
{
    // False when the service could not decide (not initialized, a request it cannot read, rules
    // it cannot read). Nothing is then known about any column, so the caller must withhold every
    // one: a failure never reads as "no restriction".
    bool ok = false;
    // When ok: the withheld columns, comma separated; empty when none is withheld.
    QString columns;
    // When not ok: why, for the log.
    QString error;

    static ColumnAuthAnswer withheld(QString columns) { return {true, std::move(columns), {}}; }
    static ColumnAuthAnswer failure(QString error) { return {false, {}, std::move(error)}; }
};

// The host's column-authorization service ("ColumnAuthService"): the columns of a business object
// that an operator may not read or change under a function.
//
// The component passes the answer on through IClsCommon.Modify's "GetAuthFlds" operation, in
// gLastError and lower case:
// - "*": no column is withheld;
// - otherwise the withheld columns, comma separated. When the service fails, that is every column
//   of the table, so a caller that withholds the columns named treats every column as not
//   writable. Should the table's columns be unreadable as well, the answer is empty: no column may
//   be written then either (an empty answer never means "no restriction").
// Each failure is logged (module "IClsCommon", procedure "GetAuthFlds").
class ColumnAuthService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // False when the rules cannot be reached; every later answer is then a failure.
    virtual bool Init(const QString &connectionString, const QString &userId) = 0;
    // The request is "<k2ColAuth cBusObId='…' cFuncId='…'/>", attribute values escaped as XML
    // requires.
    virtual ColumnAuthAnswer GetAuthString(const QString &request) = 0;
};

} // namespace perikon
