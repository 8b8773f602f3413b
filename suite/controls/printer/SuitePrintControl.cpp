#include "suite/controls/printer/SuitePrintControl.h"

#include "perikon/host/contract/UiHelper.h"
#include "suite/controls/printer/CsvExport.h"
#include "suite/controls/printer/ExportColumns.h"
#include "suite/controls/printer/ExportDialog.h"
#include "suite/controls/printer/HostTexts.h"
#include "suite/controls/printer/PageSetupDialog.h"
#include "suite/controls/printer/PdfExport.h"
#include "suite/controls/printer/XlsxExport.h"

#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>

namespace perikon::suite {

using namespace printer;

namespace {

// The text of `source`, or of the file it names; nothing when that file cannot be read.
std::optional<QString> xmlText(const QString &source, bool isFile)
{
    if (!isFile)
        return source;
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

} // namespace

SuitePrintControl::SuitePrintControl(QWidget *parent)
    : PrintControl(parent)
{
    setObjectName(QStringLiteral("Prn"));
    hide();
}

SuitePrintControl::~SuitePrintControl() = default;

bool SuitePrintControl::SetDataStyleXML(const QString &data, bool dataIsFile, const QString &style,
                                        bool styleIsFile, const QString &styleName)
{
    const std::optional<QString> dataXml = xmlText(data, dataIsFile);
    std::optional<PrintData> parsed = dataXml ? PrintData::parse(*dataXml) : std::nullopt;
    if (!parsed)
        return false;
    m_data = std::move(parsed);
    // A style file that cannot be read is a bad style: the default prints.
    m_style = PrintStyle::parse(xmlText(style, styleIsFile).value_or(QString()));
    m_styleName = styleName;
    return true;
}

int SuitePrintControl::PageSetup()
{
    const HostTexts texts;
    PageSetupDialog dialog(m_style, texts, dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    m_style = dialog.style();
    return 1;
}

void SuitePrintControl::TriggerEvent(int event)
{
    if (event != 0)
        return;
    // Two texts because the host stores a style in fields of limited length.
    const QString xml = m_style.toXml();
    const qsizetype half = xml.size() / 2;
    emit styleChanged(xml.left(half), xml.mid(half));
}

bool SuitePrintControl::DoPrint()
{
    const HostTexts texts;
    if (!m_data) {
        texts.ask(texts.text("K2.Suite.Print.NoData"),
                  MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation);
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_style.pageLayout());
    printer.setDocName(m_data->title);
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setObjectName(QStringLiteral("PrnPrintDialog"));
    dialog.setWindowTitle(texts.text("K2.Suite.Print.PrintDialogTitle"));
    if (dialog.exec() != QDialog::Accepted)
        return false;

    PrintRenderer renderer(*m_data, m_style.fontSize, labels());
    const bool someRange = printer.printRange() == QPrinter::PageRange;
    if (renderer.print(printer, someRange ? printer.fromPage() : 0,
                       someRange ? printer.toPage() : 0))
        return true;
    const QString target = printer.outputFileName().isEmpty()
                               ? printer.printerName()
                               : QDir::toNativeSeparators(printer.outputFileName());
    texts.ask(texts.format("K2.Suite.Print.PrintFailed", {target}),
              MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation);
    return false;
}

void SuitePrintControl::SetOwner(QWidget *owner)
{
    m_owner = owner;
}

void SuitePrintControl::PrintPreview()
{
    const HostTexts texts;
    if (!m_data) {
        texts.ask(texts.text("K2.Suite.Print.NoData"),
                  MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_style.pageLayout());
    printer.setDocName(m_data->title);
    PrintRenderer renderer(*m_data, m_style.fontSize, labels());
    QPrintPreviewDialog preview(&printer, dialogParent());
    preview.setObjectName(QStringLiteral("PrnPreview"));
    preview.setWindowTitle(texts.text("K2.Suite.Print.PreviewTitle"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&renderer](QPrinter *target) { renderer.print(*target); });
    preview.exec();
}

bool SuitePrintControl::ExportToFile(const QString &, const QString &, const QString &sizes,
                                     const QString &types, QString &result)
{
    result.clear();
    const HostTexts texts;
    if (!m_data) {
        result = texts.text("K2.Suite.Print.NoData");
        return false;
    }
    const auto confirmReplace = [&texts](const QString &path) {
        return texts.ask(
                   texts.format("K2.Suite.Print.Export.Exists", {QDir::toNativeSeparators(path)}),
                   MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2)
               == MsgBoxButton::Yes;
    };
    ExportDialog dialog(defaultExportPath(), texts, confirmReplace, dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return false;

    const QString path = QFileInfo(dialog.fileName()).absoluteFilePath();
    std::optional<QString> error;
    switch (dialog.format()) {
    case ExportFormat::Pdf:
        error = PdfExport::write(*m_data, m_style, labels(), path);
        break;
    case ExportFormat::Csv:
        error = CsvExport::write(*m_data, path);
        break;
    case ExportFormat::Excel:
        error = XlsxExport::write(*m_data, exportColumns(*m_data, sizes, types), path);
        break;
    }
    if (error) {
        result = texts.format("K2.Suite.Print.Export.Failed",
                              {QDir::toNativeSeparators(path), *error});
        return false;
    }
    result = QDir::toNativeSeparators(path);
    return true;
}

QWidget *SuitePrintControl::dialogParent() const
{
    if (m_owner)
        return m_owner->window();
    return parentWidget() ? parentWidget()->window() : nullptr;
}

PrintLabels SuitePrintControl::labels() const
{
    const HostTexts texts;
    return {texts.text("K2.Suite.Print.Footer.Operator"),
            texts.text("K2.Suite.Print.Footer.Account"), texts.text("K2.Suite.Print.Footer.Date"),
            texts.text("K2.Suite.Print.Footer.Page")};
}

QString SuitePrintControl::defaultExportPath() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    QString name = m_data ? m_data->title.trimmed() : QString();
    static const QRegularExpression unsafe(QStringLiteral(R"([\\/:*?"<>|\x00-\x1f])"));
    name.replace(unsafe, QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral("export");
    return QDir::toNativeSeparators(folder + QLatin1Char('/') + name + QStringLiteral(".pdf"));
}

} // namespace perikon::suite
