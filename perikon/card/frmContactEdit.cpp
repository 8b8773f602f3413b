#include "perikon/card/frmContactEdit.h"

#include "perikon/card/CardFields.h"
#include "perikon/card/CardSession.h"
#include "perikon/data/DataSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/entry/clsLogin.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PictureControl.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/DatePicker.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/HostToolbar.h"
#include "suite/controls/KeyHook.h"
#include "suite/controls/RefEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace perikon {

using namespace controls;
using namespace card;

namespace {

const QString kWindowKey = QStringLiteral("K2.CRM.QZContactUI.frmContactEdit");
const QString kToolbarKey = QStringLiteral("CS_Other_AddLmArch");

QLabel *newLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

} // namespace

frmContactEdit::frmContactEdit(list::ListAccess &list, QWidget *parent)
    : QDialog(parent)
    , m_list(list)
{
    setObjectName(QStringLiteral("frmContactEdit"));
    setWindowModality(Qt::WindowModal);
    buildWidgets();
    load();
}

frmContactEdit::~frmContactEdit()
{
    gContactTs.clear();
}

void frmContactEdit::buildWidgets()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);

    // Tlb holds the buttons' states; TLB2 is the toolbar the operator sees.
    m_tlb = new HostToolbar(this);
    m_tlb->setObjectName(QStringLiteral("Tlb"));
    m_tlb->hide();
    m_tlb2 = new HostToolbar(this);
    m_tlb2->setObjectName(QStringLiteral("TLB2"));
    m_tlb2->mirror(m_tlb);
    layout->addWidget(m_tlb2);
    connect(m_tlb2, &HostToolbar::buttonClicked, this,
            [this](const QString &key) { Operating(key); });
    connect(m_tlb, &HostToolbar::buttonClicked, this,
            [this](const QString &key) { Operating(key); });

    m_tab = new QTabWidget(this);
    m_tab->setObjectName(QStringLiteral("SSTab1"));
    m_tab->addTab(buildGeneralTab(), QString());
    m_tab->addTab(buildDetailsTab(), QString());
    m_tab->addTab(buildOtherTab(), QString());
    m_tab->addTab(buildAuthTab(), QString());
    auto *body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 0);
    body->addWidget(m_tab);
    layout->addLayout(body, 1);

    m_keyHook = new KeyHook(this);
    m_keyHook->setObjectName(QStringLiteral("QZKeyHookCtrl1"));
    connect(m_keyHook, &KeyHook::keyDown, this, &frmContactEdit::onKeyDown, Qt::DirectConnection);
    connectEdits();
    resize(760, 520);
}

namespace {

// Label and editor pairs in two columns.
class FieldGrid
{
public:
    explicit FieldGrid(QWidget *page)
        : m_layout(new QGridLayout(page))
    {
        m_layout->setHorizontalSpacing(10);
        m_layout->setVerticalSpacing(6);
        m_layout->setColumnStretch(1, 1);
        m_layout->setColumnStretch(3, 1);
        m_layout->setColumnMinimumWidth(2, 24);
    }
    void add(QLabel *label, QWidget *editor)
    {
        const int column = m_next % 2 == 0 ? 0 : 2;
        const int row = m_next / 2;
        m_layout->addWidget(label, row, column);
        m_layout->addWidget(editor, row, column + 1);
        ++m_next;
    }
    // A pair over the whole width, starting on a fresh row.
    void addWide(QLabel *label, QWidget *editor)
    {
        if (m_next % 2)
            ++m_next;
        const int row = m_next / 2;
        m_layout->addWidget(label, row, 0);
        m_layout->addWidget(editor, row, 1, 1, 3);
        m_next += 2;
    }
    void addAlone(QWidget *widget)
    {
        const int column = m_next % 2 == 0 ? 1 : 3;
        m_layout->addWidget(widget, m_next / 2, column);
        ++m_next;
    }
    void finish() { m_layout->setRowStretch(m_next / 2 + 1, 1); }
    QGridLayout *layout() const { return m_layout; }

private:
    QGridLayout *m_layout;
    int m_next = 0;
};

} // namespace

QWidget *frmContactEdit::buildGeneralTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("SSTab1_General"));
    for (const CardField &field : cardFields()) {
        // Editors with a reference key keep the code behind the text they show.
        HostEdit *edit = field.refKey.isEmpty() ? new HostEdit : new RefEdit;
        edit->setObjectName(QStringLiteral("Edt_%1").arg(field.index));
        m_edt[std::size_t(field.index)] = edit;
        m_lbl[std::size_t(field.index)] = newLabel(field.label.toString(), nullptr);
    }
    const char *const pickerLabels[kPickerCount]
        = {"lbldBirthday", "lbldCreateDate", "LblD1_14", "LblD1_15", "lbldConEDate"};
    for (int i = 0; i < kPickerCount; ++i) {
        auto *picker = new DatePicker;
        picker->setObjectName(QStringLiteral("DTPicker1_%1").arg(i));
        m_dt[std::size_t(i)] = picker;
        m_dtLabel[std::size_t(i)] = newLabel(QString::fromLatin1(pickerLabels[i]), nullptr);
    }
    m_cboSex = new QComboBox;
    m_cboSex->setObjectName(QStringLiteral("cboSex"));
    m_lblSex = newLabel(QStringLiteral("lblcSex"), nullptr);
    m_cboMarriage = new QComboBox;
    m_cboMarriage->setObjectName(QStringLiteral("cboMarriage"));
    m_lblMarriage = newLabel(QStringLiteral("lblcMarriage"), nullptr);
    m_chkMajor = new QCheckBox;
    m_chkMajor->setObjectName(QStringLiteral("ChkbMajor"));
    m_chkDefaultCon = new QCheckBox;
    m_chkDefaultCon->setObjectName(QStringLiteral("chkbDefaultCon"));

    // Customer, superior, duty, taste and person in charge have a reference button each.
    const int buttoned[] = {kCustomerEdit, kSuperiorEdit, kDutyEdit, kTasteEdit, kPrincipalEdit};
    for (int cmd = 0; cmd < 5; ++cmd)
        m_cmd[std::size_t(cmd)] = newReferenceButton(QStringLiteral("Cmd_%1").arg(cmd));
    FieldGrid grid(page);
    auto pair = [&](int index) {
        QWidget *editor = m_edt[std::size_t(index)];
        for (int cmd = 0; cmd < 5; ++cmd) {
            if (buttoned[cmd] == index)
                editor = withButton(editor, m_cmd[std::size_t(cmd)]);
        }
        grid.add(m_lbl[std::size_t(index)], editor);
    };
    pair(kCustomerEdit);
    pair(kCodeEdit);
    pair(kNameEdit);
    pair(3);
    grid.add(m_lblSex, m_cboSex);
    grid.add(m_lblMarriage, m_cboMarriage);
    pair(kDepartmentEdit);
    pair(kPrincipalEdit);
    pair(kSuperiorEdit);
    pair(kDutyEdit);
    pair(kTasteEdit);
    pair(5);
    grid.add(m_dtLabel[kBirthdayPicker], m_dt[kBirthdayPicker]);
    grid.add(m_dtLabel[kEndDatePicker], m_dt[kEndDatePicker]);
    pair(kCreatorEdit);
    grid.add(m_dtLabel[kCreateDatePicker], m_dt[kCreateDatePicker]);
    grid.addAlone(m_chkMajor);
    grid.addAlone(m_chkDefaultCon);
    grid.finish();
    // The photo to the right of the fields.
    if (std::unique_ptr<PictureControl> pic
        = HostRegistry::createAs<PictureControl>(QStringLiteral("PictureControl"))) {
        m_pic = pic.release();
        m_pic->setParent(page);
        m_pic->setObjectName(QStringLiteral("Pic"));
        grid.layout()->setColumnMinimumWidth(4, 8);
        grid.layout()->addWidget(m_pic, 0, 5, 7, 1, Qt::AlignTop);
        connect(m_pic, &PictureControl::pictureChanged, this, &frmContactEdit::MarkEdited);
    }
    return page;
}

QWidget *frmContactEdit::buildDetailsTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("SSTab1_Details"));
    FieldGrid grid(page);
    for (int index : {10, 11, 12, 13, kWechatEdit, kZipEdit, 18, 15})
        grid.add(m_lbl[std::size_t(index)], m_edt[std::size_t(index)]);
    for (int index : {kWorkAddressEdit, 17, 19, 20})
        grid.addWide(m_lbl[std::size_t(index)], m_edt[std::size_t(index)]);
    grid.finish();
    return page;
}

QWidget *frmContactEdit::buildOtherTab()
{
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("SSTab1_Other"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_otherPage = new QWidget;
    m_otherPage->setObjectName(QStringLiteral("SSTab1_OtherPage"));
    FieldGrid grid(m_otherPage);
    for (int i = 0; i < kUserEditCount; ++i) {
        auto *edit = new HostEdit;
        edit->setObjectName(QStringLiteral("EdtU_%1").arg(i));
        m_edtU[std::size_t(i)] = edit;
        m_cmdU[std::size_t(i)] = newReferenceButton(QStringLiteral("CmdU_%1").arg(i));
        m_lblD1[std::size_t(i)] = newLabel(QStringLiteral("LblD1_%1").arg(i), nullptr);
        grid.add(m_lblD1[std::size_t(i)], withButton(edit, m_cmdU[std::size_t(i)]));
    }
    // Items 15 and 16 are dates.
    m_lblD1[14] = m_dtLabel[kUserDate15Picker];
    m_lblD1[15] = m_dtLabel[kUserDate16Picker];
    grid.add(m_lblD1[14], m_dt[kUserDate15Picker]);
    grid.add(m_lblD1[15], m_dt[kUserDate16Picker]);
    // The extended editors follow, built once their definitions are read.
    m_extendedGrid = grid.layout();
    m_extendedRow = (kUserItemCount + 1) / 2;
    scroll->setWidget(m_otherPage);
    return scroll;
}

QWidget *frmContactEdit::buildAuthTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("SSTab1_Auth"));
    auto *layout = new QVBoxLayout(page);
    m_authGrid = new HostGrid(page);
    m_authGrid->setObjectName(QStringLiteral("flxGrid"));
    m_authGrid->setCols(5);
    m_authGrid->setRows(1);
    m_authGrid->setFixedCols(1);
    layout->addWidget(m_authGrid);
    return page;
}

QString frmContactEdit::languageId() const
{
    if (UiHelper *helper = ::perikon::internal::uiHelperIfAny())
        return helper->GetLanguageId(gLogin);
    return {};
}

void frmContactEdit::setWindowCaption(const QString &captionKey, const QString &code)
{
    QStringList args{GetResText(QStringLiteral("K2.CRM.BizObjDic.WordContactRec"))};
    if (!code.isEmpty())
        args << code;
    const QString caption = GetResFormat(captionKey, args);
    if (UiHelper *helper = ::perikon::internal::uiHelperIfAny())
        helper->SetFormCaption(this, caption, false);
    else
        setWindowTitle(caption);
}

void frmContactEdit::load()
{
    m_loading = true;
    if (UiHelper *helper = ::perikon::internal::uiHelperIfAny())
        helper->InitFormLanguage(this, kWindowKey);
    m_state.bEdit = false;
    m_state.bExist = false;
    if (gPubService)
        gPubService->FrmUniteFont(this);

    // The card's own connection on the account, open while the window is.
    if (gClsLogin && !gClsLogin->qzDBName.isEmpty()) {
        m_connection = std::make_unique<db::Connection>();
        try {
            m_connection->open(gClsLogin->qzDBName);
        } catch (...) {
            m_connection.reset();
        }
    }

    if (gPubService)
        gPubService->InitToolbar(m_tlb, kToolbarKey, QStringLiteral("CS"), gLogin);
    setCaptions();
    fillCombos();

    setLengths();
    if (m_pic)
        m_pic->Init(gPubService.get(), QStringLiteral("1024"));
    ClearAndApplyDefaults();

    if (gPubService) {
        gPubService->HelpX(this, QStringLiteral("ContactCard"));
        gPubService->FrmOptInit(this, gLogin);
    }
    buildUserFields();

    if (gPubService) {
        const QString authSettings = QStringLiteral("<Ref><RefSet  bAuth='1' authFunID='W' "
                                                    "bAutoCheck='1'/></Ref>");
        const QString personSettings = QStringLiteral("<Ref><RefSet  bAuth='0'/></Ref>");
        for (int index :
             {kCustomerEdit, kSuperiorEdit, kWorkAddressEdit, kDepartmentEdit, kPrincipalEdit}) {
            const QString settings = index == kCustomerEdit    ? authSettings
                                     : index == kPrincipalEdit ? personSettings
                                                               : QString();
            gPubService->InitRefEdit(m_edt[std::size_t(index)], gLogin,
                                     cardField(index)->refKey.toString(), false, settings);
        }
    }

    if (!gArchiveCusCode.trimmed().isEmpty()) {
        m_edt[kCustomerEdit]->setText(gArchiveCusCode);
        MatchCustomer();
    }

    for (int tab = 0; tab < 4; ++tab) {
        static const char *const keys[] = {"00023", "00024", "00025", "00029"};
        m_tab->setTabText(tab, GetResText(QStringLiteral("K2.CRM.CONTACT.iclscommon.")
                                          + QLatin1String(keys[tab])));
    }
    const ChatCaptions chat = chatCaptions(languageId());
    m_lbl[13]->setText(chat.call);
    m_lbl[kWechatEdit]->setText(chat.wechat);

    if (gPubService) {
        gPubService->SetBadStrException(m_edt[kCustomerEdit]);
        gPubService->SetBadStrException(m_edt[kNameEdit]);
        gPubService->MustInputColor(m_lbl[kNameEdit]);
    }

    if (gCardColInfoXml.isEmpty() && gColumnSet)
        gCardColInfoXml = gColumnSet->getColInfo(QStringLiteral("Crm_Contact"), 0);
    MarkMustInputLabels();
    // Nothing to save until the operator changes something.
    setSaveEnabled(false);
    m_loading = false;
}

void frmContactEdit::setCaptions()
{
    for (const CardField &field : cardFields()) {
        if (!field.captionKey.isEmpty())
            m_lbl[std::size_t(field.index)]->setText(GetResText(field.captionKey.toString()));
    }
    m_lbl[kDepartmentEdit]->setText(GetResText(QStringLiteral("K2.AA.Archive.department")));
    m_lblSex->setText(GetResText(QStringLiteral("K2.CRM.LblCap.Sex")));
    m_lblMarriage->setText(GetResText(QStringLiteral("K2.CRM.LblCap.Marriage")));
    m_dtLabel[kBirthdayPicker]->setText(GetResText(QStringLiteral("K2.CRM.LblCap.Birthday")));
    m_dtLabel[kCreateDatePicker]->setText(GetResText(QStringLiteral("K2.CRM.LblCap.CreateDate")));
    m_dtLabel[kEndDatePicker]->setText(GetResText(QStringLiteral("K2.AA.ARCHIVE.FIELD.denddate")));
    m_chkMajor->setText(GetResText(QStringLiteral("K2.CRM.LblCap.Major")));
    m_chkDefaultCon->setText(GetResText(QStringLiteral("K2.AA.ARCHIVE.crm_contact"))
                             + GetResText(QStringLiteral("K2.EAI.Main.0637")));
    const QString gridCaptions[] = {
        QStringLiteral("K2.CRM.Card.AuthGrid.Col1"), QStringLiteral("K2.CRM.Card.AuthGrid.Col2"),
        QStringLiteral("K2.CRM.Card.AuthGrid.Col3"), QStringLiteral("K2.CRM.Card.AuthGrid.Col4")};
    for (int column = 1; column <= 4; ++column) {
        m_authGrid->setTextMatrix(0, column, GetResText(gridCaptions[column - 1]));
        m_authGrid->setColWidth(column, column % 2 == 1 ? 110 : 180);
    }
}

void frmContactEdit::setLengths()
{
    std::unique_ptr<db::Recordset> rs;
    if (gClsCommon)
        rs.reset(gClsCommon->OpenX(fieldSizeSql()));
    for (const CardField &field : cardFields()) {
        HostEdit *edit = m_edt[std::size_t(field.index)];
        if (!field.sizeColumn.isEmpty()) {
            if (!rs)
                continue;
            const int column = rs->fieldIndex(field.sizeColumn.toString());
            if (column >= 0 && rs->columnInfo(column).definedSize > 0)
                edit->setMaxLength(int(rs->columnInfo(column).definedSize));
        } else if (field.fixedLength > 0) {
            edit->setMaxLength(field.fixedLength);
        }
    }
    if (gPubService) {
        gPubService->SetIntLen(m_edtU[10], 0);
        gPubService->SetIntLen(m_edtU[11], 0);
    }
}

void frmContactEdit::connectEdits()
{
    for (int i = 0; i < kFieldCount; ++i) {
        HostEdit *edit = m_edt[std::size_t(i)];
        connect(edit, &HostEdit::edited, this, [this, i] { onEditChanged(i); });
        edit->installEventFilter(this);
    }
    for (int i = 0; i < kUserEditCount; ++i) {
        connect(m_edtU[std::size_t(i)], &HostEdit::edited, this, [this, i] {
            MarkEdited();
            if (const UserDefinition *def = userItemDefinition(i + 1))
                clearDependentItems(def->id);
        });
    }
    connectReferences();
    for (int i = 0; i < kPickerCount; ++i) {
        DatePicker *picker = m_dt[std::size_t(i)];
        connect(picker, &DatePicker::edited, this, &frmContactEdit::MarkEdited);
        connect(picker, &DatePicker::invalid, this, [this, i] { validateDate(i); });
    }
    for (QComboBox *combo : {m_cboSex, m_cboMarriage})
        connect(combo, &QComboBox::activated, this, &frmContactEdit::MarkEdited);
    for (QCheckBox *box : {m_chkMajor, m_chkDefaultCon})
        connect(box, &QCheckBox::clicked, this, &frmContactEdit::MarkEdited);
}

bool frmContactEdit::eventFilter(QObject *watched, QEvent *event)
{
    // Typed references are matched when the operator leaves the field, not per keystroke.
    if (event->type() == QEvent::FocusOut && !m_loading && !m_closing) {
        for (int index : {kSuperiorEdit, kDutyEdit, kTasteEdit, kPrincipalEdit}) {
            if (watched == m_edt[std::size_t(index)] && m_edt[std::size_t(index)]->isModified()) {
                m_edt[std::size_t(index)]->setModified(false);
                validateEdit(index);
            }
        }
        if (watched == m_edt[kCustomerEdit] && m_edt[kCustomerEdit]->isModified()) {
            m_edt[kCustomerEdit]->setModified(false);
            if (!m_edt[kCustomerEdit]->text().isEmpty())
                MatchCustomer();
        }
    }
    if (event->type() == QEvent::KeyPress && watched == m_edt[kZipEdit]) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!zipKeyAllowed(key->key(), key->modifiers(), key->text()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmContactEdit::onKeyDown(int key, Qt::KeyboardModifiers mods, bool &swallow)
{
    if (!isEnabled())
        return;
    const bool alt = mods.testFlag(Qt::AltModifier);
    QString command;
    switch (key) {
    case Qt::Key_F1:
        if (gPubService)
            gPubService->ShowHelp(this);
        swallow = true;
        return;
    case Qt::Key_F2:
        if (!openFocusedReference()) {
            for (DatePicker *picker : m_dt) {
                if (picker->isAncestorOf(QApplication::focusWidget()))
                    picker->showCalendar();
            }
        }
        swallow = true;
        return;
    case Qt::Key_F6:
        if (m_tlb->isButtonEnabled(QStringLiteral("SaveRs")))
            command = QStringLiteral("SaveRs");
        break;
    case Qt::Key_PageUp:
        command = alt ? QStringLiteral("First") : QStringLiteral("Previous");
        break;
    case Qt::Key_PageDown:
        command = alt ? QStringLiteral("Last") : QStringLiteral("Next");
        break;
    case Qt::Key_Escape:
        if (m_tlb->isButtonEnabled(QStringLiteral("Exit"))
            || m_tlb->button(QStringLiteral("Exit")) == nullptr)
            command = QStringLiteral("Exit");
        swallow = true;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QWidget *focus = QApplication::focusWidget();
        if (qobject_cast<QLineEdit *>(focus) || qobject_cast<QCheckBox *>(focus)
            || qobject_cast<QComboBox *>(focus)) {
            focusNextChild();
            swallow = true;
        }
        return;
    }
    default:
        return;
    }
    if (command.isEmpty())
        return;
    swallow = true;
    Operating(command);
}

QLabel *frmContactEdit::GetControlByName(const QString &name) const
{
    for (QLabel *label : findChildren<QLabel *>()) {
        if (label->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return label;
    }
    return nullptr;
}

QVariant frmContactEdit::TxtValue(const QVariant &value, const QVariant &defaultValue)
{
    return value.isNull() ? defaultValue : value;
}

void frmContactEdit::presetCustomer(const QString &name, const QString &code)
{
    HostEdit *edit = m_edt[kCustomerEdit];
    if (auto *ref = qobject_cast<RefEdit *>(edit)) {
        ref->setReference(code, name);
    } else {
        edit->setText(name);
        edit->setTag(code);
    }
    setMatchedTooltip(edit, code);
}

void frmContactEdit::ExitForm(int &cancel, int &unloadMode)
{
    cancel = m_cancel;
    unloadMode = m_unloadMode;
}

namespace card {

namespace {
// The card is part of the component: the list offers Add and Modify once it is loaded.
[[maybe_unused]] const bool kRegistered = (registerContactCardWindow(), true);
} // namespace

void registerContactCardWindow()
{
    list::registerContactCard(list::kCardWindow, [](list::ListAccess &list, QWidget *parent) {
        return std::unique_ptr<list::ContactCard>(new frmContactEdit(list, parent));
    });
}

} // namespace card

} // namespace perikon
