#include "suite/controls/printer/PdfExport.h"

#include "suite/controls/printer/AtomicFile.h"

#include <QPdfWriter>

namespace perikon::suite::printer {

std::optional<QString> PdfExport::write(const PrintData &data, const PrintStyle &style,
                                        const PrintLabels &labels, const QString &path)
{
    AtomicFile file(path);
    if (auto error = file.open())
        return error;
    {
        QPdfWriter writer(&file.device());
        writer.setTitle(data.title);
        writer.setCreator(QStringLiteral("Perikon"));
        writer.setPageLayout(style.pageLayout());
        PrintRenderer renderer(data, style.fontSize, labels);
        if (!renderer.print(writer))
            return file.device().errorString();
    }
    if (file.device().error() != QFileDevice::NoError)
        return file.device().errorString();
    return file.commit();
}

} // namespace perikon::suite::printer
