#include "FuzzHost.h"

#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/ResourceService.h"
#include "perikon/host/contract/UiHelper.h"

#include <memory>

namespace perikon::fuzz {
namespace {

QString formatted(const QString &key, const QStringList &args)
{
    return u'[' + key + u']' + (args.isEmpty() ? QString() : u' ' + args.join(u'|'));
}

class KeyUiHelper : public UiHelper
{
public:
    QString GetLanguageId(QObject *) override { return QStringLiteral("en-US"); }
    QString GetResText(const QString &key, const QString &, bool) override
    {
        return formatted(key, {});
    }
    QString GetResFormatText(const QString &key, const QStringList &args, const QString &) override
    {
        return formatted(key, args);
    }
    int ShowMsgBox(const QString &, int, const QString &, const QString &, int, int) override
    {
        return MsgBoxButton::OK;
    }
    void InitFormLanguage(QWidget *, const QString &) override {}
    void SetFormCaption(QWidget *, const QString &, bool) override {}
    void WriteTrace(const QString &, const QString &, bool) override {}
    QString XmlEncode(const QString &text) override { return text.toHtmlEscaped(); }
    QString GetHelpFile() override { return {}; }
    QString GetSmsConfig() override { return {}; }
};

class KeyLocal : public ResourceLocal
{
public:
    QString LanguageId() override { return QStringLiteral("en-US"); }
};

class KeyStrings : public ResourceStrings
{
public:
    QString GetString(const QString &key) override { return formatted(key, {}); }
};

class KeyFormatter : public ResourceFormatter
{
public:
    QString GetString(const QString &key, const QStringList &args) override
    {
        return formatted(key, args);
    }
};

class KeyResources : public ResourceFactory
{
public:
    std::unique_ptr<ResourceLocal> GetLocalService() override
    {
        return std::make_unique<KeyLocal>();
    }
    std::unique_ptr<ResourceStrings> GetResourceService() override
    {
        return std::make_unique<KeyStrings>();
    }
    std::unique_ptr<ResourceFormatter> CreateFormatter() override
    {
        return std::make_unique<KeyFormatter>();
    }
};

} // namespace

void registerFuzzHost()
{
    HostRegistry::registerFactory(QStringLiteral("UiHelper"),
                                  [] { return std::make_unique<KeyUiHelper>(); });
    HostRegistry::registerFactory(QStringLiteral("ResourceService"),
                                  [] { return std::make_unique<KeyResources>(); });
}

} // namespace perikon::fuzz
