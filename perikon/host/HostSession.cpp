#include "perikon/host/HostSession.h"

#include "perikon/host/contract/HostRegistry.h"
#include "perikon/session/GlobalRegistry.h"

namespace perikon {

thread_local std::unique_ptr<UiHelper> gUiHelper;
thread_local std::unique_ptr<ResourceFactory> gResFactory;
thread_local std::unique_ptr<ResourceLocal> gResLocal;
thread_local std::unique_ptr<ResourceStrings> gResService;
thread_local std::optional<QString> gMsgTitle;

namespace {
// Null when no title has been asked for yet on this thread.
[[maybe_unused]] const bool published = GlobalRegistry::registerValue(
    QStringLiteral("gMsgTitle"), [] { return gMsgTitle ? QVariant(*gMsgTitle) : QVariant(); },
    [](const QVariant &v) {
        if (v.isNull())
            gMsgTitle.reset();
        else
            gMsgTitle = v.toString();
    });
} // namespace

HostServiceMissing::HostServiceMissing(QString service)
    : m_service(std::move(service))
    , m_what(QStringLiteral("host service not available: %1").arg(m_service).toUtf8())
{}

namespace internal {

UiHelper &uiHelper()
{
    if (!gUiHelper) {
        gUiHelper = HostRegistry::createAs<UiHelper>(QStringLiteral("UiHelper"));
        if (!gUiHelper)
            throw HostServiceMissing(QStringLiteral("UiHelper"));
    }
    return *gUiHelper;
}

UiHelper *uiHelperIfAny()
{
    try {
        return &uiHelper();
    } catch (const HostServiceMissing &) {
        return nullptr;
    }
}

ResourceFactory &resourceFactory()
{
    if (!gResFactory) {
        gResFactory = HostRegistry::createAs<ResourceFactory>(QStringLiteral("ResourceService"));
        if (!gResFactory)
            throw HostServiceMissing(QStringLiteral("ResourceService"));
    }
    return *gResFactory;
}

ResourceStrings &resourceStrings()
{
    ResourceFactory &factory = resourceFactory();
    if (!gResLocal)
        gResLocal = factory.GetLocalService();
    if (!gResService)
        gResService = factory.GetResourceService();
    if (!gResService)
        throw HostServiceMissing(QStringLiteral("ResourceService.GetResourceService"));
    return *gResService;
}

} // namespace internal
} // namespace perikon
