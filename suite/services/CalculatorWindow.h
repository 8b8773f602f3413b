#pragma once

#include "suite/services/CalculatorEngine.h"

#include <QDialog>
#include <QString>

#include <functional>

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace perikon::suite {

// The suite's calculator for a number editor. Children: the display "CalcDisplay", the keys
// "Calc_0".."Calc_9", "Calc_Dot", "Calc_Add", "Calc_Sub", "Calc_Mul", "Calc_Div", "Calc_Eq",
// "Calc_Percent", "Calc_Sign", "Calc_Back", "Calc_C", "Calc_CE", and "CalcOK", "CalcCancel".
//
// Keyboard: digits, '.' or ',', + - * /, '%', '=' as on the keys; Backspace takes back a digit,
// Delete clears the entry, F9 changes the sign. Enter completes a pending operation and, with
// nothing pending, takes the result (so "12*2 Enter Enter" hands back 24); Escape cancels.
class CalculatorWindow : public QDialog
{
    Q_OBJECT
public:
    // Starts at `number` (empty or not a number: 0).
    explicit CalculatorWindow(const QString &number = {}, QWidget *parent = nullptr);

    // The number taken by OK, as plain text; empty before.
    QString resultText() const { return m_result; }

    // Where a window of `size` goes whose top left corner is asked at `topLeft`: moved left and
    // up as far as needed to stay inside `available`.
    static QPoint placedOnScreen(const QRect &available, const QPoint &topLeft, const QSize &size);

    // A pending operation is completed first; refused while the display shows an error.
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void addKey(QGridLayout *grid, const char *name, const QString &text, int row, int column,
                std::function<void(CalculatorEngine &)> action, int columnSpan = 1);
    void run(const std::function<void(CalculatorEngine &)> &action);
    void updateDisplay();

    CalculatorEngine m_engine;
    QLineEdit *m_display;
    QPushButton *m_ok = nullptr;
    QString m_result;
};

} // namespace perikon::suite
