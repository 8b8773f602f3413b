#include "perikon/list/frmUIChart.h"

#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/ChartControl.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/list/ChartReport.h"
#include "perikon/list/ListWindows.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostGrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace perikon {

namespace {

const QString kWindowKey = QStringLiteral("K2.CRM.QZContactUI.frmUIChart");
constexpr int kOrganisationTree = 4;

// The list's "Report" command: the chart of the customer of the contact `code`.
void showRelationshipChart(list::ListAccess &list, const QString &code)
{
    const std::optional<QString> xml = list::ChartReport::chartXml(code);
    if (!xml) {
        ShowMessage(
            list::ChartReport::noCustomerMessage(hostlogin::text(gLogin.data(), "LanguageRegion")));
        return;
    }
    QWidget *parent = list.listGrid() ? list.listGrid()->window() : nullptr;
    frmUIChart window(parent);
    window.setReportXml(*xml);
    window.exec();
}

// The chart is part of the component: the list offers Report once it is loaded.
[[maybe_unused]] const bool kRegistered
    = (list::registerListAction(list::kChartAction, showRelationshipChart), true);

} // namespace

frmUIChart::frmUIChart(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmUIChart"));
    setModal(true);
    resize(960, 640);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    if (std::unique_ptr<ChartControl> chart
        = HostRegistry::createAs<ChartControl>(QStringLiteral("ChartControl"))) {
        m_chart = chart.release();
        m_chart->setParent(this);
        m_chart->setObjectName(QStringLiteral("QzChart1"));
        layout->addWidget(m_chart, 1);
    } else {
        // Without the host's control the window says so rather than showing a blank area.
        auto *missing = new QLabel(QStringLiteral("The host offers no chart control."), this);
        missing->setObjectName(QStringLiteral("lblNoChart"));
        missing->setAlignment(Qt::AlignCenter);
        layout->addWidget(missing, 1);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_exit = new QPushButton(QStringLiteral("Exit"), this);
    m_exit->setObjectName(QStringLiteral("cmdExit"));
    m_exit->setAutoDefault(false);
    buttons->addWidget(m_exit);
    layout->addLayout(buttons);
    connect(m_exit, &QPushButton::clicked, this, &frmUIChart::ExitForm);
}

frmUIChart::~frmUIChart() = default;

void frmUIChart::setReportXml(const QString &xml)
{
    m_reportXml = xml;
    if (m_loaded)
        drawChart();
}

void frmUIChart::ExitForm()
{
    close();
}

void frmUIChart::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        load();
    }
}

void frmUIChart::load()
{
    UiHelper *helper = ::perikon::internal::uiHelperIfAny();
    if (helper)
        helper->InitFormLanguage(this, kWindowKey);
    const QString caption = GetResText(QStringLiteral("K2.CRM.QZContact.FormCaption01"));
    if (helper)
        helper->SetFormCaption(this, caption, false);
    else
        setWindowTitle(caption);

    // Help as the list has it: the portal's topic, else the trade-class family.
    m_helpContextId = list::listHelpContextId(this);
    drawChart();
}

void frmUIChart::drawChart()
{
    if (!m_chart)
        return;
    m_chart->SetMode(kOrganisationTree);
    m_chart->LoadXml(m_reportXml);
    m_chart->Draw();
}

} // namespace perikon
