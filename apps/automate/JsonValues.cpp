#include "apps/automate/JsonValues.h"

namespace perikon::automation {

std::optional<QJsonObject> objectAsValue(QObject *object)
{
    Q_UNUSED(object);
    return std::nullopt;
}

} // namespace perikon::automation
