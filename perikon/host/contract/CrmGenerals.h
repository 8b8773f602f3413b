#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace perikon {

// The host's general work of one CRM archive entry ("CrmGenerals"): what else the system holds on
// it, e.g. a contact's opportunities, in one window. A caller keeps one object and calls it again
// for the next entry.
class CrmGenerals : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Shows the general work of the entry `code` (`name` for the caption) of kind `kind` (2: a
    // contact) for the operator of `login`. `formManager` and `viewManager` are the shell's, when
    // the window is to be one of its pages; `product`, `reserved` and `business` are not read.
    // Called again, the window shows the new entry. False, with nothing shown, when the entry
    // cannot be shown.
    Q_INVOKABLE virtual bool IiniGenerals(QObject *login, QObject *product, QObject *formManager,
                                          int kind, const QString &code, const QString &name,
                                          const QVariant &reserved, QObject *viewManager,
                                          QObject *business)
        = 0;
};

} // namespace perikon
