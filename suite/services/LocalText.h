#pragma once

#include "suite/SuiteLogin.h"

#include <QString>

namespace perikon::suite {

// A service message in the session language, for the few texts the suite's services report
// themselves (the resource files hold the component's keys).
inline QString localText(const QString &chinese, const QString &english)
{
    return sessionLanguage() == QLatin1String("en-US") ? english : chinese;
}

} // namespace perikon::suite
