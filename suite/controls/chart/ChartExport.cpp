#include "suite/controls/chart/ChartExport.h"

#include <QFile>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace perikon::suite::chart {
namespace {

// A picture of a very wide chart is scaled down to what image viewers open.
constexpr double kLargestSide = 16000;
constexpr double kLargestArea = 120e6;
// PDF pages end at 200 inches.
constexpr double kLargestPagePoints = 14400;

bool savePng(QGraphicsScene &scene, const QString &path, QString &error)
{
    const QRectF source = scene.sceneRect();
    double scale = 1.0;
    scale = std::min(scale, kLargestSide / std::max(source.width(), source.height()));
    scale = std::min(scale, std::sqrt(kLargestArea / (source.width() * source.height())));
    const QSize size(std::max(1, int(std::ceil(source.width() * scale))),
                     std::max(1, int(std::ceil(source.height() * scale))));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        error = QStringLiteral("out of memory");
        return false;
    }
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), source);
    }
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        error = writer.errorString();
        return false;
    }
    return true;
}

bool saveSvg(QGraphicsScene &scene, const QString &path, QString &error)
{
    const QRectF source = scene.sceneRect();
    const QSize size = source.size().toSize().expandedTo(QSize(1, 1));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = file.errorString();
        return false;
    }
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QFileInfo(path).completeBaseName());
    QPainter painter;
    if (!painter.begin(&svg)) {
        error = QStringLiteral("cannot write the file");
        return false;
    }
    scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), source);
    painter.end();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool savePdf(QGraphicsScene &scene, const QString &path, QString &error)
{
    const QRectF source = scene.sceneRect();
    // One page the size of the chart (a pixel is three quarters of a point), within PDF limits.
    QSizeF points = source.size() * 0.75;
    const double over = std::max(points.width(), points.height()) / kLargestPagePoints;
    if (over > 1)
        points /= over;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = file.errorString();
        return false;
    }
    QPdfWriter pdf(&file);
    pdf.setTitle(QFileInfo(path).completeBaseName());
    pdf.setPageSize(QPageSize(points.expandedTo(QSizeF(1, 1)), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        error = QStringLiteral("cannot write the file");
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(0, 0, pdf.width(), pdf.height()), source);
    painter.end();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

ChartExport::Format ChartExport::formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return Format::Png;
    if (suffix == QLatin1String("svg"))
        return Format::Svg;
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    return Format::Unknown;
}

bool ChartExport::save(QGraphicsScene &scene, const QString &path, const QString &unknownType,
                       QString &error)
{
    switch (formatOf(path)) {
    case Format::Png:
        return savePng(scene, path, error);
    case Format::Svg:
        return saveSvg(scene, path, error);
    case Format::Pdf:
        return savePdf(scene, path, error);
    case Format::Unknown:
        break;
    }
    error = unknownType;
    return false;
}

} // namespace perikon::suite::chart
