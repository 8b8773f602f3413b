#pragma once

#include "perikon/host/contract/PrintControl.h"
#include "suite/controls/printer/PrintData.h"
#include "suite/controls/printer/PrintRenderer.h"
#include "suite/controls/printer/PrintStyle.h"
#include "suite/controls/printer/PrinterExport.h"

#include <QPointer>

#include <optional>

namespace perikon::suite {

// The suite's print control ("PrintControl", objectName "Prn"): a hidden widget that prints,
// previews and exports the print data it was handed, laid out by its print style. Its dialogs
// ("PrnPageSetup", "PrnPrintDialog", "PrnPreview", "PrnExportDialog") open modal over the owner,
// or over the window the control sits on.
class PERIKON_PRINTER_EXPORT SuitePrintControl : public PrintControl
{
    Q_OBJECT
public:
    explicit SuitePrintControl(QWidget *parent = nullptr);
    ~SuitePrintControl() override;

    bool SetDataStyleXML(const QString &data, bool dataIsFile, const QString &style,
                         bool styleIsFile, const QString &styleName) override;
    int PageSetup() override;
    void TriggerEvent(int event) override;
    bool DoPrint() override;
    void SetOwner(QWidget *owner) override;
    void PrintPreview() override;
    bool ExportToFile(const QString &reserved1, const QString &reserved2, const QString &sizes,
                      const QString &types, QString &result) override;

    // The style the control prints with now.
    printer::PrintStyle printStyle() const { return m_style; }

private:
    QWidget *dialogParent() const;
    printer::PrintLabels labels() const;
    QString defaultExportPath() const;

    std::optional<printer::PrintData> m_data;
    printer::PrintStyle m_style;
    QString m_styleName;
    QPointer<QWidget> m_owner;
};

} // namespace perikon::suite
