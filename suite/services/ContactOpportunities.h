#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QLocale;

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// One sales opportunity as the general work of a contact lists it.
struct Opportunity
{
    QString code;
    QString name;
    QString customerCode;
    QDate expectDate; // null when none is expected yet
    std::optional<double> expectAmount;
    int stage = 0;
    QString principal;
};

// The opportunities that name the contact `contactCode`, by expected date then code. Throws
// DbError.
QList<Opportunity> contactOpportunities(db::Connection &connection, const QString &contactCode);

// The texts of one opportunity in the grid's column order: dates as yyyy-MM-dd, amounts with two
// decimals and the locale's group separators; a missing value as empty text.
QStringList opportunityTexts(const Opportunity &opportunity, const QLocale &locale);

} // namespace perikon::suite
