#pragma once

#include <QString>

namespace perikon::suite::chart {

// The words the chart control shows; the host fills them in the session language.
struct ChartTexts
{
    QString zoomIn = QStringLiteral("Zoom In");
    QString zoomOut = QStringLiteral("Zoom Out");
    QString fit = QStringLiteral("Fit");
    QString saveAs = QStringLiteral("Save As...");
    QString saveTitle = QStringLiteral("Save the Chart");
    QString fileTypes
        = QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
    // %1: the file, %2: why.
    QString saveFailed = QStringLiteral("The chart could not be saved to %1: %2");
    QString unknownType = QStringLiteral("the name must end in .png, .svg or .pdf");
    QString loopNote
        = QStringLiteral("The superior chain leads back to this contact; it is shown at the top.");
    QString empty = QStringLiteral("No contacts to show.");
};

} // namespace perikon::suite::chart
