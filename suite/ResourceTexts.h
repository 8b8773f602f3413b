#pragma once

#include <QString>
#include <QStringList>

namespace perikon::suite {

// The suite's resource texts, one file per language compiled into the library
// (":/suite/texts/<language>.txt"). Loaded on first use; safe to call from any thread.
class ResourceTexts
{
public:
    static QString text(const QString &languageId, const QString &key);
    // The text with %1, %2, ... replaced by the arguments (all in one pass, so an argument that
    // itself contains "%2" is left alone).
    static QString format(const QString &languageId, const QString &key, const QStringList &args);
    static QString fillArguments(const QString &text, const QStringList &args);

    // "en-US" for an English region (compared in lower case), otherwise "zh-CN".
    static QString languageOfRegion(const QString &languageRegion);
};

} // namespace perikon::suite
