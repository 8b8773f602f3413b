#pragma once

#include "perikon/host/contract/ResourceService.h"
#include "perikon/host/contract/UiHelper.h"

#include <QString>

#include <memory>
#include <optional>

namespace perikon {

// Host helper objects, created on first use and kept for the life of the thread.
extern thread_local std::unique_ptr<UiHelper> gUiHelper;
extern thread_local std::unique_ptr<ResourceFactory> gResFactory;
extern thread_local std::unique_ptr<ResourceLocal> gResLocal;
extern thread_local std::unique_ptr<ResourceStrings> gResService;
// The message-box title in the session language; empty until the first message on the thread.
extern thread_local std::optional<QString> gMsgTitle;

namespace internal {
// The thread's helper objects, created through the host registry when missing. They throw
// HostServiceMissing when the host registered nothing under the name.
UiHelper &uiHelper();
// The same helper for windows, which carry on without one: nullptr when the host has none.
UiHelper *uiHelperIfAny();
ResourceFactory &resourceFactory();
ResourceStrings &resourceStrings();
} // namespace internal

// A host service the component needs is not registered, or could not be created.
class HostServiceMissing : public std::exception
{
public:
    explicit HostServiceMissing(QString service);
    const QString &service() const { return m_service; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_service;
    QByteArray m_what;
};

} // namespace perikon
