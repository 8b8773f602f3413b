#pragma once

#include <QDate>
#include <QFrame>

class QCalendarWidget;

namespace perikon::suite::batch {

// The calendar dropped below a date field ("BatchCalendar", its calendar "calDate"): a click or
// Enter on a day picks it and closes the pop-up, Escape closes it without a pick.
class CalendarPopup : public QFrame
{
    Q_OBJECT
public:
    explicit CalendarPopup(QWidget *parent);

    // Shows the calendar under `anchor` on `date` (today when invalid).
    void popUp(QWidget *anchor, QDate date);
    QCalendarWidget *calendar() const { return m_calendar; }

signals:
    void picked(QDate date);

private:
    QCalendarWidget *m_calendar;
};

} // namespace perikon::suite::batch
