#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace perikon {

// The host's general lookup ("ReferenceClient"): one reference, set up once and shown.
class ReferenceClient : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The login whose account the rows are read from (and whose rights narrow them).
    virtual void SetLogin(QObject *login) = 0;
    // Whether the login's customer rights narrow rows that carry a customer code (on until
    // switched off).
    virtual void SetRWAuth(bool on) = 0;
    // A reference over the rows of `sql` (SQL Server text, no ORDER BY): `keyColumn` is the value
    // a choice gives and orders the rows, `shownColumns` ("a,b") the columns shown, `settingsXml`
    // as "<Ref><RefSet bMultiSel='1'/><LastData><Item keyVal='v'/></LastData></Ref>" (empty: a
    // single choice), `filterText` what the dialog's filter line starts with. False, with the
    // reason in `error`, when the rows cannot be read.
    virtual bool StrRefInit(const QString &sql, const QString &keyColumn,
                            const QString &shownColumns, const QString &settingsXml,
                            const QString &filterText, QString &error)
        = 0;
    // A reference over the items of item class `itemClass`, narrowed by `condition` (SQL over the
    // items' columns). False, with the reason in `error`, for an unknown class.
    virtual bool ItemRefInit(const QString &itemClass, const QString &condition, QString &error)
        = 0;
    // Conditions a window hands in before Show: "<RefConditions><Condition paramName='@p'
    // paramValue='v' /></RefConditions>" and a filter over the rows' columns such as
    // "#FN[cParentValue]=@p". Empty texts: none. Show refuses conditions it cannot apply.
    virtual void SetConditions(const QString &conditionsXml, const QString &filter) = 0;
    // Opens the reference modal over `parent`; true when the operator chose.
    virtual bool Show(QWidget *parent) = 0;
    // The chosen rows with every column of the reference (a db::Recordset on its first row),
    // owned by the client; nullptr before a choice.
    virtual QObject *recmx() = 0;
    // Of an item reference: the chosen items with their class (columns citem_class,
    // citem_name, citemcode, citemname); nullptr otherwise.
    virtual QObject *RstSelClass() = 0;
};

// The list of duties, tastes and the other base codes ("BaseCodeReference").
class BaseCodeReference : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The base codes of `type` ("Duty", "Taste"); the name of the chosen one in `name`. True when
    // the operator chose.
    virtual bool Show(QObject *login, const QString &type, QWidget *parent, QString &name) = 0;
};

// An archive's own reference ("CrmCustomerArchive": customers within the login's rights;
// "CrmPersonArchive": persons).
class ArchiveReference : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the archive's reference modal over `parent`, its filter line starting with
    // `filterText`, narrowed by `condition` (SQL over the archive's columns; empty: none). The
    // chosen row (a db::Recordset with the archive's columns, owned by the service), or nullptr
    // when the operator cancelled or the archive cannot be read (`error` then says why).
    virtual QObject *GetRecordRst(QObject *login, const QString &filterText,
                                  const QString &condition, QWidget *parent, QString &error)
        = 0;
};

} // namespace perikon
