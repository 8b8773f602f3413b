// The client library's only entry point, in the form the host's callers expect: UTF-8 texts, a
// reply buffer of 255 bytes, 1 for a message handed over and 0 for anything else.

#include "suite/smsclient/SmsRequest.h"
#include "suite/smsclient/SmsTransport.h"

#include <QtGlobal>

#include <cstring>
#include <exception>

namespace {

using namespace perikon::smsclient;

constexpr qsizetype kReplyBytes = 255;

// Copies as much of `text` as fits before the terminating NUL, never splitting a character.
void writeReply(char *reply, const QString &text)
{
    if (!reply)
        return;
    const QByteArray bytes = text.toUtf8();
    qsizetype length = qMin(bytes.size(), kReplyBytes - 1);
    if (length < bytes.size()) {
        while (length > 0 && (static_cast<unsigned char>(bytes.at(length)) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(reply, bytes.constData(), static_cast<size_t>(length));
    reply[length] = '\0';
}

SmsResult send(const QString &configText, const QString &payload)
{
    const auto parsed = parseConfig(configText);
    if (const auto *error = std::get_if<ConfigError>(&parsed))
        return {false, error->reason};
    const auto &config = std::get<SmsConfig>(parsed);
    const SmsMessage message = parsePayload(payload);
    if (message.recipients.isEmpty())
        return {false, QStringLiteral("The message has no recipients.")};
    if (config.gateway == Gateway::Outbox)
        return writeOutbox(config, message);
    return sendHttp(config, message);
}

} // namespace

extern "C" Q_DECL_EXPORT int SMSCall(const char *config, char *reply, const char *payload)
{
    try {
        const SmsResult result = send(QString::fromUtf8(config ? config : ""),
                                      QString::fromUtf8(payload ? payload : ""));
        writeReply(reply, result.reply);
        return result.sent ? 1 : 0;
    } catch (const std::exception &error) {
        // Nothing may cross the C boundary but the result and the reply.
        writeReply(reply, QString::fromUtf8(error.what()));
        return 0;
    }
}
