#pragma once

#include "suite/controls/batch/BatchExport.h"

#include <QList>
#include <QString>

#include <optional>

namespace perikon::suite::batch {

// How the value of a field is entered, after the catalogue's reftype.
enum class BatchValueKind {
    Text,      // "char"
    Integer,   // "" (a whole number)
    Decimal,   // "decdgt", at most `decimals` after the point
    Date,      // "date", yyyy-MM-dd
    Reference, // "ref", a code of the reference cRefID
    Choice,    // "enum", one of the choices
};

struct BatchChoice
{
    QString code;
    QString name;
};

// One field the operator may modify.
struct BatchField
{
    QString name; // the element name, as the catalogue spells it
    QString caption;
    BatchValueKind kind = BatchValueKind::Text;
    QString referenceId; // cRefID: a reference key, or a user-defined item's id
    QString returnField; // cRetFld
    int decimals = 0;
    bool userDefined = false;         // IsUserDefArch='1': cRefID is the item's id in userdef
    bool anyCharacterAllowed = false; // bBadStrException='1'
    QList<BatchChoice> choices;
};

enum class BatchCatalogProblem {
    NotXml, // `detail` says where and why
    NoModifiableField,
};

// The fields of a batch-modify catalogue the operator may modify, in catalogue order: those with
// bmulmodify='1' that the root's noauthflds (comma-separated, compared without case or blanks)
// does not withhold. Attribute names compare without case.
class PERIKON_BATCH_EXPORT BatchCatalog
{
public:
    static BatchCatalog read(const QString &xml);

    bool ok() const { return !m_problem; }
    std::optional<BatchCatalogProblem> problem() const { return m_problem; }
    QString detail() const { return m_detail; }
    const QList<BatchField> &fields() const { return m_fields; }

    // A choice list "c1{#}c2{##}n1{#}n2": codes, then names. A code without a name is shown as
    // itself.
    static QList<BatchChoice> parseChoices(const QString &list);

private:
    QList<BatchField> m_fields;
    std::optional<BatchCatalogProblem> m_problem;
    QString m_detail;
};

} // namespace perikon::suite::batch
