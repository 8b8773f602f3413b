#include "suite/controls/HostEdit.h"

#include <QValidator>

#include <algorithm>
#include <utility>

namespace perikon::controls {
namespace internal {

// Judges the whole text after each change; the line edit puts the text back as it was when the
// answer is Invalid, which keeps the undo history intact. The reason of the last refusal waits
// for the edit's inputRejected() to hand it on.
class HostEditValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        m_refusal = refusal(input);
        if (!m_refusal.isEmpty())
            return Invalid;
        // A lone sign or point is half a number: let the operator go on typing.
        if (input == u"-" || input == u"." || input == u"-.")
            return Intermediate;
        return Acceptable;
    }

    QString takeRefusal() { return std::exchange(m_refusal, {}); }

    HostEdit::InputRule rule = HostEdit::InputRule::Text;
    int integerDigits = 9;
    int decimalDigits = 2;
    bool allowNegative = false;
    QString forbidden = QStringLiteral("<");

private:
    QString refusal(const QString &input) const
    {
        for (const QChar ch : input) {
            if (forbidden.contains(ch))
                return HostEdit::tr("The character \"%1\" is not allowed here.").arg(ch);
        }
        if (rule == HostEdit::InputRule::Text)
            return {};
        QStringView number(input);
        if (number.startsWith(u'-')) {
            if (!allowNegative)
                return HostEdit::tr("Only a number of zero or more is allowed here.");
            number = number.mid(1);
        }
        const qsizetype point = number.indexOf(u'.');
        const QStringView whole = point < 0 ? number : number.left(point);
        const QStringView decimals = point < 0 ? QStringView() : number.mid(point + 1);
        // [0-9] only: other scripts' digits would not read back as numbers.
        const auto digitsOnly = [](QStringView part) {
            return std::all_of(part.begin(), part.end(),
                               [](QChar ch) { return ch >= u'0' && ch <= u'9'; });
        };
        if (point >= 0 && rule == HostEdit::InputRule::Integer)
            return HostEdit::tr("Only a whole number is allowed here.");
        if (!digitsOnly(whole) || !digitsOnly(decimals))
            return HostEdit::tr("Only a number is allowed here.");
        if (whole.size() > integerDigits)
            return HostEdit::tr("At most %n digit(s) before the point.", nullptr, integerDigits);
        if (decimals.size() > decimalDigits)
            return HostEdit::tr("At most %n decimal(s).", nullptr, decimalDigits);
        return {};
    }

    mutable QString m_refusal;
};

} // namespace internal

HostEdit::HostEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_validator(new internal::HostEditValidator(this))
{
    setValidator(m_validator);
    connect(this, &QLineEdit::textEdited, this, &HostEdit::edited);
    connect(this, &QLineEdit::inputRejected, this, [this] {
        // Also raised when the text is full; that needs no word to the operator.
        const QString reason = m_validator->takeRefusal();
        if (!reason.isEmpty())
            emit refused(reason);
    });
}

HostEdit::~HostEdit() = default;

HostEdit::InputRule HostEdit::inputRule() const
{
    return m_validator->rule;
}

void HostEdit::setInputRule(InputRule rule)
{
    m_validator->rule = rule;
    emit m_validator->changed();
}

int HostEdit::integerDigits() const
{
    return m_validator->integerDigits;
}

void HostEdit::setIntegerDigits(int digits)
{
    m_validator->integerDigits = std::max(digits, 1);
    emit m_validator->changed();
}

int HostEdit::decimalDigits() const
{
    return m_validator->decimalDigits;
}

void HostEdit::setDecimalDigits(int digits)
{
    m_validator->decimalDigits = std::max(digits, 0);
    emit m_validator->changed();
}

bool HostEdit::allowNegative() const
{
    return m_validator->allowNegative;
}

void HostEdit::setAllowNegative(bool allow)
{
    m_validator->allowNegative = allow;
    emit m_validator->changed();
}

QString HostEdit::forbiddenCharacters() const
{
    return m_validator->forbidden;
}

void HostEdit::setForbiddenCharacters(const QString &characters)
{
    m_validator->forbidden = characters;
    emit m_validator->changed();
}

} // namespace perikon::controls
