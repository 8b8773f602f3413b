#include "suite/SuiteServices.h"

#include "perikon/host/contract/HostRegistry.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/batch/SuiteBatchModifyControl.h"
#include "suite/controls/chart/SuiteChartControl.h"
#include "suite/controls/colset/SuiteColumnSetControl.h"
#include "suite/controls/printer/SuitePrintControl.h"
#include "suite/portal/SuitePortal.h"
#include "suite/procedures/SuiteProcedures.h"
#include "suite/services/SuiteCalculatorService.h"
#include "suite/services/SuiteColumnAuthService.h"
#include "suite/services/SuiteColumnSetService.h"
#include "suite/services/SuiteContactDimensionTransfer.h"
#include "suite/services/SuiteCrmGenerals.h"
#include "suite/services/SuiteFunctionTaskService.h"
#include "suite/services/SuiteMailTool.h"
#include "suite/services/SuitePictureControl.h"
#include "suite/services/SuitePubService.h"
#include "suite/services/SuiteReferences.h"
#include "suite/services/SuiteRelatedPersonTransfer.h"
#include "suite/services/SuiteResourceService.h"
#include "suite/services/SuiteRowAuthService.h"
#include "suite/services/SuiteSystemStartService.h"
#include "suite/services/SuiteUiHelper.h"
#include "suite/services/filter/SuiteFilterService.h"

namespace perikon::suite {
namespace {

template<typename T> void add(const char *name)
{
    HostRegistry::registerFactory(QString::fromLatin1(name), [] { return std::make_unique<T>(); });
}

// A control's words: the text of `prefix` + key in `language`.
auto textsIn(const QString &language, const char *prefix)
{
    return [language, prefix = QLatin1String(prefix)](const char *key) {
        return ResourceTexts::text(language, prefix + QLatin1String(key));
    };
}

// The chart control in the session language, telling the operator through the host's message box.
std::unique_ptr<QObject> makeChartControl()
{
    const QString language = sessionLanguage();
    const auto text = textsIn(language, "K2.Suite.Chart.");
    chart::ChartTexts texts;
    texts.zoomIn = text("ZoomIn");
    texts.zoomOut = text("ZoomOut");
    texts.fit = text("Fit");
    texts.saveAs = text("SaveAs");
    texts.saveTitle = text("SaveTitle");
    texts.fileTypes = text("FileTypes");
    texts.saveFailed = text("SaveFailed");
    texts.unknownType = text("UnknownType");
    texts.loopNote = text("LoopNote");
    texts.empty = text("Empty");
    auto control = std::make_unique<chart::SuiteChartControl>();
    control->setTexts(texts);
    control->setMessageSink([title = text("Title"), language](const QString &message) {
        SuiteUiHelper().ShowMsgBox(message, MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation, title,
                                   language, 0, 0);
    });
    return control;
}

// The column-settings control in the session language.
std::unique_ptr<QObject> makeColumnSetControl()
{
    const auto text = textsIn(sessionLanguage(), "K2.Suite.ColumnSet.");
    colset::ColumnSetTexts texts;
    texts.show = text("Show");
    texts.caption = text("Caption");
    texts.originalCaption = text("OriginalCaption");
    texts.width = text("Width");
    texts.up = text("Up");
    texts.down = text("Down");
    texts.mine = text("Mine");
    texts.all = text("All");
    texts.defaults = text("Default");
    texts.save = text("Save");
    texts.ok = text("OK");
    texts.cancel = text("Cancel");
    texts.unreadable = text("Unreadable");
    auto control = std::make_unique<SuiteColumnSetControl>();
    control->setTexts(texts);
    return control;
}

} // namespace

void registerServices()
{
    add<SuiteLogin>("Suite.Login");
    add<SuiteUiHelper>("UiHelper");
    add<SuiteResourceFactory>("ResourceService");
    add<SuiteMessageTitle>("MessageTitleProvider");
    add<SuitePubService>("PubService");
    add<SuiteColumnSetService>("ColumnSetService");
    add<SuiteRelatedPersonTransfer>("RelatedPersonTransfer");
    add<SuiteContactDimensionTransfer>("ContactDimensionTransfer");
    add<SuiteSystemStartService>("SystemStartService");
    add<SuiteColumnAuthService>("ColumnAuthService");
    add<SuiteRowAuthService>("RowAuthService");
    add<SuiteFunctionTaskService>("FunctionTaskService");
    add<SuiteCrmGenerals>("CrmGenerals");
    add<SuiteReferenceClient>("ReferenceClient");
    add<filter::SuiteFilterService>("FilterService");
    add<SuiteBaseCodeReference>("BaseCodeReference");
    HostRegistry::registerFactory(QStringLiteral("CrmCustomerArchive"), [] {
        return std::make_unique<SuiteArchiveReference>(QStringLiteral("Customer_AA"));
    });
    HostRegistry::registerFactory(QStringLiteral("CrmContactArchive"), [] {
        return std::make_unique<SuiteArchiveReference>(QStringLiteral("Contact_Note"));
    });
    HostRegistry::registerFactory(QStringLiteral("CrmPersonArchive"), [] {
        return std::make_unique<SuiteArchiveReference>(QStringLiteral("Person_AA"));
    });
    add<SuiteHelpIdProvider>("HelpIdProvider");
    add<SuitePictureControl>("PictureControl");
    add<SuitePrintControl>("PrintControl");
    HostRegistry::registerFactory(QStringLiteral("ChartControl"), makeChartControl);
    add<SuiteBatchModifyControl>("BatchModifyControl");
    HostRegistry::registerFactory(QStringLiteral("ColumnSetControl"), makeColumnSetControl);
    add<SuiteCalculatorService>("CalculatorService");
    add<SuiteMailTool>("MailTool");
    add<SuiteBusiness>("Suite.Business");
    add<SuiteProduct>("Suite.Product");
    add<SuiteFormManager>("Suite.FormManager");
    add<SuiteViewManager>("Suite.ViewManager");
    registerProcedures();
}

} // namespace perikon::suite
