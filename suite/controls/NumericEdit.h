#pragma once

#include "suite/controls/ControlsExport.h"

#include <QLineEdit>

namespace perikon::controls {

// A line edit for a whole number: it takes the digits 0-9 only (typed or pasted), up to
// maxDigits() of them. Nine digits by default, so every value fits an int.
class PERIKON_CONTROLS_EXPORT NumericEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit NumericEdit(QWidget *parent = nullptr);

    int maxDigits() const { return maxLength(); }
    void setMaxDigits(int digits);

    // 0 when empty; the largest int when the digits exceed it.
    int value() const;
    // Negative values show as 0, values longer than maxDigits() as the largest that fits.
    void setValue(int value);
};

} // namespace perikon::controls
