#pragma once

// Module Const: the batch-modify field catalogue (gBatchCatalogXml) and the choice lists kept
// beside it, built at each load of the contact list.

#include "perikon/session/ErrorLog.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace perikon::Const {

// Fills gYesNoText, gSexNames, gMarriageNames, gDefine13Decimals, gDefine14Decimals and
// gBatchCatalogXml. A failure to read the column dictionary or the user-defined items is
// returned for the list's load to report; the catalogue is then left as it was.
std::optional<ErrorInfo> BuildBatchCatalog();

// A choice list "c1{#}c2{##}n1{#}n2": the codes of the comma-separated `codes`, then the names;
// a single name means the codes serve as their own names.
QString JoinChoiceList(const QString &codes, const QStringList &names);
QString JoinCodesAndNames(const QStringList &codes, const QStringList &names);

// The fields withheld from batch modification: both column-authorization texts, comma-joined,
// when both are set, else whichever is.
QString WithheldFields(const QString &colAuthN, const QString &colAuthRead);

} // namespace perikon::Const
