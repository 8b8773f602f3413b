#pragma once

// The typing rules of the SMS window and the upkeep of its recipients list, as plain functions so
// the window only wires them to its fields.

#include <QString>
#include <QStringList>
#include <QValidator>

#include <functional>

namespace perikon::messaging {

// The recipients box keeps digits 0-9, ";" and blanks; everything else is dropped.
QString recipientsTyped(const QString &text);
// The message text stays on one line: carriage returns and line feeds are dropped.
QString messageTyped(const QString &text);
// The sender's name drops % * _ | & " ; ' < > ?
QString senderTyped(const QString &text);

// `numbers` appended to the recipients `current` (after a ";" unless `current` is empty), then
// the list rebuilt: pieces split at ";", trimmed, empty ones dropped, each number kept once in
// its first place. Numbers compare whole, so "138" next to "13800000000" stays.
QString appendRecipients(const QString &current, const QStringList &numbers);

// A validator that never refuses: it drops what `keep` does not keep, so typing and pasting obey
// one rule, and moves the cursor back over what went.
class DroppingValidator : public QValidator
{
public:
    using Rule = std::function<QString(const QString &)>;
    DroppingValidator(Rule keep, QObject *parent);
    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

private:
    Rule m_keep;
};

} // namespace perikon::messaging
