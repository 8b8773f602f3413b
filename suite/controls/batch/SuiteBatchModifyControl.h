#pragma once

#include "perikon/host/contract/BatchModifyControl.h"
#include "suite/controls/batch/BatchCatalog.h"
#include "suite/controls/batch/BatchExport.h"

#include <QHash>
#include <QPointer>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace perikon::controls {
class HostEdit;
}

namespace perikon::suite {

namespace batch {
class BatchLookup;
class BatchTexts;
class CalendarPopup;
} // namespace batch

// The suite's batch-modify control ("BatchModifyControl"): the operator picks a field of the
// catalogue in "cboField" and types its value in "EdtValue" (a choice in "cboValue"; a date with
// the calendar of "cmdDate"; a reference code with the lookup of "cmdRef"), then presses
// "cmdModify" or F8 anywhere in the window. "lblCount" counts the rows handed in; "cmdClose"
// asks the host to close.
class PERIKON_BATCH_EXPORT SuiteBatchModifyControl : public BatchModifyControl
{
    Q_OBJECT
public:
    explicit SuiteBatchModifyControl(QWidget *parent = nullptr);
    ~SuiteBatchModifyControl() override;

    bool Initialize(QObject *login, const QString &catalogXml, db::Recordset *templateRs,
                    QString &error, const QString &modifyCaption,
                    const QString &hotKeyText) override;
    void SetSelection(const QString &keyField, const Selection &selection,
                      const QString &table) override;
    int mode() const override { return m_mode; }
    void setMode(int mode) override;

    // The fields offered, in the order of "cboField".
    const QList<batch::BatchField> &fields() const { return m_fields; }
    // What "cmdModify" and F8 do: in mode 2, raises `modify` for the field and value entered, or
    // tells the operator why not (no rows, a value that is not a date or a number).
    void modifySelection();

private:
    // Field and value rows on the left, the count below, Modify and Close at the bottom right.
    void layOut();
    void showField(int index);
    void setUpValueEdit(const batch::BatchField &field);
    void lookUpReference();
    void openCalendar();
    void updateCount();
    void updateModifyEnabled();

    std::unique_ptr<batch::BatchTexts> m_texts;
    std::unique_ptr<batch::BatchLookup> m_lookup;
    QList<batch::BatchField> m_fields;
    // Longest text a field's column holds, by element name in lower case.
    QHash<QString, int> m_maxLengths;
    QPointer<QObject> m_login;
    QString m_keyField;
    Selection m_selection;
    int m_mode = 0;

    QLabel *m_fieldLabel;
    QComboBox *m_field;
    QLabel *m_valueLabel;
    controls::HostEdit *m_value;
    QComboBox *m_choice;
    QToolButton *m_reference;
    QToolButton *m_date;
    batch::CalendarPopup *m_calendar;
    QLabel *m_count;
    QPushButton *m_modify;
    QPushButton *m_close;
};

} // namespace perikon::suite
