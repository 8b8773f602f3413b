#pragma once

#include "suite/controls/printer/PrintStyle.h"
#include "suite/controls/printer/PrinterExport.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;

namespace perikon::suite::printer {

class HostTexts;

// The page setup ("PrnPageSetup"): paper "cboPaper", orientation "optPortrait"/"optLandscape",
// margins in millimetres "spnMarginTop", "spnMarginBottom", "spnMarginLeft", "spnMarginRight",
// the font size "spnFontSize", "cmdOK", "cmdCancel". OK refuses margins that leave no room on
// the paper and says so in "lblMessage".
class PERIKON_PRINTER_EXPORT PageSetupDialog : public QDialog
{
    Q_OBJECT
public:
    PageSetupDialog(const PrintStyle &style, const HostTexts &texts, QWidget *parent = nullptr);

    PrintStyle style() const;
    void accept() override;

private:
    const HostTexts &m_texts;
    QComboBox *m_paper;
    QRadioButton *m_portrait;
    QRadioButton *m_landscape;
    QDoubleSpinBox *m_top;
    QDoubleSpinBox *m_bottom;
    QDoubleSpinBox *m_left;
    QDoubleSpinBox *m_right;
    QDoubleSpinBox *m_fontSize;
    QLabel *m_message;
};

} // namespace perikon::suite::printer
