#pragma once

#include <QString>

#include <optional>

namespace perikon::suite {

// The arithmetic of the suite's calculator, as a pocket calculator does it: operations are
// evaluated left to right as they are keyed in (2 + 3 × 4 = 20), "=" again repeats the last
// operation with the same operand, and an operator right after another replaces it.
//
// The display holds at most 15 digits, so every value is kept as it is shown: rounded to the
// places those 15 digits leave after the point. That makes 0.1 + 0.2 show 0.3 and later steps
// start from exactly what the operator sees. A result with more than 15 digits before the point
// is an overflow.
class CalculatorEngine
{
public:
    enum class Operation { Add, Subtract, Multiply, Divide };
    enum class Error { None, DivideByZero, Overflow };

    static constexpr int kMaxDigits = 15;

    CalculatorEngine() = default;

    // Starts over at `number` (plain number text); empty, not a number or too large to show
    // starts at 0.
    void reset(const QString &number = {});

    // A digit 0..9; ignored once the entry holds kMaxDigits digits. In the error state it starts
    // over.
    void digit(int value);
    void point();
    void operation(Operation op);
    void equals();
    // With + or − pending: that percentage of the first operand (50 + 10 % → 5); otherwise the
    // value divided by 100.
    void percent();
    void changeSign();
    // Takes back the last typed character; a result is left alone.
    void backspace();
    // Clear: everything, including a pending operation and an error.
    void clear();
    // Clear entry: the value being keyed in becomes 0; a pending operation stays.
    void clearEntry();
    // Completes a pending operation as "=" does; nothing else changes (no repeat of the last one).
    void finishPending();

    Error error() const { return m_error; }
    bool hasPendingOperation() const { return m_pending.has_value(); }
    // What the display shows: the entry as typed ("0.50", "12."), or the value; empty in the
    // error state (the window shows the error's own text).
    QString display() const;
    // The value as plain text: no grouping, no exponent, no trailing zeros after the point;
    // empty in the error state.
    QString result() const;

    // `value` rounded to what the display can hold, or nothing when its integer part needs more
    // than kMaxDigits digits.
    static std::optional<double> displayable(double value);
    // Plain text of a value (rounded as displayable() does), or empty when it does not fit.
    static QString format(double value);

private:
    double current() const;
    void startEntry();
    void setValue(double value);
    void apply(Operation op, double operand);
    void setError(Error error);

    QString m_entry; // what is being typed; empty when the value is a result
    double m_value = 0;
    double m_accumulator = 0;
    std::optional<Operation> m_pending;
    bool m_operandGiven = false; // a value was keyed in (or computed) since the operator
    std::optional<Operation> m_lastOperation;
    double m_lastOperand = 0;
    Error m_error = Error::None;
};

} // namespace perikon::suite
