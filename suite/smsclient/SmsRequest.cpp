#include "suite/smsclient/SmsRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace perikon::smsclient {

std::variant<SmsConfig, ConfigError> parseConfig(const QString &text)
{
    SmsConfig config;
    QString gateway;
    QString format;
    QString timeout;
    for (const QString &pair : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        const QString key = pair.left(equals).trimmed().toLower();
        const QString value = pair.mid(equals + 1).trimmed();
        if (key == QLatin1String("gateway"))
            gateway = value.toLower();
        else if (key == QLatin1String("url"))
            config.url = value;
        else if (key == QLatin1String("format"))
            format = value.toLower();
        else if (key == QLatin1String("token"))
            config.token = value;
        else if (key == QLatin1String("user"))
            config.user = value;
        else if (key == QLatin1String("password"))
            config.password = value;
        else if (key == QLatin1String("timeout"))
            timeout = value;
        else if (key == QLatin1String("folder"))
            config.folder = value;
    }

    if (gateway.isEmpty() || gateway == QLatin1String("none"))
        return ConfigError{QStringLiteral("No SMS gateway is configured.")};
    if (gateway == QLatin1String("http"))
        config.gateway = Gateway::Http;
    else if (gateway == QLatin1String("outbox"))
        config.gateway = Gateway::Outbox;
    else
        return ConfigError{QStringLiteral("Unknown SMS gateway \"%1\".").arg(gateway)};

    if (format.isEmpty() || format == QLatin1String("json"))
        config.format = BodyFormat::Json;
    else if (format == QLatin1String("form"))
        config.format = BodyFormat::Form;
    else
        return ConfigError{QStringLiteral("Unknown SMS body format \"%1\".").arg(format)};

    if (!timeout.isEmpty()) {
        bool ok = false;
        const int ms = timeout.toInt(&ok);
        if (!ok || ms <= 0)
            return ConfigError{QStringLiteral("Invalid SMS timeout \"%1\".").arg(timeout)};
        config.timeoutMs = ms;
    }
    if (config.gateway == Gateway::Http && config.url.isEmpty())
        return ConfigError{QStringLiteral("The SMS gateway has no url.")};
    if (config.gateway == Gateway::Outbox && config.folder.isEmpty())
        return ConfigError{QStringLiteral("The SMS outbox has no folder.")};
    return config;
}

SmsMessage parsePayload(const QString &payload)
{
    SmsMessage message;
    const qsizetype comma = payload.indexOf(QLatin1Char(','));
    const QString recipients = comma < 0 ? payload : payload.left(comma);
    if (comma >= 0)
        message.text = payload.mid(comma + 1);
    for (const QString &piece : recipients.split(QLatin1Char(';'))) {
        QString number = piece;
        number.remove(QLatin1Char(' '));
        number = number.trimmed();
        if (!number.isEmpty())
            message.recipients.append(number);
    }
    return message;
}

QByteArray requestBody(const SmsMessage &message, BodyFormat format)
{
    if (format == BodyFormat::Json) {
        QJsonObject body;
        body.insert(QStringLiteral("to"), QJsonArray::fromStringList(message.recipients));
        body.insert(QStringLiteral("text"), message.text);
        return QJsonDocument(body).toJson(QJsonDocument::Compact);
    }
    QByteArrayList to;
    for (const QString &number : message.recipients)
        to.append(QUrl::toPercentEncoding(number));
    return "to=" + to.join(',') + "&text=" + QUrl::toPercentEncoding(message.text);
}

QByteArray contentType(BodyFormat format)
{
    return format == BodyFormat::Json ? QByteArrayLiteral("application/json")
                                      : QByteArrayLiteral("application/x-www-form-urlencoded");
}

QByteArray authorization(const SmsConfig &config)
{
    if (!config.token.isEmpty())
        return "Bearer " + config.token.toUtf8();
    if (!config.user.isEmpty())
        return "Basic " + (config.user + QLatin1Char(':') + config.password).toUtf8().toBase64();
    return {};
}

bool bodyRefuses(const QByteArray &body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return false;
    const QJsonValue ok = document.object().value(QStringLiteral("ok"));
    return ok.isBool() && !ok.toBool();
}

} // namespace perikon::smsclient
