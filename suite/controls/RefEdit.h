#pragma once

#include "suite/controls/ControlsExport.h"
#include "suite/controls/HostEdit.h"

#include <QList>
#include <QVariantMap>

class QAction;
class QKeyEvent;
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

class RefEdit;

// Opens the host's lookup for an editor (its key, conditions and text) and, on a pick, calls
// setReference and setSelectedValue on it. True when the operator picked a row.
using RefOpener = std::function<bool(RefEdit &edit)>;

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

    // Every row of the last pick with all columns of the reference, for a lookup that lets the
    // operator choose several rows (the editor's text is then the window's business). Field
    // names in lower case.
    QList<QVariantMap> chosenRows() const { return m_chosenRows; }
    void setChosenRows(const QList<QVariantMap> &rows) { m_chosenRows = rows; }

    // The value a pick from the editor's own list left (empty when none).
    QString selectedValue() const { return m_selectedValue; }
    void setSelectedValue(const QString &value) { m_selectedValue = value; }

    // The editor's own drop-down: a button at its right end (objectName "<editor>_Drop") and
    // Alt+Down. Asks the window for conditions (beforeReference), opens the host's lookup, and
    // after a pick tells the window (afterReference). Nothing opens without an opener.
    void setOpener(RefOpener opener);
    bool hasOpener() const { return bool(m_opener); }
    // The window offers a button of its own for this editor: the drop-down button is not shown.
    void setDropButtonVisible(bool visible);
    bool isDropButtonVisible() const;
    // Whether a pick shows the row's name (else its code) in the editor.
    bool showsName() const { return m_showsName; }
    void setShowsName(bool showsName) { m_showsName = showsName; }
    // Opens the drop-down; true when the operator picked a row.
    bool openReference();

    // Conditions the host hands in before a reference opens: an XML
    // "<RefConditions>...</RefConditions>" and a filter text. Kept as given.
    void setRefConditions(const QString &conditionsXml, const QString &filter);
    QString refConditionsXml() const { return m_conditionsXml; }
    QString refFilter() const { return m_filter; }

signals:
    // Before the lookup opens: the window may set conditions (setRefConditions) for it.
    void beforeReference();
    // After a pick from the drop-down.
    void afterReference();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_referenceKey;
    RefOpener m_opener;
    QAction *m_drop = nullptr;
    bool m_dropVisible = true;
    bool m_showsName = true;
    RefResolver m_resolver;
    bool m_valid = true; // an empty editor names nothing wrong
    QString m_selectedValue;
    QList<QVariantMap> m_chosenRows;
    QString m_conditionsXml;
    QString m_filter;
};

} // namespace perikon::controls
