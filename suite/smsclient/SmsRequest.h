#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <variant>

namespace perikon::smsclient {

enum class Gateway { None, Http, Outbox };
enum class BodyFormat { Json, Form };

// The gateway configuration text "key=value;key=value", read once per call.
struct SmsConfig
{
    Gateway gateway = Gateway::None;
    QString url;
    BodyFormat format = BodyFormat::Json;
    QString token;
    QString user;
    QString password;
    int timeoutMs = 15000;
    QString folder;
};

// A configuration that cannot be used; the text says why.
struct ConfigError
{
    QString reason;
};

std::variant<SmsConfig, ConfigError> parseConfig(const QString &text);

// The payload "recipients,text": recipients separated by ";", the text after the first comma.
struct SmsMessage
{
    QStringList recipients;
    QString text;
};

SmsMessage parsePayload(const QString &payload);

// The request body for the gateway and its content type.
QByteArray requestBody(const SmsMessage &message, BodyFormat format);
QByteArray contentType(BodyFormat format);
// The Authorization header value; empty when the configuration names no credentials.
QByteArray authorization(const SmsConfig &config);

// Whether a gateway's 2xx answer still reports a refusal: a JSON object with "ok": false.
bool bodyRefuses(const QByteArray &body);

} // namespace perikon::smsclient
