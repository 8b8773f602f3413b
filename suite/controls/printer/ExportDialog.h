#pragma once

#include "suite/controls/printer/PrinterExport.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;

namespace perikon::suite::printer {

class HostTexts;

enum class ExportFormat { Pdf, Csv, Excel };

// The export dialog ("PrnExportDialog"): the format "cboFormat" (PDF, CSV, Excel), the file
// "txtFileName", "cmdBrowse" (a file dialog "PrnFileDialog"), "cmdOK", "cmdCancel". It only
// gathers what to write where: the file name gets the format's extension, and a file that
// exists is replaced only when `confirmReplace` agrees (otherwise the dialog stays open).
class PERIKON_PRINTER_EXPORT ExportDialog : public QDialog
{
    Q_OBJECT
public:
    using ConfirmReplace = std::function<bool(const QString &path)>;

    ExportDialog(const QString &fileName, const HostTexts &texts, ConfirmReplace confirmReplace,
                 QWidget *parent = nullptr);

    ExportFormat format() const;
    QString fileName() const;
    void accept() override;

private:
    void browse();
    void formatChosen();

    const HostTexts &m_texts;
    ConfirmReplace m_confirmReplace;
    QComboBox *m_format;
    QLineEdit *m_fileName;
};

} // namespace perikon::suite::printer
