#pragma once

#include "suite/controls/ControlsExport.h"

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QFrame;
class QLineEdit;
class QToolButton;

namespace perikon::controls {

// A date field that may stay empty: free text while the operator types, judged only by validate()
// or when the focus leaves. It reads yyyy-MM-dd, yyyy/M/d, yyyyMMdd and yyyy.M.d; the button beside
// it drops a calendar to pick from. edited() reports the operator's changes (typing, a pick), never
// setIsoText() from code.
class PERIKON_CONTROLS_EXPORT DatePicker : public QWidget
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    // The date a text stands for; invalid for an empty or unreadable text or a day that does not
    // exist.
    static QDate parse(const QString &text);

    QString text() const;
    bool isEmpty() const;
    void clear();
    QDate date() const;
    // "yyyy-MM-dd", or empty when the field is empty or not a date.
    QString isoText() const;
    void setIsoText(const QString &iso);
    void setPlaceholderText(const QString &text);

    // True for an empty field or a date (then shown as yyyy-MM-dd); otherwise the text stays for
    // the operator to correct and invalid() is emitted.
    bool validate();

    void showCalendar();

signals:
    void edited();
    void invalid();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pick(QDate date);

    QLineEdit *m_edit;
    QToolButton *m_button;
    QFrame *m_popup;
    QCalendarWidget *m_calendar;
};

} // namespace perikon::controls
