#pragma once

// Writes a chart scene to a file, the format chosen by the file's suffix: PNG, SVG or PDF.

#include <QString>

class QGraphicsScene;

namespace perikon::suite::chart {

class ChartExport
{
public:
    enum class Format { Unknown, Png, Svg, Pdf };

    static Format formatOf(const QString &path);
    // False with `error` set when the suffix is none of the three or the file cannot be written.
    // `unknownType` is the reason given for an unknown suffix.
    static bool save(QGraphicsScene &scene, const QString &path, const QString &unknownType,
                     QString &error);
};

} // namespace perikon::suite::chart
