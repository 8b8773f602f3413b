#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <span>

namespace perikon::internal {

// One column of the card as the must-input check sees it.
struct MustInputField
{
    QString column;  // the stored column (see mustInputColumn)
    QString caption; // cOriginalCaption of its column setting
    QString value;   // its value in the record XML
    bool mustInput = false;
    int columnType = 0; // db::ColumnType of the stored column
};

inline constexpr QStringView kMustInputMessageKey = u"K2.AA.ARCHIVE.COMMON.bMustInput";
inline constexpr QStringView kContactCodeEmptyKey = u"K2.CRM.QZContact.frmcontactedit.00079";
inline constexpr QStringView kContactNameEmptyKey = u"K2.CRM.QZContact.frmcontactedit.00080";

// The stored column behind a column setting's cFld: display columns (customer name, department
// name ...) stand for the codes the card saves; any other name is the column itself.
QString mustInputColumn(QStringView cFld);

// Empty for a text column; "0" for a flag or binary column, whose unset value is written as 0.
bool mustInputValueMissing(const MustInputField &field);

// The must-input fields without a value, in the given (the card's) order; the card reports the
// first.
QList<MustInputField> missingMustInput(std::span<const MustInputField> fields);

// What the card shows for a missing field: its caption followed by the text of
// kMustInputMessageKey (`mustInputText`).
QString mustInputMessage(const MustInputField &field, const QString &mustInputText);

// The key of the first empty one of the two fields every contact needs (code, then name), after
// trimming; empty when both are filled.
QStringView requiredFieldMissingKey(const QString &contactCode, const QString &contactName);

} // namespace perikon::internal
