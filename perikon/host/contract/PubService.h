#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace perikon {

// The host's public service ("PubService"): server time and the other small services the
// component's windows and save steps call.
class PubService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The database server's current date and time, "yyyy-MM-dd HH:mm:ss". ICom is the caller's
    // data-access object (an IClsCommon); the service may hand back another one to use from then
    // on.
    virtual QString GetSrvTime(QObject *&ICom) = 0;
    // The row-authorization text of `table` for a function ("R", "W", "D") from the operator's
    // rules in `rowAuth` (a RowAuthService), over the columns of `tableAlias`: "1=1" when nothing
    // restricts, "1=2" when no row may be reached. `reserved` is not read.
    virtual QString GetGetAuthString(QObject *rowAuth, const QString &table, const QString &funcId,
                                     const QVariant &reserved, const QString &tableAlias)
        = 0;

    // Function locks on an archive (names compared without regard to case), held by the session
    // of `login`. A positive number takes lock n and answers true when it cannot be had (the
    // service has said who holds it); a negative number releases lock -n and answers true when
    // it is no longer held. Lock 1 (the archive is open in a list) is shared by every session.
    // ICom is the caller's data-access object; the service may hand back another one.
    virtual bool IsLockFun(QObject *&ICom, QObject *login, const QString &archive, int number) = 0;

    // The operator's stored setting `name` of `key` (e.g. "Crm_Contact", "PageSize"); empty when
    // none is stored or it cannot be read (LastError then says why).
    virtual QString GetRegEdit(const QString &key, const QString &name, bool web,
                               const QString &userId)
        = 0;
    virtual bool SaveRegEdit(const QString &key, const QString &name, const QString &value,
                             bool web, const QString &userId)
        = 0;
    // Why the last GetRegEdit or SaveRegEdit failed; empty after a success.
    virtual QString LastError() const = 0;

    // A number text with `digits` decimals; any other text as it is.
    virtual QString FormatNum(const QString &text, int digits) = 0;
    // The decimals the operator set for a column of the list, or empty text. `settings` holds the
    // settings read so far (nullptr at first); the service hands back the object to pass next.
    virtual QString GetEleVal(const QString &name, QObject *&settings) = 0;
    // A resource text in the session language.
    virtual QString GetResString(const QString &key) = 0;
};

} // namespace perikon
