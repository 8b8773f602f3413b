// The contact list window: its widgets, and its life (load, first activation, resize, close).

#include "perikon/list/frmContactList.h"

#include "perikon/batch/BatchCatalog.h"

#include "perikon/card/CardSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/entry/IContact.h"
#include "perikon/entry/clsLogin.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/list/ListCommands.h"
#include "perikon/list/ListMarks.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/HostToolbar.h"
#include "suite/controls/KeyHook.h"
#include "suite/controls/LinkLabel.h"
#include "suite/controls/NumericEdit.h"
#include "suite/controls/PanelStatusBar.h"
#include "suite/controls/SpinButtons.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace perikon {

using namespace controls;

namespace {

const QString kWindowKey = QStringLiteral("K2.CRM.QZContactUI.frmContactList");
const QString kArchiveName = QStringLiteral("联系人档案");

// The session's UI helper, made on first use like every host service; nullptr when the host has
// none (the window then keeps its own texts).
} // namespace

frmContactList::frmContactList(IContact *entry, QWidget *parent)
    : QWidget(parent)
    , m_entry(entry)
{
    setObjectName(QStringLiteral("frmContactList"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildWidgets();
    buildMenu();
    buildSortMenu();
    buildPrintControl();
    connectPaging();
    resize(1000, 640);
}

frmContactList::~frmContactList() = default;

void frmContactList::buildWidgets()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_menu = new QMenuBar(this);
    m_menu->setObjectName(QStringLiteral("mnuMain"));
    layout->setMenuBar(m_menu);

    // The definition bar stays hidden; the window shows its mirror.
    m_tlb = new HostToolbar(this);
    m_tlb->setObjectName(QStringLiteral("Tlb"));
    m_tlb->hide();
    m_tlb2 = new HostToolbar(this);
    m_tlb2->setObjectName(QStringLiteral("TLB2"));
    m_tlb2->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_tlb2->mirror(m_tlb);
    layout->addWidget(m_tlb2);
    connect(m_tlb2, &HostToolbar::buttonClicked, this,
            [this](const QString &key) { Operating(key); });

    m_strip = new QFrame(this);
    m_strip->setObjectName(QStringLiteral("CaptionStrip"));
    auto *stripLayout = new QHBoxLayout(m_strip);
    stripLayout->setContentsMargins(8, 4, 8, 4);
    m_pic = new QLabel(m_strip);
    m_pic->setObjectName(QStringLiteral("Pic"));
    m_caption = new QLabel(m_strip);
    m_caption->setObjectName(QStringLiteral("LblCaption"));
    stripLayout->addWidget(m_pic);
    stripLayout->addWidget(m_caption, 1);
    layout->addWidget(m_strip);

    m_grid = new HostGrid(this);
    m_grid->setObjectName(QStringLiteral("Grid"));
    layout->addWidget(m_grid, 1);
    // A click marks or unmarks its row, unless every row is marked through chkSelectAll.
    connect(m_grid, &HostGrid::cellClicked, this, [this](int row, int) {
        if (row > 0 && !m_selectAll->isChecked() && !m_filling)
            list::toggleCurrentRow(*m_grid);
    });
    connect(m_grid, &HostGrid::cellDoubleClicked, this, [this](int row, int) {
        if (row >= 1 && row < m_grid->Rows())
            Operating(QStringLiteral("Modify"));
    });

    m_frameWeb = new QFrame(this);
    m_frameWeb->setObjectName(QStringLiteral("FrameWeb"));
    m_frameWeb->setMouseTracking(true);
    m_frameWeb->installEventFilter(this);
    auto *paging = new QHBoxLayout(m_frameWeb);
    paging->setContentsMargins(8, 3, 8, 3);
    m_selectAll = new QCheckBox(m_frameWeb);
    m_selectAll->setObjectName(QStringLiteral("chkSelectAll"));
    paging->addWidget(m_selectAll);
    connect(m_selectAll, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked)
            MarkAllRows();
        else
            ClearAllMarks();
    });
    paging->addStretch(1);
    for (int i = 0; i < 4; ++i) {
        m_pageLinks[i] = new LinkLabel(m_frameWeb);
        m_pageLinks[i]->setObjectName(QStringLiteral("LblPage_%1").arg(i));
        paging->addWidget(m_pageLinks[i]);
    }
    paging->addSpacing(12);
    auto *pageSizeLabel = new QLabel(m_frameWeb);
    pageSizeLabel->setObjectName(QStringLiteral("LblPageSize"));
    paging->addWidget(pageSizeLabel);
    m_pageSize = new NumericEdit(m_frameWeb);
    m_pageSize->setObjectName(QStringLiteral("EdtPageSize"));
    m_pageSize->setFixedWidth(56);
    paging->addWidget(m_pageSize);
    m_pageSizeSpin = new SpinButtons(m_frameWeb);
    m_pageSizeSpin->setObjectName(QStringLiteral("UpDown1"));
    paging->addWidget(m_pageSizeSpin);
    auto *pageLabel = new QLabel(m_frameWeb);
    pageLabel->setObjectName(QStringLiteral("LblCurPage"));
    paging->addWidget(pageLabel);
    m_page = new NumericEdit(m_frameWeb);
    m_page->setObjectName(QStringLiteral("EdtiCurPage"));
    m_page->setFixedWidth(56);
    paging->addWidget(m_page);
    m_pageSpin = new SpinButtons(m_frameWeb);
    m_pageSpin->setObjectName(QStringLiteral("UpDown2"));
    paging->addWidget(m_pageSpin);
    m_totalPage = new QLabel(m_frameWeb);
    m_totalPage->setObjectName(QStringLiteral("LblTotalPage"));
    paging->addWidget(m_totalPage);
    m_request = new QPushButton(m_frameWeb);
    m_request->setObjectName(QStringLiteral("CmdRequest"));
    paging->addWidget(m_request);
    layout->addWidget(m_frameWeb);

    m_status = new PanelStatusBar(5, this);
    m_status->setObjectName(QStringLiteral("Stb"));
    // Every panel but the last keeps room for a count or a short note.
    for (int i = 0; i + 1 < m_status->panelCount(); ++i)
        m_status->panel(i)->setMinimumWidth(150);
    layout->addWidget(m_status);

    m_keyHook = new KeyHook(this);
    m_keyHook->setObjectName(QStringLiteral("QZKeyHookCtrl1"));
    connect(m_keyHook, &KeyHook::keyDown, this, &frmContactList::onKeyDown, Qt::DirectConnection);
    connect(m_keyHook, &KeyHook::keyUp, this, &frmContactList::onKeyUp);
}

void frmContactList::buildMenu()
{
    struct Item
    {
        const char *menu;
        const char *name;
        const char *key;
        QKeySequence::StandardKey standard;
        const char *shortcut;
    };
    // Only the commands the window runs are offered. The function keys shown beside the items
    // come through the key hook, so the items carry no shortcut of their own.
    const Item items[] = {
        {"mnuFile", "mSetUp", "SetUp", QKeySequence::UnknownKey, ""},
        {"mnuFile", "mPreview", "Preview", QKeySequence::UnknownKey, ""},
        {"mnuFile", "mPrint", "Print", QKeySequence::UnknownKey, "Ctrl+P"},
        {"mnuFile", "mSaveFile", "SaveFile", QKeySequence::UnknownKey, ""},
        {"mnuFile", "mRefresh", "Refresh", QKeySequence::UnknownKey, "F9"},
        {"mnuFile", "mExit", "Exit", QKeySequence::UnknownKey, ""},
        {"mnuEdit", "mAdd", "Add", QKeySequence::UnknownKey, "F5"},
        {"mnuEdit", "mModify", "Modify", QKeySequence::UnknownKey, "F7"},
        {"mnuEdit", "mDelete", "Del", QKeySequence::UnknownKey, "Del"},
        {"mnuEdit", "mFieldset", "ItemSet", QKeySequence::UnknownKey, ""},
        {"mnuEdit", "mFilter", "Filter", QKeySequence::UnknownKey, "F3"},
        {"mnuEdit", "mFindset", "FindSet", QKeySequence::UnknownKey, ""},
        {"mnuEdit", "mPos", "Pos", QKeySequence::UnknownKey, "Ctrl+F3"},
        {"mnuView", "mStb", "mStb", QKeySequence::UnknownKey, ""},
        {"mnuTools", "mCRMReport", "Report", QKeySequence::UnknownKey, ""},
        {"mnuTools", "mCRMSendMail", "SendMail", QKeySequence::UnknownKey, ""},
        {"mnuTools", "mCRMSendMsg", "SendMsg", QKeySequence::UnknownKey, ""},
        {"mnuHelp", "mHelp", "Help", QKeySequence::UnknownKey, "F1"},
    };
    QHash<QString, QMenu *> menus;
    for (const Item &item : items) {
        const QString menuName = QString::fromLatin1(item.menu);
        QMenu *menu = menus.value(menuName);
        if (!menu) {
            menu = m_menu->addMenu(menuName);
            menu->setObjectName(menuName);
            menu->menuAction()->setObjectName(menuName);
            menus.insert(menuName, menu);
        }
        QAction *action = menu->addAction(QString::fromLatin1(item.name));
        action->setObjectName(QString::fromLatin1(item.name));
        if (*item.shortcut)
            action->setProperty("HotKeyText", QString::fromLatin1(item.shortcut));
        const QString key = QString::fromLatin1(item.key);
        action->setVisible(isCommandOffered(key));
        connect(action, &QAction::triggered, this, [this, key] { Operating(key); });
    }
    for (QMenu *menu : std::as_const(menus)) {
        const QList<QAction *> actions = menu->actions();
        menu->menuAction()->setVisible(std::any_of(actions.cbegin(), actions.cend(),
                                                   [](QAction *a) { return a->isVisible(); }));
    }
    if (QAction *statusBar = findChild<QAction *>(QStringLiteral("mStb"))) {
        statusBar->setCheckable(true);
        statusBar->setChecked(true);
    }
}

void frmContactList::buildSortMenu()
{
    // Captions come with the window's others (InitFormLanguage), keyed by the objectNames.
    m_order = new QMenu(this);
    m_order->setObjectName(QStringLiteral("mOrder"));
    QAction *ascending = m_order->addAction(QStringLiteral("mAsc"));
    ascending->setObjectName(QStringLiteral("mAsc"));
    connect(ascending, &QAction::triggered, this, [this] { sortPage(1); });
    QAction *descending = m_order->addAction(QStringLiteral("mDesc"));
    descending->setObjectName(QStringLiteral("mDesc"));
    connect(descending, &QAction::triggered, this, [this] { sortPage(2); });
    connect(m_grid, &HostGrid::rightClicked, this,
            [this](int, int, QPoint globalPos) { onGridRightClicked(globalPos); });
}

void frmContactList::onGridRightClicked(const QPoint &globalPos)
{
    // The fixed column orders nothing; and no command starts inside a fill.
    if (m_filling || m_grid->Col() == 0)
        return;
    m_order->popup(globalPos);
}

void frmContactList::sortPage(int order)
{
    if (m_filling || !gPubService)
        return;
    gPubService->GridSort(this, m_grid, order);
}

void frmContactList::MarkAllRows()
{
    m_selectAll->setChecked(true);
    list::markAllRows(*m_grid);
}

void frmContactList::ClearAllMarks()
{
    m_selectAll->setChecked(false);
    list::clearAllMarks(*m_grid);
}

void frmContactList::MarkCurrentRow()
{
    list::markCurrentRow(*m_grid);
}

void frmContactList::UnmarkCurrentRow()
{
    list::unmarkCurrentRow(*m_grid);
}

void frmContactList::applyTitleLook()
{
    // The host's title-bar look: a light band with the window's caption in bold.
    m_strip->setAutoFillBackground(true);
    QPalette band = m_strip->palette();
    band.setColor(QPalette::Window, QColor(0xDC, 0xE8, 0xF5));
    m_strip->setPalette(band);
    m_pic->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(20, 20));
    QFont captionFont = m_caption->font();
    captionFont.setBold(true);
    captionFont.setPointSizeF(captionFont.pointSizeF() * 1.15);
    m_caption->setFont(captionFont);
}

void frmContactList::applyGridLook()
{
    m_grid->setBackColor(0xFFFFFF);
    m_grid->setBackColorBkg(0xFFFFFF);
    m_grid->setBackColorFixed(0xFFE3C6);
    m_grid->setBackColorSel(0x9F6646);
    m_grid->setForeColorSel(0xFFFFFF);
    m_grid->setGridColor(0xAEAEAE);
    m_grid->setGridColorFixed(0x888888);
}

void frmContactList::showEvent(QShowEvent *event)
{
    // The load runs once, when the window is first shown, never in the constructor: whoever
    // creates the window can still set it up first.
    if (!m_loaded) {
        m_loaded = true;
        load();
    }
    QWidget::showEvent(event);
    // Shown inside a window that is already active, this one gets no activation of its own.
    QTimer::singleShot(0, this, &frmContactList::tryFirstActivation);
}

void frmContactList::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        tryFirstActivation();
}

void frmContactList::tryFirstActivation()
{
    if (m_firstActivation && m_loaded && !m_closed && isVisible() && isActiveWindow()) {
        m_firstActivation = false;
        firstActivation();
    }
}

void frmContactList::load()
{
    applyTitleLook();
    if (UiHelper *helper = ::perikon::internal::uiHelperIfAny())
        helper->InitFormLanguage(this, kWindowKey);
    for (QAction *action : findChildren<QAction *>()) {
        const QString hotKey = action->property("HotKeyText").toString();
        if (!hotKey.isEmpty() && !action->text().contains(u'\t'))
            action->setText(action->text() + u'\t' + hotKey);
    }
    applyGridLook();
    if (gPubService)
        gPubService->FrmUniteFont(this);

    initPaging();

    if (gPubService)
        gPubService->InitToolbar(m_tlb, QStringLiteral("CS_Other_LinkmanManage"),
                                 QStringLiteral("CS"), gLogin);
    for (const QString &key : m_tlb->keys()) {
        if (!isCommandOffered(key))
            m_tlb->setButtonVisible(key, false);
    }

    const QString caption = GetResText(QStringLiteral("K2.CRM.BizObjDic.WordContactMng"));
    if (UiHelper *helper = ::perikon::internal::uiHelperIfAny())
        helper->SetFormCaption(this, caption, false);
    else
        setWindowTitle(caption);
    m_caption->setText(caption);
    if (!gClsLogin)
        gClsLogin = std::shared_ptr<clsLogin>(new clsLogin, [](clsLogin *login) { delete login; });
    gClsLogin->cUserId = gUserId;
    gClsLogin->cUserName = gUserName;
    gClsLogin->qzDBName = gAccountDb;
    gClsLogin->dCurDate = gServerDate;

    if (gPubService)
        gPubService->FrmLoadInit(this, kArchiveName, gLogin);
    if (gViewManager)
        QMetaObject::invokeMethod(gViewManager, "AddView", Qt::DirectConnection,
                                  Q_ARG(QWidget *, this));

    m_helpContextId = list::listHelpContextId(this);

    // A catalogue that cannot be read is reported; the list stays open without batch fields.
    if (const std::optional<ErrorInfo> error = Const::BuildBatchCatalog()) {
        WriteErrorLog(QStringLiteral("frmContactList.Form_Load"), true, *error);
        ShowMessage(error->description);
    }

    m_selectAll->setText(
        GetResText(QStringLiteral("K2.CRM.VB.SurveyAcitve.frmActQuestionary.00059")));
}

void frmContactList::firstActivation()
{
    m_grid->setFixedCols(0);
    m_grid->setRows(1);
    QElapsedTimer timer;
    timer.start();
    LoadHead();
    const QString unit = QStringLiteral("ms");
    UiHelper *helper = ::perikon::internal::uiHelperIfAny();
    if (helper)
        helper->WriteTrace(QStringLiteral("Form_Activate--LoadHead"),
                           QString::number(timer.elapsed()) + unit, false);
    m_totalPage->clear();
    timer.restart();
    DataRefresh(QString());
    if (helper)
        helper->WriteTrace(QStringLiteral("Form_Activate--DataRefresh"),
                           QString::number(timer.elapsed()) + unit, false);
    if (gPubService && gClsCommon)
        gPubService->FrmPreCompile(gClsCommon.get());
    m_tlb2->update();
}

void frmContactList::resizeEvent(QResizeEvent *event)
{
    if (gPubService)
        gPubService->FrmResize(this);
    QWidget::resizeEvent(event);
}

void frmContactList::closeEvent(QCloseEvent *event)
{
    m_unloadCancel = event->isAccepted() ? 0 : 1;
    m_unloadMode = m_closingByCode ? 1 : 0;
    m_closingByCode = false;
    if (!event->isAccepted() || m_closed) {
        QWidget::closeEvent(event);
        return;
    }
    m_closed = true;
    if (gPubService && gClsCommon) {
        QObject *com = gClsCommon.get();
        gPubService->IsLockFun(com, gLogin, QStringLiteral("Crm_contact"), -1);
    }
    m_result.reset();
    endAllTasks();
    gListColInfoXml.clear();
    gCardColInfoXml.clear();
    if (UiHelper *helper = ::perikon::internal::uiHelperIfAny())
        helper->WriteTrace(QStringLiteral("frmContactList"), QStringLiteral("Unload"), false);
    QWidget::closeEvent(event);
}

void frmContactList::ExitForm(int &cancel, int &mode)
{
    m_closingByCode = true;
    close();
    cancel = m_unloadCancel;
    mode = m_unloadMode;
}

} // namespace perikon
