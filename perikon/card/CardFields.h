#pragma once

// The card's field table: which editor carries which contact column, under which label and
// caption, with which reference and how long a value may be.

#include <QString>
#include <QStringView>
#include <Qt>

#include <QVariant>

#include <memory>
#include <span>

namespace perikon::db {
class Recordset;
}

namespace perikon::card {

// The card's reads: a statement on the session's IClsCommon (nullptr when it fails), and a
// column's value as text, a database null as an empty text.
std::unique_ptr<db::Recordset> openOnSession(const QString &sql);
QString valueText(const QVariant &value);

struct CardField
{
    int index;              // Edt_<index>
    QStringView column;     // the Crm_Contact column it carries
    QStringView label;      // objectName of its caption label
    QStringView captionKey; // resource key of the caption
    QStringView refKey;     // reference key, empty for a plain editor
    QStringView sizeColumn; // column of the size query whose defined size limits it
    int fixedLength;        // used when sizeColumn is empty; 0: no limit set
};

// The 23 text editors Edt_0 ... Edt_22 in index order.
std::span<const CardField> cardFields();
const CardField *cardField(int index);
// The editor index of a Crm_Contact column (case-blind); -1 when no text editor carries it.
int cardFieldIndexOf(QStringView column);

// Editors whose text stands for a code kept in their Tag.
inline constexpr int kCustomerEdit = 0;
inline constexpr int kCodeEdit = 1;
inline constexpr int kNameEdit = 2;
inline constexpr int kSuperiorEdit = 4;
inline constexpr int kDutyEdit = 6;
inline constexpr int kTasteEdit = 7;
inline constexpr int kPrincipalEdit = 8;
inline constexpr int kCreatorEdit = 9;
inline constexpr int kZipEdit = 14;
inline constexpr int kWorkAddressEdit = 16;
inline constexpr int kWechatEdit = 21;
inline constexpr int kDepartmentEdit = 22;
inline constexpr int kFieldCount = 23;

// Date pickers DTPicker1_<i>.
inline constexpr int kBirthdayPicker = 0;
inline constexpr int kCreateDatePicker = 1;
inline constexpr int kUserDate15Picker = 2;
inline constexpr int kUserDate16Picker = 3;
inline constexpr int kEndDatePicker = 4;
inline constexpr int kPickerCount = 5;

// User-defined items 1..14 are edited in EdtU_0..EdtU_13, 15 and 16 in the date pickers.
inline constexpr int kUserEditCount = 14;
inline constexpr int kUserItemCount = 16;

// The query whose column sizes give the editors' maximum lengths.
QString fieldSizeSql();

// The caption of the QQ and WeChat labels, which the resource texts do not carry per language.
struct ChatCaptions
{
    QString call;
    QString wechat;
};
ChatCaptions chatCaptions(QStringView languageId);

// The caption label of a must-input column setting's cFld: display columns name the label of
// the code they stand for, any other column "lbl" + its name.
QString mustInputLabelName(QStringView cFld);

// Whether the zip code field takes a key: editing keys (Enter, backspace, copy, paste) and
// digits, "-" and ASCII letters; anything else is swallowed.
bool zipKeyAllowed(int key, Qt::KeyboardModifiers modifiers, const QString &text);

} // namespace perikon::card
