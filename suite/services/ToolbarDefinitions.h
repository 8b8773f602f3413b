#pragma once

#include "suite/controls/HostToolbar.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace perikon::suite {

// The suite's toolbar definitions by module and definition key (compared without regard to case):
// the buttons a window's toolbar offers, in order. Nullopt for an unknown definition.
std::optional<QList<controls::ToolbarButtonDef>> toolbarDefinition(const QString &module,
                                                                   const QString &definitionKey);

// Every definition as (module, definition key).
QList<std::pair<QString, QString>> toolbarDefinitionKeys();

} // namespace perikon::suite
