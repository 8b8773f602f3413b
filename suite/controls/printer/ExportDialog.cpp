#include "suite/controls/printer/ExportDialog.h"

#include "suite/controls/printer/HostTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace perikon::suite::printer {
namespace {

struct FormatInfo
{
    ExportFormat format;
    const char *name; // the same in every language
    const char *suffix;
};

constexpr std::array kFormats{
    FormatInfo{ExportFormat::Pdf, "PDF", "pdf"},
    FormatInfo{ExportFormat::Csv, "CSV", "csv"},
    FormatInfo{ExportFormat::Excel, "Excel", "xlsx"},
};

const FormatInfo &infoOf(ExportFormat format)
{
    for (const FormatInfo &info : kFormats) {
        if (info.format == format)
            return info;
    }
    return kFormats.front();
}

bool hasKnownSuffix(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    for (const FormatInfo &info : kFormats) {
        if (suffix.compare(QLatin1String(info.suffix), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Nobody at the screen when the platform draws nowhere: Qt's own file dialog, which a script
// can drive, never the desktop's.
bool nativeDialogsPossible()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

ExportDialog::ExportDialog(const QString &fileName, const HostTexts &texts,
                           ConfirmReplace confirmReplace, QWidget *parent)
    : QDialog(parent)
    , m_texts(texts)
    , m_confirmReplace(std::move(confirmReplace))
    , m_format(new QComboBox(this))
    , m_fileName(new QLineEdit(fileName, this))
{
    setObjectName(QStringLiteral("PrnExportDialog"));
    setWindowTitle(texts.text("K2.Suite.Print.Export.Title"));
    setModal(true);

    m_format->setObjectName(QStringLiteral("cboFormat"));
    for (const FormatInfo &info : kFormats)
        m_format->addItem(QLatin1String(info.name), int(info.format));
    m_fileName->setObjectName(QStringLiteral("txtFileName"));
    m_fileName->setMinimumWidth(m_fileName->fontMetrics().averageCharWidth() * 48);
    auto *browseButton = new QPushButton(texts.text("K2.Suite.Print.Export.Browse"), this);
    browseButton->setObjectName(QStringLiteral("cmdBrowse"));
    browseButton->setAutoDefault(false);
    connect(browseButton, &QPushButton::clicked, this, &ExportDialog::browse);
    connect(m_format, &QComboBox::currentIndexChanged, this, &ExportDialog::formatChosen);

    auto *form = new QFormLayout;
    auto *formatLabel = new QLabel(texts.text("K2.Suite.Print.Export.Format"), this);
    formatLabel->setBuddy(m_format);
    form->addRow(formatLabel, m_format);
    auto *file = new QHBoxLayout;
    file->addWidget(m_fileName, 1);
    file->addWidget(browseButton);
    auto *fileLabel = new QLabel(texts.text("K2.Suite.Print.Export.FileName"), this);
    fileLabel->setBuddy(m_fileName);
    form->addRow(fileLabel, file);

    QPushButton *ok = nullptr;
    QDialogButtonBox *buttons = okCancelButtons(*this, texts, ok);
    connect(m_fileName, &QLineEdit::textChanged, ok,
            [ok](const QString &text) { ok->setEnabled(!text.trimmed().isEmpty()); });
    ok->setEnabled(!fileName.trimmed().isEmpty());

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    formatChosen();
}

ExportFormat ExportDialog::format() const
{
    return ExportFormat(m_format->currentData().toInt());
}

QString ExportDialog::fileName() const
{
    return m_fileName->text().trimmed();
}

void ExportDialog::formatChosen()
{
    // The name follows the format as long as it carries one of ours.
    const QString name = fileName();
    if (name.isEmpty())
        return;
    const QString suffix = QLatin1String(infoOf(format()).suffix);
    const QFileInfo info(name);
    if (hasKnownSuffix(name))
        m_fileName->setText(name.left(name.size() - info.suffix().size()) + suffix);
}

void ExportDialog::accept()
{
    QString name = fileName();
    if (name.isEmpty())
        return;
    const QString suffix = QLatin1String(infoOf(format()).suffix);
    if (QFileInfo(name).suffix().compare(suffix, Qt::CaseInsensitive) != 0) {
        name += QLatin1Char('.') + suffix;
        m_fileName->setText(name);
    }
    const QFileInfo target(name);
    if (target.exists() && !(m_confirmReplace && m_confirmReplace(target.absoluteFilePath())))
        return;
    QDialog::accept();
}

void ExportDialog::browse()
{
    const FormatInfo &info = infoOf(format());
    QFileDialog dialog(this, m_texts.text("K2.Suite.Print.Export.BrowseTitle"));
    dialog.setObjectName(QStringLiteral("PrnFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Replacing is asked once, when the export starts.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, !nativeDialogsPossible());
    dialog.setNameFilter(m_texts.format(
        "K2.Suite.Print.Export.Filter",
        {QLatin1String(info.name), QStringLiteral("*.") + QLatin1String(info.suffix)}));
    dialog.setDefaultSuffix(QLatin1String(info.suffix));
    if (!fileName().isEmpty())
        dialog.selectFile(fileName());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_fileName->setText(QDir::toNativeSeparators(dialog.selectedFiles().first()));
}

} // namespace perikon::suite::printer
