#include "suite/controls/DatePicker.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace perikon::controls {

namespace {

const QString isoFormat = QStringLiteral("yyyy-MM-dd");

} // namespace

DatePicker::DatePicker(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_button(new QToolButton(this))
    , m_popup(new QFrame(this, Qt::Popup))
    , m_calendar(new QCalendarWidget(m_popup))
{
    m_edit->setObjectName(QStringLiteral("DatePickerEdit"));
    m_button->setObjectName(QStringLiteral("DatePickerButton"));
    m_popup->setObjectName(QStringLiteral("DatePickerPopup"));
    m_calendar->setObjectName(QStringLiteral("DatePickerCalendar"));

    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setToolTip(tr("Pick a date"));
    setFocusProxy(m_edit);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_edit, 1);
    row->addWidget(m_button);

    // The pop-up is a window of its own; let it take the card's locale and font all the same.
    m_popup->setAttribute(Qt::WA_WindowPropagation);
    m_popup->setFrameShape(QFrame::Box);
    auto *popupLayout = new QVBoxLayout(m_popup);
    popupLayout->setContentsMargins(1, 1, 1, 1);
    popupLayout->addWidget(m_calendar);

    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, &DatePicker::edited);
    connect(m_button, &QToolButton::clicked, this, &DatePicker::showCalendar);
    connect(m_calendar, &QCalendarWidget::clicked, this, &DatePicker::pick);
    connect(m_calendar, &QCalendarWidget::activated, this, &DatePicker::pick);
}

QDate DatePicker::parse(const QString &text)
{
    // Year always four digits; the separated forms take one- or two-digit months and days.
    static const std::array patterns = {
        QRegularExpression(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$")),
        QRegularExpression(QStringLiteral("^(\\d{4})/(\\d{1,2})/(\\d{1,2})$")),
        QRegularExpression(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$")),
        QRegularExpression(QStringLiteral("^(\\d{4})\\.(\\d{1,2})\\.(\\d{1,2})$")),
    };
    const QString trimmed = text.trimmed();
    for (const QRegularExpression &pattern : patterns) {
        const QRegularExpressionMatch match = pattern.match(trimmed);
        if (match.hasMatch())
            return QDate(match.captured(1).toInt(), match.captured(2).toInt(),
                         match.captured(3).toInt());
    }
    return {};
}

QString DatePicker::text() const
{
    return m_edit->text();
}

bool DatePicker::isEmpty() const
{
    return m_edit->text().trimmed().isEmpty();
}

void DatePicker::clear()
{
    m_edit->clear();
}

QDate DatePicker::date() const
{
    return parse(m_edit->text());
}

QString DatePicker::isoText() const
{
    const QDate value = date();
    return value.isValid() ? value.toString(isoFormat) : QString();
}

void DatePicker::setIsoText(const QString &iso)
{
    m_edit->setText(iso);
}

void DatePicker::setPlaceholderText(const QString &text)
{
    m_edit->setPlaceholderText(text);
}

bool DatePicker::validate()
{
    if (isEmpty()) {
        m_edit->clear();
        return true;
    }
    const QDate value = date();
    if (!value.isValid()) {
        emit invalid();
        return false;
    }
    m_edit->setText(value.toString(isoFormat));
    return true;
}

void DatePicker::showCalendar()
{
    const QDate value = date();
    m_calendar->setSelectedDate(value.isValid() ? value : QDate::currentDate());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DatePicker::pick(QDate date)
{
    m_popup->hide();
    m_edit->setText(date.toString(isoFormat));
    m_edit->setFocus(Qt::PopupFocusReason);
    emit edited();
}

bool DatePicker::eventFilter(QObject *watched, QEvent *event)
{
    // Opening our own calendar takes the focus too; that is not the operator leaving the field.
    if (watched == m_edit && event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        validate();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace perikon::controls
