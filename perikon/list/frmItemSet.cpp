#include "perikon/list/frmItemSet.h"

#include "perikon/card/CardSession.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/ColumnSetControl.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/ListWindows.h"
#include "perikon/session/SessionGlobals.h"

#include <QScreen>

namespace perikon {

namespace {

const QString kWindowKey = QStringLiteral("K2.CRM.QZContactUI.frmItemSet");
const QString kArchive = QStringLiteral("Crm_Contact");
constexpr int kWidth = 700;
constexpr int kHeight = 600;
constexpr int kExtraHeightTwips = 400;

// Twips are 1/1440 inch: as many pixels as the screen's logical dots per inch make of them.
int twipsToPixels(int twips, const QWidget *window)
{
    const QScreen *screen = window->screen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return qRound(twips * dpi / 1440.0);
}

} // namespace

frmItemSet::frmItemSet(list::ListAccess &list, QWidget *parent)
    : QDialog(parent)
    , m_list(list)
{
    setObjectName(QStringLiteral("frmItemSet"));
    setModal(true);
    m_colSet
        = HostRegistry::createAs<ColumnSetControl>(QStringLiteral("ColumnSetControl")).release();
    if (m_colSet) {
        m_colSet->setParent(this);
        m_colSet->setObjectName(QStringLiteral("ColSet1"));
        connect(m_colSet, &ColumnSetControl::confirmed, this, &frmItemSet::onConfirmed);
        connect(m_colSet, &ColumnSetControl::variantRequested, this,
                &frmItemSet::onVariantRequested);
        connect(m_colSet, &ColumnSetControl::closeRequested, this, &QDialog::reject);
    }
    load();
}

frmItemSet::~frmItemSet() = default;

void frmItemSet::load()
{
    if (UiHelper *helper = ::perikon::internal::uiHelperIfAny())
        helper->InitFormLanguage(this, kWindowKey);
    if (gPubService)
        gPubService->FrmUniteFont(this);
    setWindowTitle(GetResText(QStringLiteral("K2.CRM.QZContact.frmitemset.00010")));
    if (gColumnSet)
        loadColumns(gColumnSet->getColInfo(kArchive));
    resize(kWidth, kHeight + twipsToPixels(kExtraHeightTwips, this));
    if (gPubService && m_colSet)
        gPubService->ColSetResize(m_colSet, this);
}

void frmItemSet::loadColumns(const QString &colInfoXml)
{
    if (!m_colSet)
        return;
    QString error;
    if (!m_colSet->Load(colInfoXml, error))
        ShowMessage(error);
}

void frmItemSet::onVariantRequested(int mode)
{
    if (gColumnSet)
        loadColumns(gColumnSet->getColInfo(kArchive, mode));
}

void frmItemSet::onConfirmed(bool save, const QString &xml)
{
    gCardColInfoXml = xml;
    if (save && gColumnSet) {
        // Save hands its reason back in its argument.
        QString colInfo = xml;
        if (!gColumnSet->Save(colInfo))
            ShowMessage(colInfo);
    }
    // The open list takes the confirmed layout whether or not it was stored.
    if (gPubService)
        gListColInfoXml = gPubService->GetUnSavedColSet(xml);
    hide();
    m_list.reloadHeadAndRows();
    accept();
}

void frmItemSet::ExitForm()
{
    close();
}

namespace {
// The column settings are part of the component: the list offers them once the host has a
// column-settings control.
[[maybe_unused]] const bool kRegistered = [] {
    list::registerListDialog(list::kColumnSettingsWindow,
                             [](list::ListAccess &list, QWidget *parent) {
                                 return std::unique_ptr<QDialog>(new frmItemSet(list, parent));
                             });
    return true;
}();
} // namespace

} // namespace perikon
