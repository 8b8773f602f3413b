#pragma once

#include "suite/controls/ControlsExport.h"

#include <QLineEdit>

namespace perikon::controls {

namespace internal {
class HostEditValidator;
}

// The card's text field. It carries a Tag (a value behind the shown text, such as the code of a
// shown name), takes only what its input rule allows, and refuses the forbidden characters ("<" by
// default) with refused(reason). edited() reports the operator's changes only: typing, paste, cut,
// undo; never setText() from code.
class PERIKON_CONTROLS_EXPORT HostEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString Tag READ tag WRITE setTag)
public:
    enum class InputRule { Text, Integer, Decimal };
    Q_ENUM(InputRule)

    explicit HostEdit(QWidget *parent = nullptr);
    ~HostEdit() override;

    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    InputRule inputRule() const;
    void setInputRule(InputRule rule);
    // Digits before the point (Integer and Decimal) and after it (Decimal).
    int integerDigits() const;
    void setIntegerDigits(int digits);
    int decimalDigits() const;
    void setDecimalDigits(int digits);
    bool allowNegative() const;
    void setAllowNegative(bool allow);

    QString forbiddenCharacters() const;
    // An empty set lifts the filter.
    void setForbiddenCharacters(const QString &characters);

signals:
    void edited();
    void refused(const QString &reason);

private:
    internal::HostEditValidator *m_validator;
    QString m_tag;
};

} // namespace perikon::controls
