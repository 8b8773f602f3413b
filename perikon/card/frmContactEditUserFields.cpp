#include "perikon/card/CardFields.h"
#include "perikon/card/frmContactEdit.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/DatePicker.h"
#include "suite/controls/HostEdit.h"

#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QSet>
#include <QToolButton>

namespace perikon {

using namespace controls;
using namespace card;

namespace {

const QString kUserItem = QStringLiteral("自定义项");
const QString kExtendedItem = QStringLiteral("扩展自定义项");

// The n of an item named prefix + n; 0 for any other name.
int itemNumber(const QString &item, const QString &prefix)
{
    if (!item.startsWith(prefix))
        return 0;
    bool ok = false;
    const int n = QStringView(item).mid(prefix.size()).toInt(&ok);
    return ok ? n : 0;
}

QString dateText(const QVariant &value)
{
    const QVariant v = frmContactEdit::TxtValue(value, QString());
    if (v.metaType().id() == QMetaType::QDateTime) {
        const QDateTime at = v.toDateTime();
        return at.time() == QTime(0, 0) ? at.toString(QStringLiteral("yyyy-MM-dd"))
                                        : at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    return v.toString();
}

bool isNumericType(const QString &type)
{
    return type == u"数值" || type.compare(u"decimal", Qt::CaseInsensitive) == 0
           || type.compare(u"number", Qt::CaseInsensitive) == 0;
}

bool isIntegerType(const QString &type)
{
    return type == u"整数" || type.compare(u"integer", Qt::CaseInsensitive) == 0
           || type.compare(u"int", Qt::CaseInsensitive) == 0;
}

} // namespace

QWidget *frmContactEdit::userItemEditor(int n) const
{
    if (n <= kUserEditCount)
        return m_edtU[std::size_t(n - 1)];
    return m_dt[std::size_t(n == 15 ? kUserDate15Picker : kUserDate16Picker)];
}

void frmContactEdit::buildUserFields()
{
    m_userDefs.clear();
    if (std::unique_ptr<db::Recordset> rs
        = openOnSession(QStringLiteral("select * from userdef where cClass=N'联系人'"))) {
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            UserDefinition def;
            def.id = valueText(rs->value(QStringLiteral("cID")));
            def.item = valueText(rs->value(QStringLiteral("cItem")));
            def.caption = valueText(rs->value(QStringLiteral("cItemName")));
            def.type = valueText(rs->value(QStringLiteral("cType")));
            def.length = rs->value(QStringLiteral("iLength")).toInt();
            const QVariant digits = rs->value(QStringLiteral("iDecimalDigits"));
            def.decimals = digits.isNull() ? -1 : digits.toInt();
            def.mustInput = rs->value(QStringLiteral("bInput")).toInt() != 0
                            || valueText(rs->value(QStringLiteral("bInput")))
                                       .compare(u"true", Qt::CaseInsensitive)
                                   == 0;
            def.dbName = valueText(rs->value(QStringLiteral("cDicDbname")));
            def.dataSource = rs->value(QStringLiteral("iDataSource")).toInt();
            def.relArchive = valueText(rs->value(QStringLiteral("cRelArchive"))).trimmed();
            def.relField = valueText(rs->value(QStringLiteral("cRelField"))).trimmed();
            def.multiSelect = rs->hasField(QStringLiteral("bMultiSel"))
                              && (rs->value(QStringLiteral("bMultiSel")).toInt() != 0
                                  || valueText(rs->value(QStringLiteral("bMultiSel")))
                                             .compare(u"true", Qt::CaseInsensitive)
                                         == 0);
            m_userDefs.append(def);
        }
    }
    // Which items depend on another, and which have values of their own to pick from.
    QHash<QString, QString> parents;
    if (std::unique_ptr<db::Recordset> rs
        = openOnSession(QStringLiteral("select cID, cParentID from UserDef_Base"))) {
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            parents.insert(valueText(rs->value(0)), valueText(rs->value(1)).trimmed());
    }
    QSet<QString> listed;
    if (std::unique_ptr<db::Recordset> rs
        = openOnSession(QStringLiteral("select distinct cId from userdefine"))) {
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            listed.insert(valueText(rs->value(0)));
    }
    for (UserDefinition &def : m_userDefs) {
        def.parentId = parents.value(def.id);
        def.hasValues = listed.contains(def.id);
    }
    auto definition = [this](int n) -> const UserDefinition * {
        for (const UserDefinition &def : m_userDefs) {
            if (itemNumber(def.item, kUserItem) == n && def.item.startsWith(kUserItem))
                return &def;
        }
        return nullptr;
    };
    for (int n = 1; n <= kUserItemCount; ++n) {
        QLabel *label = m_lblD1[std::size_t(n - 1)];
        QWidget *editor = userItemEditor(n);
        const UserDefinition *def = definition(n);
        if (!def || def->caption.isEmpty()) {
            // An item not in use keeps its stored value, written back from the hidden editor.
            label->setProperty("Tag", QStringLiteral("hide"));
            label->setVisible(false);
            editor->setVisible(false);
            if (n <= kUserEditCount)
                m_cmdU[std::size_t(n - 1)]->setVisible(false);
            continue;
        }
        label->setText(def->caption);
        if (n <= kUserEditCount && def->length > 0)
            m_edtU[std::size_t(n - 1)]->setMaxLength(def->length);
        // A button where there is something to pick: another archive's values, the item's own
        // list, or the calculator of the number items.
        if (n <= kUserEditCount)
            m_cmdU[std::size_t(n - 1)]->setVisible(
                (!def->relArchive.isEmpty() && !def->relField.isEmpty()) || def->hasValues
                || (n >= 11 && n <= 14));
        if ((n == 13 || n == 14) && gPubService) {
            gPubService->SetDblLen(m_edtU[std::size_t(n - 1)], def->length,
                                   std::max(def->decimals, 0));
            m_userDecimals[std::size_t(n - 13)] = def->decimals;
        } else if ((n == 11 || n == 12) && gPubService) {
            gPubService->SetIntLen(m_edtU[std::size_t(n - 1)], 0);
        }
    }
    // The items in use side by side without the gaps of those that are not.
    int slot = 0;
    for (int n = 1; n <= kUserItemCount; ++n) {
        QLabel *label = m_lblD1[std::size_t(n - 1)];
        // A user-defined editor sits in a box with its reference button.
        QWidget *field
            = n <= kUserEditCount ? userItemEditor(n)->parentWidget() : userItemEditor(n);
        m_extendedGrid->removeWidget(label);
        m_extendedGrid->removeWidget(field);
        if (label->isHidden()) {
            field->setVisible(false);
            continue;
        }
        m_extendedGrid->addWidget(label, slot / 2, (slot % 2) * 2);
        m_extendedGrid->addWidget(field, slot / 2, (slot % 2) * 2 + 1);
        ++slot;
    }
    m_extendedRow = (slot + 1) / 2;
    if (gPubService) {
        QList<QWidget *> labels;
        QList<QWidget *> editors;
        for (int n = 1; n <= kUserItemCount; ++n) {
            labels << m_lblD1[std::size_t(n - 1)];
            editors << userItemEditor(n);
        }
        gPubService->SetUserDefEle(labels, editors);
    }
    buildExtendedFields();
}

void frmContactEdit::buildExtendedFields()
{
    int row = m_extendedRow;
    int column = 0;
    for (const UserDefinition &def : std::as_const(m_userDefs)) {
        const int n = itemNumber(def.item, kExtendedItem);
        if (n == 0 || def.caption.isEmpty())
            continue;
        const int i = int(m_edtE.size());
        ExtendedEditor editor;
        editor.item = n;
        editor.id = def.id;
        editor.label = new QLabel(def.caption, m_otherPage);
        editor.label->setObjectName(QStringLiteral("LblE_%1").arg(i));
        editor.edit = new HostEdit(m_otherPage);
        editor.edit->setObjectName(QStringLiteral("EdtE_%1").arg(i));
        editor.edit->setTag(QString::number(6000 + n));
        if (def.length > 0)
            editor.edit->setMaxLength(def.length);
        if (gPubService) {
            editor.label->setMinimumWidth(gPubService->GetStrLen(def.caption, editor.label));
            if (def.mustInput)
                gPubService->MustInputColor(editor.label);
            if (isIntegerType(def.type)) {
                gPubService->SetIntLen(editor.edit, 0);
            } else if (isNumericType(def.type)) {
                editor.decimals = std::max(def.decimals, 0);
                gPubService->SetDblLen(editor.edit, def.length, editor.decimals);
            }
        }
        connect(editor.edit, &HostEdit::edited, this, [this, id = def.id] {
            MarkEdited();
            clearDependentItems(id);
        });
        QWidget *field = editor.edit;
        if (!def.relArchive.isEmpty() || def.hasValues) {
            editor.button = newReferenceButton(QStringLiteral("CmdE_%1").arg(i));
            // The reference data of the editor: archive and field, as "archive[##]field".
            editor.edit->setProperty("refData",
                                     def.relArchive + QStringLiteral("[##]") + def.relField);
            connect(editor.button, &QToolButton::clicked, this,
                    [this, i] { onExtendedReferenceButton(i); });
            field = withButton(editor.edit, editor.button);
        }
        m_extendedGrid->addWidget(editor.label, row, column);
        m_extendedGrid->addWidget(field, row, column + 1);
        column = column == 0 ? 2 : 0;
        if (column == 0)
            ++row;
        m_edtE.append(editor);
    }
    m_extendedGrid->setRowStretch(row + 1, 1);
}

QString frmContactEdit::userDecimalText(const QVariant &value, int item) const
{
    const QString raw = valueText(value);
    const int decimals = m_userDecimals[std::size_t(item - 13)];
    if (raw.isEmpty() || !gPubService)
        return raw;
    // An item without decimals shows whole numbers.
    return gPubService->FormatNum(raw, std::max(decimals, 0));
}

void frmContactEdit::fillUserFields(db::Recordset &rs)
{
    for (int i = 0; i < kUserEditCount; ++i) {
        const QVariant value = rs.value(QStringLiteral("cConDefine%1").arg(i + 1));
        m_edtU[std::size_t(i)]->setText(i == 12 || i == 13 ? userDecimalText(value, i + 1)
                                                           : valueText(value));
    }
    m_dt[kUserDate15Picker]->setIsoText(
        dateText(rs.value(QStringLiteral("cConDefine15"))).left(10));
    m_dt[kUserDate16Picker]->setIsoText(
        dateText(rs.value(QStringLiteral("cConDefine16"))).left(10));
    for (const ExtendedEditor &editor : std::as_const(m_edtE)) {
        const QString column = QStringLiteral("cLdefine%1").arg(editor.item);
        const QVariant value = rs.hasField(column) ? rs.value(column) : QVariant();
        QString shown = dateText(value);
        if (editor.decimals >= 0 && !shown.isEmpty() && gPubService)
            shown = gPubService->FormatNum(shown, editor.decimals);
        editor.edit->setText(shown);
    }
}

void frmContactEdit::applyUserDefaults()
{
    QHash<QString, QString> defaults;
    if (std::unique_ptr<db::Recordset> rs = openOnSession(
            QStringLiteral("SELECT cItem,cDefaultVal FROM userdef ")
            + QStringLiteral(" WHERE cClass=N'联系人' AND cDefaultval<>N'' AND bArchive=0"))) {
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            defaults.insert(valueText(rs->value(0)), valueText(rs->value(1)));
    }
    for (int i = 0; i < kUserEditCount; ++i)
        m_edtU[std::size_t(i)]->setText(defaults.value(kUserItem + QString::number(i + 1)));
    m_dt[kUserDate15Picker]->setIsoText(defaults.value(kUserItem + QStringLiteral("15")));
    m_dt[kUserDate16Picker]->setIsoText(defaults.value(kUserItem + QStringLiteral("16")));
    // Each extended editor takes the default of its own item.
    for (const ExtendedEditor &editor : std::as_const(m_edtE))
        editor.edit->setText(defaults.value(kExtendedItem + QString::number(editor.item)));
}

QString frmContactEdit::GetSaveXmlEx()
{
    QString xml;
    // Extended items defined but not in use are written empty.
    for (const UserDefinition &def : std::as_const(m_userDefs)) {
        if (itemNumber(def.item, kExtendedItem) > 0 && def.caption.isEmpty()
            && !def.dbName.isEmpty())
            xml += u'<' + def.dbName + QStringLiteral("></") + def.dbName + u'>';
    }
    for (const ExtendedEditor &editor : std::as_const(m_edtE)) {
        const QString name = QStringLiteral("cLDefine%1").arg(editor.item);
        xml += u'<' + name + u'>' + editor.edit->text() + QStringLiteral("</") + name + u'>';
    }
    return xml;
}

QString frmContactEdit::SetCrmCusExtradefineFld()
{
    QString columns;
    std::unique_ptr<db::Recordset> rs
        = openOnSession(QStringLiteral("select top 0 * from Crm_Contact_extradefine"));
    if (!rs)
        return columns;
    for (int i = 2; i < rs->fieldCount(); ++i)
        columns += rs->columnInfo(i).name.toLower() + u',';
    return columns;
}

} // namespace perikon
