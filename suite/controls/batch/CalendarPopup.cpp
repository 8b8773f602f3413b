#include "suite/controls/batch/CalendarPopup.h"

#include <QCalendarWidget>
#include <QVBoxLayout>

namespace perikon::suite::batch {

CalendarPopup::CalendarPopup(QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , m_calendar(new QCalendarWidget(this))
{
    setObjectName(QStringLiteral("BatchCalendar"));
    m_calendar->setObjectName(QStringLiteral("calDate"));
    // A window of its own; it still takes the control's locale and font.
    setAttribute(Qt::WA_WindowPropagation);
    setFrameShape(QFrame::Box);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_calendar);
    const auto pick = [this](QDate date) {
        hide();
        emit picked(date);
    };
    connect(m_calendar, &QCalendarWidget::clicked, this, pick);
    connect(m_calendar, &QCalendarWidget::activated, this, pick);
}

void CalendarPopup::popUp(QWidget *anchor, QDate date)
{
    m_calendar->setSelectedDate(date.isValid() ? date : QDate::currentDate());
    adjustSize();
    move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

} // namespace perikon::suite::batch
