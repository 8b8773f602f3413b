#include "perikon/messaging/SmsTyping.h"

#include <utility>

namespace perikon::messaging {
namespace {

template<typename Keep> QString keepOnly(const QString &text, Keep keep)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (keep(c))
            kept += c;
    }
    return kept;
}

} // namespace

QString recipientsTyped(const QString &text)
{
    return keepOnly(text,
                    [](QChar c) { return (c >= u'0' && c <= u'9') || c == u';' || c == u' '; });
}

QString messageTyped(const QString &text)
{
    return keepOnly(text, [](QChar c) { return c != u'\r' && c != u'\n'; });
}

QString senderTyped(const QString &text)
{
    static const QString refused = QStringLiteral("%*_|&\";'<>?");
    return keepOnly(text, [](QChar c) { return !refused.contains(c); });
}

QString appendRecipients(const QString &current, const QStringList &numbers)
{
    QString joined = current;
    for (const QString &number : numbers) {
        const QString piece = number.trimmed();
        if (piece.isEmpty())
            continue;
        joined = joined.isEmpty() ? piece : joined + u';' + piece;
    }
    QStringList kept;
    for (const QString &piece : joined.split(u';')) {
        // Blanks inside a number are kept as typed; the gateway client removes them.
        const QString number = piece.trimmed();
        if (!number.isEmpty() && !kept.contains(number))
            kept.append(number);
    }
    return kept.join(u';');
}

DroppingValidator::DroppingValidator(Rule keep, QObject *parent)
    : QValidator(parent)
    , m_keep(std::move(keep))
{}

QValidator::State DroppingValidator::validate(QString &input, int &pos) const
{
    const QString before = input.left(pos);
    const QString keptBefore = m_keep(before);
    const QString kept = m_keep(input);
    if (kept.size() != input.size()) {
        input = kept;
        pos = int(keptBefore.size());
    }
    return Acceptable;
}

void DroppingValidator::fixup(QString &input) const
{
    input = m_keep(input);
}

} // namespace perikon::messaging
