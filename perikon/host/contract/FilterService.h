#pragma once

#include <QObject>
#include <QString>

namespace perikon {

// The host's general filter ("FilterService"), one per filter the operator sets.
class FilterService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the filter of `filterKey` ("AA[__]联系人档案": the contacts) modal over the active
    // window, showing the conditions the operator last confirmed there. True when the operator
    // confirmed; false, with the reason in `error`, when they cancelled or the filter cannot open
    // (an unknown key, an account that cannot be read). The two texts between are reserved.
    virtual bool OpenFilter(QObject *login, const QString &filterKey, const QString &reserved1,
                            const QString &reserved2, QString &error)
        = 0;
    // The WHERE fragment of the confirmed conditions (one parenthesized expression over the
    // list's columns under the alias Crm_Contact); empty when none were set.
    virtual QString GetSQLWhere() const = 0;
};

} // namespace perikon
