#include "perikon/messaging/frmSendSMS.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/ReferenceServices.h"
#include "perikon/list/ListWindows.h"
#include "perikon/messaging/SendSms.h"
#include "perikon/messaging/SmsTyping.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/RefEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace perikon {

namespace {

const QString kWindowKey = QStringLiteral("K2.CRM.QZContactUI.frmSendSMS");
const QString kLookupSettings = QStringLiteral(
    "<Ref><RefSet  bAuth='1' authFunID='W' iRetStyle='3' bMultiSel='1' bAutoCheck='0' "
    "iFilterStyle='0' /></Ref>");

QLabel *newLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton *newButton(const char *name, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QString fieldText(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

// Restores the cursor and the send button however the send ends.
class SendingState
{
public:
    SendingState(QPushButton *button, bool &flag)
        : m_button(button)
        , m_flag(flag)
    {
        m_flag = true;
        m_button->setEnabled(false);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~SendingState()
    {
        QApplication::restoreOverrideCursor();
        m_button->setEnabled(true);
        m_flag = false;
    }
    SendingState(const SendingState &) = delete;
    SendingState &operator=(const SendingState &) = delete;

private:
    QPushButton *m_button;
    bool &m_flag;
};

} // namespace

frmSendSMS::frmSendSMS(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSendSMS"));
    buildUi();
    load();
}

frmSendSMS::~frmSendSMS() = default;

void frmSendSMS::buildUi()
{
    auto *outer = new QVBoxLayout(this);
    auto *form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(8);

    auto *mobileLabel = newLabel("lblMobilePhone", this);
    m_mobile = new controls::RefEdit(this);
    m_mobile->setObjectName(QStringLiteral("txtMobilePhone"));
    // The window has its own button for one contact; the lookup opens from Alt+Down or the
    // editor's drop-down.
    m_mobile->setValidator(new messaging::DroppingValidator(messaging::recipientsTyped, m_mobile));
    m_pick = new QToolButton(this);
    m_pick->setObjectName(QStringLiteral("Cmd"));
    m_pick->setAutoRaise(false);
    mobileLabel->setBuddy(m_mobile);
    form->addWidget(mobileLabel, 0, 0);
    form->addWidget(m_mobile, 0, 1);
    form->addWidget(m_pick, 0, 2);

    auto *senderLabel = newLabel("lblSender", this);
    m_senderEdit = new QLineEdit(this);
    m_senderEdit->setObjectName(QStringLiteral("txtSender"));
    m_senderEdit->setValidator(
        new messaging::DroppingValidator(messaging::senderTyped, m_senderEdit));
    senderLabel->setBuddy(m_senderEdit);
    form->addWidget(senderLabel, 1, 0);
    form->addWidget(m_senderEdit, 1, 1, 1, 2);

    auto *opinionLabel = newLabel("lblOpinion", this);
    m_opinion = new QPlainTextEdit(this);
    m_opinion->setObjectName(QStringLiteral("txtOpinion"));
    m_opinion->setTabChangesFocus(true);
    m_opinion->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    form->addWidget(opinionLabel, 2, 0, Qt::AlignTop);
    form->addWidget(m_opinion, 2, 1, 1, 2);
    form->setColumnStretch(1, 1);
    form->setRowStretch(2, 1);
    outer->addLayout(form, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_send = newButton("cmdSend", this);
    m_exit = newButton("cmdExit", this);
    m_help = newButton("cmdHelp", this);
    buttons->addWidget(m_send);
    buttons->addWidget(m_exit);
    buttons->addWidget(m_help);
    outer->addLayout(buttons);

    // Fallback captions for a host without texts for this window.
    mobileLabel->setText(QStringLiteral("Mobile:"));
    senderLabel->setText(QStringLiteral("Sender:"));
    opinionLabel->setText(QStringLiteral("Text:"));
    m_send->setText(QStringLiteral("&Send"));
    m_exit->setText(QStringLiteral("E&xit"));
    m_help->setText(QStringLiteral("&Help"));

    // Every change of the box, by typing, a pick or the list's preset, is what gets sent.
    connect(m_mobile, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_recipients = text.trimmed(); });
    connect(m_mobile, &controls::RefEdit::afterReference, this, &frmSendSMS::pickFromLookup);
    connect(m_opinion, &QPlainTextEdit::textChanged, this, [this] {
        // Newlines go whether typed or pasted, with the cursor kept where the text was.
        const QString text = m_opinion->toPlainText();
        const QString oneLine = messaging::messageTyped(text);
        if (oneLine == text)
            return;
        QTextCursor cursor = m_opinion->textCursor();
        const int before = int(messaging::messageTyped(text.left(cursor.position())).size());
        const QSignalBlocker block(m_opinion);
        m_opinion->setPlainText(oneLine);
        cursor = m_opinion->textCursor();
        cursor.setPosition(before);
        m_opinion->setTextCursor(cursor);
    });
    connect(m_pick, &QToolButton::clicked, this, &frmSendSMS::pickOneContact);
    connect(m_send, &QPushButton::clicked, this, &frmSendSMS::send);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::close);
    connect(m_help, &QPushButton::clicked, this, [this] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(this, &press);
    });
    resize(480, 300);
}

void frmSendSMS::load()
{
    if (UiHelper *helper = ::perikon::internal::uiHelperIfAny())
        helper->InitFormLanguage(this, kWindowKey);
    setWindowTitle(GetResText(QStringLiteral("K2.CRM.QZContact.SendSMS")));
    if (QWidget *owner = parentWidget())
        setWindowIcon(owner->window()->windowIcon());

    setProperty("HelpContextID", list::helpContextId(this, QStringLiteral("发送短信")));

    m_pick->setIcon(QIcon::fromTheme(QStringLiteral("x-office-address-book"),
                                     style()->standardIcon(QStyle::SP_FileDialogContentsView)));
    m_pick->setToolTip(GetResText(QStringLiteral("K2.CRM.QZContact.frmsendsms.PickContact")));

    if (gPubService)
        gPubService->InitRefEdit(m_mobile, gLogin, QStringLiteral("Contact_Note"), false,
                                 kLookupSettings);

    QString person;
    if (gClsCommon) {
        bool flag = false;
        QString message;
        const std::unique_ptr<db::Recordset> rows(gClsCommon->OpenX(
            QStringLiteral("SELECT top 1 cPersonName FROM Person  WHERE cPersonCode = N'")
                + db::sqlEscaped(hostlogin::text(gLogin.data(), "cEmployeeId")) + QLatin1Char('\''),
            flag, message));
        if (rows && rows->state() == 1 && !rows->eof())
            person = fieldText(rows->value(QStringLiteral("cPersonName")));
    }
    m_senderEdit->setText(person);
    m_sender = m_senderEdit->text().trimmed();
}

void frmSendSMS::appendNumbers(const QStringList &numbers)
{
    // As the box would keep them, so a stored "139-0000-0001" meets a typed 13900000001.
    QStringList kept;
    for (const QString &number : numbers)
        kept.append(messaging::recipientsTyped(number));
    m_mobile->setText(messaging::appendRecipients(m_mobile->text(), kept));
}

void frmSendSMS::pickFromLookup()
{
    QStringList numbers;
    for (const QVariantMap &row : m_mobile->chosenRows()) {
        const QString number = fieldText(row.value(QStringLiteral("cmobilephone"))).trimmed();
        if (!number.isEmpty())
            numbers.append(number);
    }
    m_mobile->setChosenRows({});
    appendNumbers(numbers);
}

void frmSendSMS::pickOneContact()
{
    std::unique_ptr<ArchiveReference> archive
        = HostRegistry::createAs<ArchiveReference>(QStringLiteral("CrmContactArchive"));
    if (!archive)
        return;
    QString error;
    auto *row = qobject_cast<db::Recordset *>(
        archive->GetRecordRst(gLogin, QString(), QString(), this, error));
    if (!row) {
        if (!error.isEmpty())
            ShowMessage(error);
        return;
    }
    if (row->state() != 1 || row->eof())
        return;
    const QString number = fieldText(row->value(QStringLiteral("cMobilePhone"))).trimmed();
    if (!number.isEmpty())
        appendNumbers({number});
}

void frmSendSMS::send()
{
    if (m_sending)
        return;
    m_recipients = m_mobile->text().trimmed();
    m_sender = m_senderEdit->text().trimmed();
    m_text = m_opinion->toPlainText().trimmed();
    if (m_recipients.isEmpty()) {
        ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmsendsms.00014")));
        m_mobile->setFocus();
        return;
    }
    // Blanks only still count as a text here; the sending reports it as empty.
    if (m_opinion->toPlainText().isEmpty()) {
        ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmsendsms.00015")));
        m_opinion->setFocus();
        return;
    }
    QString message = m_text;
    // A signature alone is no message: blanks stay blanks, and the sending reports them empty.
    if (!m_sender.isEmpty() && !m_text.isEmpty())
        message += GetResText(QStringLiteral("K2.CRM.QZContact.frmsendsms.00016")) + m_sender;
    UiHelper *helper = ::perikon::internal::uiHelperIfAny();
    const QString config = helper ? helper->GetSmsConfig() : QString();
    QString report;
    {
        const SendingState sending(m_send, m_sending);
        Common::sendSMS(config, {QStringList{m_recipients}, QStringList{message}}, report);
    }
    ShowMessage(report);
}

void frmSendSMS::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        if (gPubService)
            gPubService->ShowHelp(this);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSendSMS::closeEvent(QCloseEvent *event)
{
    // The gateway's answer is awaited before the window may go.
    if (m_sending) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmSendSMS::done(int result)
{
    if (m_sending)
        return;
    unload();
    QDialog::done(result);
}

void frmSendSMS::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (UiHelper *helper = ::perikon::internal::uiHelperIfAny())
        helper->FormUnload(this);
    if (gPubService)
        gPubService->FrmUnLoad(this);
}

namespace {
[[maybe_unused]] const bool kRegistered = [] {
    list::registerListDialog(list::kSmsWindow, [](list::ListAccess &, QWidget *parent) {
        return std::unique_ptr<QDialog>(new frmSendSMS(parent));
    });
    return true;
}();
} // namespace

} // namespace perikon
