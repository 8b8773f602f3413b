#pragma once

#include <QString>
#include <QWidget>

namespace perikon {

// The host's print control ("Prn"): a hidden widget on a window that prints, previews and exports
// the data it was handed, laid out by a print style.
//
// Print data is XML (one document, UTF-8 text):
//   <PrintData title=".." operator=".." account=".." year=".." date="yyyy-MM-dd">
//     <Columns><Column caption=".." width="pixels" align="left|right|center"/>...</Columns>
//     <Rows><Row><Cell>display text</Cell>...</Row>...</Rows>
//   </PrintData>
// Rows come in the order they are printed; every row has one cell per column.
//
// A print style is XML too:
//   <PrnStyle paper="A4" orientation="portrait|landscape" marginTop="15" marginBottom="15"
//             marginLeft="10" marginRight="10" fontSize="9"/>
// margins in millimetres, the font size in points. A style that does not parse, or is empty,
// means the default style (A4 portrait, margins 15/15/10/10, 9 pt).
class PrintControl : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Takes the print data and the style to print with. False (and the control keeps what it
    // held) when the data does not parse; a bad style falls back to the default.
    // `dataIsFile`/`styleIsFile`: the texts name files rather than hold the XML.
    virtual bool SetDataStyleXML(const QString &data, bool dataIsFile, const QString &style,
                                 bool styleIsFile, const QString &styleName)
        = 0;
    // The page setup dialog over the owner. Non-zero when the operator confirmed a changed style.
    virtual int PageSetup() = 0;
    // Event 0: emits styleChanged with the current style XML split into two texts.
    virtual void TriggerEvent(int event) = 0;
    // The print dialog, then the print; false when cancelled or nothing could be printed.
    virtual bool DoPrint() = 0;
    // The window the control's dialogs open over.
    virtual void SetOwner(QWidget *owner) = 0;
    // The preview dialog over the owner; answers when it closes.
    virtual void PrintPreview() = 0;
    // The export dialog (format, file name), then the file. `sizes` and `types` are
    // comma-separated lists, one entry per printed column (types: 10 text kept verbatim,
    // 3 integer, 5/6/131 decimal, 135 date...). `result` names the file written, says why
    // nothing was written, or stays empty after a cancel. True when a file was written.
    virtual bool ExportToFile(const QString &reserved1, const QString &reserved2,
                              const QString &sizes, const QString &types, QString &result)
        = 0;

signals:
    // The style changed (TriggerEvent(0)); the style XML is first + second.
    void styleChanged(const QString &first, const QString &second);
};

} // namespace perikon
