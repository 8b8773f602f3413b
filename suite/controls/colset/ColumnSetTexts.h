#pragma once

#include <QString>

namespace perikon::suite::colset {

// The words the column-settings control shows; the host fills them in the session language.
struct ColumnSetTexts
{
    QString show = QStringLiteral("Show");
    QString caption = QStringLiteral("Caption");
    QString originalCaption = QStringLiteral("Original Caption");
    QString width = QStringLiteral("Width");
    QString up = QStringLiteral("Move Up");
    QString down = QStringLiteral("Move Down");
    QString mine = QStringLiteral("My Layout");
    QString all = QStringLiteral("All Columns");
    QString defaults = QStringLiteral("Default");
    QString save = QStringLiteral("Save as my layout");
    QString ok = QStringLiteral("OK");
    QString cancel = QStringLiteral("Cancel");
    // Leads the technical reason when column information cannot be shown; %1 is the reason.
    QString unreadable = QStringLiteral("The column settings cannot be shown: %1");
};

} // namespace perikon::suite::colset
