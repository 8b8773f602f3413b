#pragma once

#include <QObject>
#include <QString>

namespace perikon {

// The host's mail tool ("MailTool"): opens the desktop's mail program with a new message. The
// component creates one for each message it starts.
class MailTool : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens a new message addressed to `addresses`, separated by ";". True when a mail program
    // could be started; whether the operator sends the message is not known here.
    Q_INVOKABLE virtual bool OpenMail(const QString &addresses) = 0;
};

} // namespace perikon
