#pragma once

#include "suite/controls/ControlsExport.h"
#include "suite/controls/HostEdit.h"

#include <QList>
#include <QString>

#include <functional>

namespace perikon::controls {

struct RefEntry
{
    QString code;
    QString name;
};

// Answers the rows of the reference that match a text exactly by code or by name (code matches
// first).
using RefResolver = std::function<QList<RefEntry>(const QString &text)>;

// Code and name texts compare exactly, except that trailing blanks do not count: fixed-width
// columns pad what they hold.
PERIKON_CONTROLS_EXPORT bool sameRefText(QStringView left, QStringView right);

// A reference editor: it shows a name (or a code) and keeps the code that is saved in its Tag.
// Whether the text still names a row of the reference is known after recheck() or
// setReference(); the operator's typing leaves it unchecked until the next recheck().
class PERIKON_CONTROLS_EXPORT RefEdit : public HostEdit
{
    Q_OBJECT
public:
    explicit RefEdit(QWidget *parent = nullptr);
    ~RefEdit() override;

    QString referenceKey() const { return m_referenceKey; }
    void setReferenceKey(const QString &key) { m_referenceKey = key; }

    // Without a resolver nothing can be checked, and every text counts as valid.
    void setResolver(RefResolver resolver);
    bool hasResolver() const { return bool(m_resolver); }

    // Exactly one row whose code equals the text, else exactly one row the resolver found by
    // name: Tag = its code, valid. None or several: Tag cleared, not valid. An empty text: Tag
    // cleared, valid. Without a resolver the Tag stays and the text is valid. Answers validity.
    bool recheck();
    bool isValidReference() const { return m_valid; }
    // What the operator's typing does, for hosts that learn of a change some other way.
    void markUnchecked() { m_valid = false; }

    // A pick or a load: the text is shown, the Tag holds the code, and the reference is valid.
    void setReference(const QString &code, const QString &text);

    // The value a pick from the editor's own list left (empty when none).
    QString selectedValue() const { return m_selectedValue; }
    void setSelectedValue(const QString &value) { m_selectedValue = value; }

    // Conditions the host hands in before a reference opens: an XML
    // "<RefConditions>...</RefConditions>" and a filter text. Kept as given.
    void setRefConditions(const QString &conditionsXml, const QString &filter);
    QString refConditionsXml() const { return m_conditionsXml; }
    QString refFilter() const { return m_filter; }

private:
    QString m_referenceKey;
    RefResolver m_resolver;
    bool m_valid = true; // an empty editor names nothing wrong
    QString m_selectedValue;
    QString m_conditionsXml;
    QString m_filter;
};

} // namespace perikon::controls
