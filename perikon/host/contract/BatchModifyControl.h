#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QWidget>

namespace perikon {

namespace db {
class Recordset;
}

// The host's batch-modify control ("BatchModifyControl"; the batch window's "Find"): the operator
// picks one field of a catalogue and one value, and the control raises `modify` with the condition
// that selects the rows handed to it.
//
// The catalogue is XML: a root element whose children are the fields, each an empty element named
// after the column, with the attributes showfldname (caption), reftype (char, '' for integers,
// decdgt, date, ref, enum), cRefID (reference key, user-defined item id, or for enum the choice
// list "c1{#}c2{##}n1{#}n2"), cRetFld, bmulmodify ('1' may be modified) and decdgt (decimals of a
// decdgt field). The root's noauthflds lists, comma-separated, fields the operator may not touch.
class BatchModifyControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int mode READ mode WRITE setMode)
public:
    using QWidget::QWidget;
    // The rows to modify: row number (as text) and key value, in the order the rows were read.
    using Selection = QList<QPair<QString, QString>>;

    // Takes the login (its connection string serves the lookups), the catalogue and the template
    // recordset (its fields' defined sizes cap the values typed). The modify button is captioned
    // `modifyCaption` + `hotKeyText`. False with `error` saying why when the catalogue does not
    // parse or offers no field the operator may modify.
    virtual bool Initialize(QObject *login, const QString &catalogXml, db::Recordset *templateRs,
                            QString &error, const QString &modifyCaption, const QString &hotKeyText)
        = 0;
    // The rows the modify applies to, keyed by `keyField` of `table`; the condition raised is
    // "<keyField> in (N'..',..)" over the keys, quotes doubled.
    virtual void SetSelection(const QString &keyField, const Selection &selection,
                              const QString &table)
        = 0;
    // 2: the selection is modified; any other mode shows the fields without modifying.
    virtual int mode() const = 0;
    virtual void setMode(int mode) = 0;

signals:
    // The operator asked to set `field` (the catalogue's element name) to `value` (a choice's
    // code, a reference's code, a date as yyyy-MM-dd; empty clears) on the rows of `where`.
    void modify(const QString &where, const QString &field, const QString &value);
    // The operator closed the control (its close button).
    void closeRequested();
};

} // namespace perikon
