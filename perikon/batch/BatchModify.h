#pragma once

// The batch modification of contacts: one field set to one value on the contacts a condition
// selects, checked, confirmed and written all or nothing. Widget-free, so the window and the
// tests drive the same code.

#include <QString>
#include <QStringList>

#include <functional>

namespace perikon::batch {

// The batch window's fixed Chinese texts: as written in a Chinese session, else the suite's text
// of `key` (the Chinese when the suite has none).
QString fixedText(const QString &chinese, const char *key);

// Choice codes written into a condition become the ids stored in Crm_Contact: of the patterns
// "bcsexid=N'0'".."bcsexid=N'2'" the first found is rewritten wherever it occurs, likewise for
// marriage. Text inside string literals is never touched.
QString RewriteChoiceCodes(const QString &where);
// The stored column of a field the control shows by name (customer name, person in charge).
QString StoredField(const QString &field);
// A choice's stored id for sex and marriage; any other value as given.
QString StoredChoiceValue(const QString &field, const QString &value);
// The condition for a customer change: contact names read as the customer's person, the customer
// code as the contact's (outside string literals, case-sensitive).
QString CustomerChangeCondition(const QString &where);
// The row authorization joined to a condition: none when the operator is not restricted.
QString WriteAuthorization(const QString &rowAuthWrite);

QString CountStatement(const QString &where, const QString &rowAuthWrite);
QString FormerCustomersStatement(const QString &where, const QString &rowAuthWrite);
QString ClearDefaultContactStatement(const QString &customerCode);
QString MobileContactsStatement(const QString &where, const QString &rowAuthWrite);
QString CopyMobileStatement(const QString &oid, const QString &customerCode, const QString &mobile);
QString UpdateStatement(const QString &userName, const QString &field, const QString &value,
                        const QString &where, const QString &rowAuthWrite);

// The fields the catalogue lets the operator modify (element names), read from its XML:
// bmulmodify='1' and not withheld by noauthflds. Empty when the catalogue does not parse.
QStringList ModifiableFields(const QString &catalogXml);

// One modify event over the session's data-access object (gClsCommon), public service, row
// authorization and messages.
class BatchModifyEvent
{
public:
    enum class Outcome {
        Refused, // a check failed, the field is not modifiable or the operator said No
        Nothing, // no selected contact within the operator's write rights
        Locked,  // another operator holds the batch lock
        Failed,  // a statement failed; everything was rolled back
        Modified,
    };
    // Called after each contact of the mobile copy: done of total.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    // `description` goes to the archive log with the statement.
    explicit BatchModifyEvent(QString description)
        : m_description(std::move(description))
    {}

    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Field F (as the catalogue spells it), value V, condition W.
    Outcome run(const QString &field, const QString &value, const QString &where);

    // The value check of a field; shows the one message and answers false on failure.
    bool ValidateBatchValue(const QString &field, const QString &value);
    // The required-field check from the card's column settings; shows the message and answers
    // false when the field must be filled and the value is empty.
    bool CheckMustInput(const QString &field, const QString &value);

    // The statement of the last run that wrote (for the log and tests).
    QString lastStatement() const { return m_lastStatement; }
    // How many contacts the last run counted.
    qint64 lastCount() const { return m_lastCount; }

private:
    Outcome write(const QString &field, const QString &value, const QString &where);
    bool exists(const QString &sql);

    QString m_description;
    Progress m_progress;
    QString m_lastStatement;
    qint64 m_lastCount = 0;
};

} // namespace perikon::batch
