#include "suite/services/CalculatorEngine.h"

#include <QLocale>

#include <cmath>

namespace perikon::suite {
namespace {

// Digits before the point of a fixed-point text ("-123.45" → 3, "0.5" → 0).
int integerDigits(const QString &fixed)
{
    QStringView whole(fixed);
    if (whole.startsWith(u'-'))
        whole = whole.mid(1);
    const qsizetype point = whole.indexOf(u'.');
    if (point >= 0)
        whole = whole.left(point);
    return whole == u"0" ? 0 : int(whole.size());
}

// The digits an entry shows, the zero before the point of a number below 1 not counted.
int entryDigits(const QString &entry)
{
    int digits = 0;
    for (const QChar c : entry) {
        if (c.isDigit())
            ++digits;
    }
    if (integerDigits(entry) == 0 && entry.contains(u'0'))
        --digits;
    return digits;
}

// The value rounded to the display as fixed-point text without trailing zeros, or nothing when
// its integer part does not fit.
std::optional<QString> roundedText(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const QString whole = QString::number(std::trunc(std::abs(value)), 'f', 0);
    int digits = whole == u"0" ? 0 : int(whole.size());
    for (;;) {
        if (digits > CalculatorEngine::kMaxDigits)
            return std::nullopt;
        QString text = QString::number(value, 'f', CalculatorEngine::kMaxDigits - digits);
        const int shown = integerDigits(text);
        // Rounding carried into a new integer digit (99.99… → 100.0…): one place less.
        if (shown > digits) {
            digits = shown;
            continue;
        }
        if (text.contains(u'.')) {
            while (text.endsWith(u'0'))
                text.chop(1);
            if (text.endsWith(u'.'))
                text.chop(1);
        }
        if (text == u"-0")
            text = QStringLiteral("0");
        return text;
    }
}

} // namespace

std::optional<double> CalculatorEngine::displayable(double value)
{
    const std::optional<QString> text = roundedText(value);
    if (!text)
        return std::nullopt;
    return QLocale::c().toDouble(*text);
}

QString CalculatorEngine::format(double value)
{
    return roundedText(value).value_or(QString());
}

void CalculatorEngine::reset(const QString &number)
{
    clear();
    bool ok = false;
    const double parsed = QLocale::c().toDouble(number.trimmed(), &ok);
    if (!ok)
        return;
    if (const std::optional<double> value = displayable(parsed))
        m_value = *value;
}

double CalculatorEngine::current() const
{
    if (m_entry.isEmpty())
        return m_value;
    QString text = m_entry;
    if (text.endsWith(u'.'))
        text.chop(1);
    return QLocale::c().toDouble(text);
}

void CalculatorEngine::startEntry()
{
    if (m_error != Error::None)
        clear();
    if (m_entry.isEmpty())
        m_entry = QStringLiteral("0");
    if (m_pending)
        m_operandGiven = true;
}

void CalculatorEngine::digit(int value)
{
    if (value < 0 || value > 9)
        return;
    startEntry();
    const QChar typed = QChar(u'0' + value);
    if (m_entry == u"0" || m_entry == u"-0") {
        m_entry.back() = typed;
        return;
    }
    if (entryDigits(m_entry) >= kMaxDigits)
        return;
    m_entry += typed;
}

void CalculatorEngine::point()
{
    startEntry();
    if (m_entry.contains(u'.') || entryDigits(m_entry) >= kMaxDigits)
        return;
    m_entry += u'.';
}

void CalculatorEngine::setValue(double value)
{
    m_entry.clear();
    const std::optional<double> shown = displayable(value);
    if (!shown) {
        setError(Error::Overflow);
        return;
    }
    m_value = *shown;
}

void CalculatorEngine::setError(Error error)
{
    m_error = error;
    m_entry.clear();
    m_value = 0;
    m_pending.reset();
    m_operandGiven = false;
    m_lastOperation.reset();
}

void CalculatorEngine::apply(Operation op, double operand)
{
    const double left = m_value;
    switch (op) {
    case Operation::Add:
        setValue(left + operand);
        break;
    case Operation::Subtract:
        setValue(left - operand);
        break;
    case Operation::Multiply:
        setValue(left * operand);
        break;
    case Operation::Divide:
        if (operand == 0)
            setError(Error::DivideByZero);
        else
            setValue(left / operand);
        break;
    }
}

void CalculatorEngine::operation(Operation op)
{
    if (m_error != Error::None)
        return;
    if (m_pending && !m_operandGiven) {
        m_pending = op;
        return;
    }
    const double operand = current();
    if (m_pending) {
        m_value = m_accumulator;
        apply(*m_pending, operand);
        if (m_error != Error::None)
            return;
    } else {
        setValue(operand);
    }
    m_accumulator = m_value;
    m_pending = op;
    m_operandGiven = false;
}

void CalculatorEngine::equals()
{
    if (m_error != Error::None)
        return;
    if (m_pending) {
        // "3 × =" squares: without a second operand the first one stands in for it.
        const double operand = m_operandGiven ? current() : m_accumulator;
        const Operation op = *m_pending;
        m_pending.reset();
        m_operandGiven = false;
        m_value = m_accumulator;
        apply(op, operand);
        if (m_error == Error::None) {
            m_lastOperation = op;
            m_lastOperand = operand;
        }
        return;
    }
    const double value = current();
    setValue(value);
    if (m_lastOperation && m_error == Error::None)
        apply(*m_lastOperation, m_lastOperand);
}

void CalculatorEngine::finishPending()
{
    if (m_pending)
        equals();
}

void CalculatorEngine::percent()
{
    if (m_error != Error::None)
        return;
    const double value = current();
    const bool ofFirstOperand
        = m_pending && (*m_pending == Operation::Add || *m_pending == Operation::Subtract);
    setValue(ofFirstOperand ? m_accumulator * value / 100 : value / 100);
    if (m_pending)
        m_operandGiven = true;
}

void CalculatorEngine::changeSign()
{
    if (m_error != Error::None)
        return;
    if (!m_entry.isEmpty()) {
        if (m_entry == u"0")
            return;
        if (m_entry.startsWith(u'-'))
            m_entry.remove(0, 1);
        else
            m_entry.prepend(u'-');
        return;
    }
    setValue(-current());
    if (m_pending)
        m_operandGiven = true;
}

void CalculatorEngine::backspace()
{
    if (m_error != Error::None || m_entry.isEmpty())
        return;
    m_entry.chop(1);
    if (m_entry.isEmpty() || m_entry == u"-")
        m_entry = QStringLiteral("0");
}

void CalculatorEngine::clear()
{
    *this = CalculatorEngine();
}

void CalculatorEngine::clearEntry()
{
    if (m_error != Error::None) {
        clear();
        return;
    }
    m_entry = QStringLiteral("0");
    if (m_pending)
        m_operandGiven = true;
}

QString CalculatorEngine::display() const
{
    if (m_error != Error::None)
        return {};
    return m_entry.isEmpty() ? format(m_value) : m_entry;
}

QString CalculatorEngine::result() const
{
    if (m_error != Error::None)
        return {};
    return format(current());
}

} // namespace perikon::suite
