#pragma once

#include <QObject>
#include <QString>

namespace perikon {

// The host's public service ("PubService"): server time and the other small services the
// component's windows and save steps call.
class PubService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The database server's current date and time, "yyyy-MM-dd HH:mm:ss". ICom is the caller's
    // data-access object (an IClsCommon); the service may hand back another one to use from then
    // on.
    virtual QString GetSrvTime(QObject *&ICom) = 0;
};

} // namespace perikon
