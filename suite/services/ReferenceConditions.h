#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace perikon::suite {

// The conditions a window hands a reference before it opens: an XML
// "<RefConditions><Condition paramName='@p' paramValue='v' />...</RefConditions>" and a filter
// such as "#FN[cCusCode]=@cCusCode". The filter becomes SQL over the reference's rows:
// "#FN[column]" names one of the rows' columns (qualified by `rowsAlias` when one is given) and
// every "@param" the value given for it, as a quoted literal. Values never end their literal
// early, whatever they hold. An empty filter gives an empty text (no narrowing); a filter that
// names a column that is not a plain name, a parameter without a value, or conditions that are
// not well-formed XML give nothing.
std::optional<QString> referenceFilterSql(const QString &conditionsXml, const QString &filter,
                                          const QString &rowsAlias = {});

// The values an "<Ref>...<LastData><Item keyVal='v' />...</LastData></Ref>" settings text
// preselects, in order; and whether its RefSet asks for several rows (bMultiSel='1').
QStringList referenceLastData(const QString &settingsXml);
bool referenceMultiSelect(const QString &settingsXml);

} // namespace perikon::suite
