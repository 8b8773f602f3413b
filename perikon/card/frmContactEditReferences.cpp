// The card's reference buttons, the reference editors' own drop-downs and what a pick fills in,
// and the value references of the user-defined and extended items.

#include "perikon/card/CardFields.h"
#include "perikon/card/CardReferences.h"
#include "perikon/card/SuperiorChain.h"
#include "perikon/card/frmContactEdit.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/ReferenceServices.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/DatePicker.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/RefEdit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QToolButton>

namespace perikon {

using namespace controls;
using namespace card;

namespace {

// The editor of each reference button Cmd_0..Cmd_4.
constexpr std::array kButtonEditors{kCustomerEdit, kSuperiorEdit, kDutyEdit, kTasteEdit,
                                    kPrincipalEdit};

const QString kItemClassPrefix = QStringLiteral("fitemss");

} // namespace

QToolButton *frmContactEdit::newReferenceButton(const QString &name)
{
    auto *button = new QToolButton;
    button->setObjectName(name);
    button->setText(QStringLiteral("…"));
    // The operator stays in the field: F2 opens the same reference from the keyboard.
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    return button;
}

QWidget *frmContactEdit::withButton(QWidget *editor, QToolButton *button)
{
    auto *box = new QWidget;
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(editor, 1);
    row->addWidget(button);
    button->setFixedHeight(editor->sizeHint().height());
    return box;
}

void frmContactEdit::connectReferences()
{
    for (int cmd = 0; cmd < int(kButtonEditors.size()); ++cmd) {
        connect(m_cmd[std::size_t(cmd)], &QToolButton::clicked, this,
                [this, cmd] { onReferenceButton(cmd); });
        // Its own button would repeat the card's; Alt+Down still opens the drop-down.
        if (auto *ref = qobject_cast<RefEdit *>(m_edt[std::size_t(kButtonEditors[cmd])]))
            ref->setDropButtonVisible(false);
    }
    for (int i = 0; i < kUserEditCount; ++i)
        connect(m_cmdU[std::size_t(i)], &QToolButton::clicked, this,
                [this, i] { onUserReferenceButton(i); });
    for (int index :
         {kSuperiorEdit, kPrincipalEdit, kWorkAddressEdit, kDepartmentEdit, kCustomerEdit}) {
        auto *ref = qobject_cast<RefEdit *>(m_edt[std::size_t(index)]);
        if (!ref)
            continue;
        connect(ref, &RefEdit::beforeReference, this, [this, index] { beforeReference(index); });
        connect(ref, &RefEdit::afterReference, this, [this, index] { afterReference(index); });
    }
    // The person in charge and the department show their codes, as a match does.
    for (int index : {kPrincipalEdit, kDepartmentEdit}) {
        if (auto *ref = qobject_cast<RefEdit *>(m_edt[std::size_t(index)]))
            ref->setShowsName(false);
    }
}

void frmContactEdit::onReferenceButton(int index)
{
    MarkEdited();
    HostEdit *edit = m_edt[std::size_t(kButtonEditors[std::size_t(index)])];
    switch (index) {
    case 0:
        if (ShowFieldReference(QStringLiteral("cCusCode"), QStringLiteral("cCusCode"),
                               QStringLiteral("cCusName"), {}, edit, this)) {
            // The code picked is matched as a typed one: name, proposal, person and department.
            MatchCustomer();
        }
        break;
    case 1: {
        const QString customer = m_edt[kCustomerEdit]->tag();
        const QString condition = customer.isEmpty() ? QString()
                                                     : QStringLiteral(" Customer.cCusCode = N'")
                                                           + db::sqlEscaped(customer) + u'\'';
        if (!ShowFieldReference(QStringLiteral("cSuperiorID"), QStringLiteral("cContactCode"),
                                QStringLiteral("cContactName"), condition, edit, this))
            break;
        setMatchedTooltip(edit, edit->tag());
        if (gClsCommon && superiorLeadsBack(*gClsCommon, m_edt[kCodeEdit]->text(), edit->tag()))
            refuseSuperior(true);
        break;
    }
    case 2:
    case 3:
        ShowFieldReference(index == 2 ? QStringLiteral("bcdutyid") : QStringLiteral("bctasteid"),
                           QStringLiteral("cName"), QStringLiteral("cName"), {}, edit, this);
        break;
    case 4:
        if (ShowFieldReference(QStringLiteral("cPrincipal"), QStringLiteral("cPersonCode"),
                               QStringLiteral("cPersonName"), {}, edit, this)) {
            setMatchedTooltip(edit, edit->tag());
            afterReference(kPrincipalEdit);
        }
        break;
    default:
        break;
    }
}

void frmContactEdit::beforeReference(int index)
{
    auto *ref = qobject_cast<RefEdit *>(m_edt[std::size_t(index)]);
    if (!ref)
        return;
    const auto one = [](const QString &name, const QString &value) {
        return QStringLiteral("<RefConditions>") + QStringLiteral("<Condition paramName='") + name
               + QStringLiteral("' paramValue='") + xmlAttributeValue(value)
               + QStringLiteral("' />") + QStringLiteral("</RefConditions>");
    };
    HostEdit *customer = m_edt[kCustomerEdit];
    ref->setRefConditions({}, {});
    if (index == kSuperiorEdit && !customer->text().isEmpty()) {
        ref->setRefConditions(one(QStringLiteral("@cCusName"), customer->text()),
                              QStringLiteral("#FN[cCusCode] in (select cCusCode from Customer "
                                             "where cCusName= @cCusName)"));
    } else if (index == kPrincipalEdit) {
        auto *department = qobject_cast<RefEdit *>(m_edt[kDepartmentEdit]);
        if (department && department->isValidReference() && !department->text().isEmpty())
            ref->setRefConditions(one(QStringLiteral("@cDepCode"), department->text()),
                                  QStringLiteral("#FN[cDepCode]=@cDepCode"));
    } else if (index == kWorkAddressEdit && !customer->text().isEmpty()) {
        ref->setRefConditions(one(QStringLiteral("@cCusCode"), customer->tag()),
                              QStringLiteral("#FN[cCusCode]=@cCusCode"));
    }
}

void frmContactEdit::afterReference(int index)
{
    MarkEdited();
    HostEdit *edit = m_edt[std::size_t(index)];
    if (index == kCustomerEdit) {
        MatchCustomer();
    } else if (index == kSuperiorEdit) {
        setMatchedTooltip(edit, edit->tag());
        if (gClsCommon && superiorLeadsBack(*gClsCommon, m_edt[kCodeEdit]->text(), edit->tag()))
            refuseSuperior(true);
    } else if (index == kPrincipalEdit) {
        auto *person = qobject_cast<RefEdit *>(edit);
        const bool valid = !person || person->isValidReference();
        if (valid && m_edt[kDepartmentEdit]->text().isEmpty()) {
            const QString department = GetPersonDepartment(edit->tag());
            if (!department.isEmpty()) {
                if (auto *ref = qobject_cast<RefEdit *>(m_edt[kDepartmentEdit]))
                    ref->setReference(department, department);
                else
                    m_edt[kDepartmentEdit]->setText(department);
            }
        }
    }
}

const frmContactEdit::UserDefinition *frmContactEdit::userDefinition(const QString &id) const
{
    for (const UserDefinition &def : m_userDefs) {
        if (def.id == id)
            return &def;
    }
    return nullptr;
}

const frmContactEdit::UserDefinition *frmContactEdit::userItemDefinition(int n) const
{
    const QString item = QStringLiteral("自定义项") + QString::number(n);
    for (const UserDefinition &def : m_userDefs) {
        if (def.item == item)
            return &def;
    }
    return nullptr;
}

QString frmContactEdit::userItemValue(const QString &id) const
{
    for (int n = 1; n <= kUserEditCount; ++n) {
        const UserDefinition *def = userItemDefinition(n);
        if (def && def->id == id)
            return m_edtU[std::size_t(n - 1)]->text();
    }
    for (const ExtendedEditor &editor : m_edtE) {
        if (editor.id == id)
            return editor.edit->text();
    }
    return {};
}

void frmContactEdit::clearDependentItems(const QString &id)
{
    if (m_loading || id.isEmpty())
        return;
    for (const UserDefinition &def : m_userDefs) {
        if (def.parentId != id)
            continue;
        for (int n = 1; n <= kUserEditCount; ++n) {
            const UserDefinition *item = userItemDefinition(n);
            if (item && item->id == def.id)
                m_edtU[std::size_t(n - 1)]->clear();
        }
        for (const ExtendedEditor &editor : std::as_const(m_edtE)) {
            if (editor.id == def.id)
                editor.edit->clear();
        }
    }
}

void frmContactEdit::onUserReferenceButton(int index)
{
    MarkEdited();
    const UserDefinition *def = userItemDefinition(index + 1);
    RefConditionTexts conditions;
    bool multiSelect = false;
    if (def) {
        conditions = dependentItemConditions(def->id, def->parentId, userItemValue(def->parentId));
        multiSelect = def->multiSelect;
    }
    HostEdit *edit = m_edtU[std::size_t(index)];
    const QString before = edit->text();
    if (ShowFieldReference(QStringLiteral("cConDefine%1").arg(index + 1), QStringLiteral("cValue"),
                           QStringLiteral("cValue"), {}, edit, this, conditions, multiSelect)
        && def && edit->text() != before)
        clearDependentItems(def->id);
}

bool frmContactEdit::RefDefine(const UserDefinition &definition, HostEdit *editor, QString &value)
{
    Q_UNUSED(editor)
    std::unique_ptr<ReferenceClient> client
        = HostRegistry::createAs<ReferenceClient>(QStringLiteral("ReferenceClient"));
    QString error;
    QString sql;
    QString key;
    QString shown;
    if (definition.dataSource == 1 && !definition.relArchive.isEmpty()) {
        sql = archiveValuesSql(definition.relArchive, definition.relField, {});
        key = resultColumnOf(definition.relField);
        shown = key;
    } else {
        sql = valueListSql(definition.id);
        key = QStringLiteral("cValue");
        shown = QStringLiteral("cValue,cAlias");
    }
    const QString settings = definition.multiSelect ? multiSelectSettings(value) : QString();
    if (client)
        client->SetLogin(gLogin);
    if (!client || sql.isEmpty() || !client->StrRefInit(sql, key, shown, settings, {}, error)) {
        ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00100")));
        return false;
    }
    const RefConditionTexts conditions = dependentItemConditions(
        definition.id, definition.parentId, userItemValue(definition.parentId));
    client->SetConditions(conditions.xml, conditions.filter);
    if (!client->Show(this))
        return false;
    auto *chosen = qobject_cast<db::Recordset *>(client->recmx());
    if (!chosen)
        return false;
    QStringList values;
    for (chosen->moveFirst(); !chosen->eof(); chosen->moveNext())
        values.append(valueText(chosen->value(key)));
    value = values.join(u',');
    return true;
}

void frmContactEdit::onExtendedReferenceButton(int index)
{
    if (index < 0 || index >= m_edtE.size())
        return;
    MarkEdited();
    const ExtendedEditor &editor = m_edtE.at(index);
    const UserDefinition *def = userDefinition(editor.id);
    if (!def)
        return;
    const QString refData = editor.edit->property("refData").toString();
    const QString archive = refData.section(QStringLiteral("[##]"), 0, 0);
    const QString field = refData.section(QStringLiteral("[##]"), 1);
    QString value = editor.edit->text();
    bool chosen = false;
    if (archive.startsWith(kItemClassPrefix, Qt::CaseInsensitive)) {
        // Items of an item class: open ones only, whatever the operator's customer rights.
        std::unique_ptr<ReferenceClient> client
            = HostRegistry::createAs<ReferenceClient>(QStringLiteral("ReferenceClient"));
        QString error;
        if (client)
            client->SetLogin(gLogin);
        if (client)
            client->SetRWAuth(false);
        if (!client
            || !client->ItemRefInit(archive.mid(kItemClassPrefix.size()),
                                    QStringLiteral(" isnull(bclose,0)=0"), error)) {
            ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00100")));
            return;
        }
        const RefConditionTexts conditions
            = dependentItemConditions(def->id, def->parentId, userItemValue(def->parentId));
        client->SetConditions(conditions.xml, conditions.filter);
        if (client->Show(this)) {
            const bool ofClass = field.startsWith(QStringLiteral("citem_"), Qt::CaseInsensitive);
            auto *rows
                = qobject_cast<db::Recordset *>(ofClass ? client->RstSelClass() : client->recmx());
            const QString column = field.isEmpty() ? QStringLiteral("citemcode") : field;
            if (rows && rows->hasField(column)) {
                value = valueText(rows->value(column));
                chosen = true;
            }
        }
        client->SetRWAuth(true);
    } else {
        chosen = RefDefine(*def, editor.edit, value);
    }
    if (chosen && gPubService && gPubService->EdtSetVal(editor.edit, value))
        clearDependentItems(def->id);
}

bool frmContactEdit::openFocusedReference()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return false;
    for (int cmd = 0; cmd < int(kButtonEditors.size()); ++cmd) {
        if (focus == m_edt[std::size_t(kButtonEditors[cmd])]) {
            m_cmd[std::size_t(cmd)]->click();
            return true;
        }
    }
    for (int i = 0; i < kUserEditCount; ++i) {
        if (focus == m_edtU[std::size_t(i)] && !m_cmdU[std::size_t(i)]->isHidden()) {
            m_cmdU[std::size_t(i)]->click();
            return true;
        }
    }
    for (const ExtendedEditor &editor : std::as_const(m_edtE)) {
        if (focus == editor.edit && editor.button) {
            editor.button->click();
            return true;
        }
    }
    if (auto *ref = qobject_cast<RefEdit *>(focus); ref && ref->hasOpener()) {
        ref->openReference();
        return true;
    }
    return false;
}

} // namespace perikon
