#include "suite/controls/NumericEdit.h"

#include <QRegularExpressionValidator>

#include <algorithm>
#include <limits>

namespace perikon::controls {

NumericEdit::NumericEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // [0-9] rather than \d: other scripts' digits would pass \d and then read as 0.
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    setMaxDigits(9);
}

void NumericEdit::setMaxDigits(int digits)
{
    setMaxLength(std::clamp(digits, 1, 32767));
}

int NumericEdit::value() const
{
    bool ok = false;
    const qulonglong number = text().toULongLong(&ok);
    if (!ok)
        return text().isEmpty() ? 0 : std::numeric_limits<int>::max();
    return int(std::min<qulonglong>(number, std::numeric_limits<int>::max()));
}

void NumericEdit::setValue(int value)
{
    qlonglong number = std::max(value, 0);
    if (maxDigits() < 10) {
        qlonglong largest = 1;
        for (int i = 0; i < maxDigits(); ++i)
            largest *= 10;
        number = std::min(number, largest - 1);
    }
    setText(QString::number(number));
}

} // namespace perikon::controls
