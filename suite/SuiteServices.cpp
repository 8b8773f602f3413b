#include "suite/SuiteServices.h"

#include "perikon/host/contract/HostRegistry.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteResourceService.h"
#include "suite/services/SuiteUiHelper.h"

namespace perikon::suite {
namespace {

template<typename T>
void add(const char *name)
{
    HostRegistry::registerFactory(QString::fromLatin1(name), [] { return std::make_unique<T>(); });
}

} // namespace

void registerServices()
{
    add<SuiteLogin>("Suite.Login");
    add<SuiteUiHelper>("UiHelper");
    add<SuiteResourceFactory>("ResourceService");
    add<SuiteMessageTitle>("MessageTitleProvider");
}

} // namespace perikon::suite
