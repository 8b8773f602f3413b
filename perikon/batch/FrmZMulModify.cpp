#include "perikon/batch/FrmZMulModify.h"

#include "perikon/batch/BatchSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/BatchModifyControl.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/ListWindows.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace perikon {

namespace {

const QString kTitle = QStringLiteral("客户联系人批量修改");
const QString kMarked = QStringLiteral("√ ");

QString titleText()
{
    return batch::fixedText(kTitle, "K2.CRM.QZContact.FrmZMulModify.Title");
}

} // namespace

FrmZMulModify::FrmZMulModify(list::ListAccess &list, QWidget *parent)
    : QDialog(parent)
    , m_list(list)
    , m_event(titleText())
{
    setObjectName(QStringLiteral("FrmZMulModify"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(6);

    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("TitleStrip"));
    strip->setAutoFillBackground(true);
    QPalette band = strip->palette();
    band.setColor(QPalette::Window, QColor(0xDC, 0xE8, 0xF5));
    strip->setPalette(band);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(10, 6, 10, 6);
    m_title = new QLabel(strip);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    m_title->setFont(titleFont);
    stripLayout->addWidget(m_title);
    stripLayout->addStretch();
    layout->addWidget(strip);

    m_find = HostRegistry::createAs<BatchModifyControl>(QStringLiteral("BatchModifyControl"))
                 .release();
    if (m_find) {
        m_find->setParent(this);
        m_find->setObjectName(QStringLiteral("Find"));
        auto *body = new QVBoxLayout;
        body->setContentsMargins(10, 0, 10, 0);
        body->addWidget(m_find);
        layout->addLayout(body, 1);
        connect(m_find, &BatchModifyControl::modify, this, &FrmZMulModify::onModify);
        connect(m_find, &BatchModifyControl::closeRequested, this, &QDialog::close);
    }

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgBatch"));
    m_progress->setFormat(QStringLiteral("%v / %m"));
    m_progress->setVisible(false);
    auto *progressRow = new QHBoxLayout;
    progressRow->setContentsMargins(10, 0, 10, 0);
    progressRow->addWidget(m_progress);
    layout->addLayout(progressRow);

    m_event.setProgress([this](qint64 done, qint64 total) { showProgress(done, total); });
    load();
}

FrmZMulModify::~FrmZMulModify() = default;

void FrmZMulModify::load()
{
    if (gPubService)
        gPubService->FrmUniteFont(this);
    if (QWidget *owner = parentWidget())
        setWindowIcon(owner->window()->windowIcon());
    m_title->setText(titleText());
    setWindowTitle(m_title->text());
    // Only this window's own changes make the list refresh when it goes.
    gListDirty = false;
    m_firstActivation = true;
    if (m_find)
        m_find->setMode(2);
}

void FrmZMulModify::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Once, after the window is on screen: the control's failure closes a window the operator
    // has seen open, and the list grid is read as it is then.
    if (m_firstActivation && !m_activationQueued) {
        m_activationQueued = true;
        QTimer::singleShot(0, this, [this] {
            if (m_firstActivation && isVisible()) {
                m_firstActivation = false;
                firstActivation();
            }
        });
    }
}

QList<QPair<QString, QString>> FrmZMulModify::markedContacts(const QWidget *listGrid)
{
    QList<QPair<QString, QString>> marked;
    const auto *grid = qobject_cast<const controls::HostGrid *>(listGrid);
    if (!grid)
        return marked;
    const int rows = grid->Rows();
    for (int row = 1; row < rows; ++row) {
        if (grid->TextMatrix(row, 1) == kMarked)
            marked.append({QString::number(row), grid->TextMatrix(row, 2)});
    }
    return marked;
}

void FrmZMulModify::firstActivation()
{
    if (!m_find) {
        ShowMessage(QStringLiteral("The host has no BatchModifyControl."));
        close();
        return;
    }
    std::unique_ptr<db::Recordset> templateRs(
        gClsCommon ? gClsCommon->OpenX(
            QStringLiteral("select  * from crm_contact,Person,Department,customer where 1=2"))
                   : nullptr);
    QString error;
    const QString modifyCaption
        = gPubService ? gPubService->GetResString(QStringLiteral("K2.AA.ARCHIVE.COMMON.modify"))
                      : QString();
    if (!templateRs) {
        error = gLastError;
    } else if (m_find->Initialize(gLogin.data(), gBatchCatalogXml, templateRs.get(), error,
                                  modifyCaption, QStringLiteral("(F8)"))) {
        m_find->SetSelection(QStringLiteral("cContactCode"), markedContacts(m_list.listGrid()),
                             QStringLiteral("crm_contact"));
        return;
    }
    ShowMessage(error);
    close();
}

void FrmZMulModify::onModify(const QString &where, const QString &field, const QString &value)
{
    if (m_running)
        return;
    m_running = true;
    m_event.run(field, value, where);
    if (m_progress->isVisible()) {
        m_progress->setVisible(false);
        QApplication::restoreOverrideCursor();
    }
    m_running = false;
}

void FrmZMulModify::showProgress(qint64 done, qint64 total)
{
    if (!m_progress->isVisible()) {
        m_progress->setRange(0, int(qMin<qint64>(total, INT_MAX)));
        m_progress->setVisible(true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    // Repaint now and then: a paint per contact would cost more than the contact's update.
    static constexpr qint64 kStep = 64;
    if (done % kStep != 0 && done != total)
        return;
    m_progress->setValue(int(done));
    // Only paint and network work runs meanwhile, so nothing re-enters the window.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FrmZMulModify::done(int result)
{
    unload();
    QDialog::done(result);
}

void FrmZMulModify::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        event->ignore();
        return;
    }
    unload();
    QDialog::closeEvent(event);
}

void FrmZMulModify::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (gListDirty) {
        gListDirty = false;
        m_list.refreshList(QString());
    }
    if (gPubService)
        gPubService->FrmUnLoad(this);
}

namespace {
// The batch window is part of the component: the list offers batch modification once the host
// has a batch control.
[[maybe_unused]] const bool kRegistered = [] {
    list::registerListDialog(list::kBatchWindow, [](list::ListAccess &list, QWidget *parent) {
        return std::unique_ptr<QDialog>(new FrmZMulModify(list, parent));
    });
    return true;
}();
} // namespace

} // namespace perikon
