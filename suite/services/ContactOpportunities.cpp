#include "suite/services/ContactOpportunities.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/SqlLiteral.h"

#include <QDateTime>
#include <QLocale>

namespace perikon::suite {
namespace {

// SQLite hands dates back as text, PostgreSQL as timestamps.
QDate dateOf(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().date();
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate();
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

} // namespace

QList<Opportunity> contactOpportunities(db::Connection &connection, const QString &contactCode)
{
    const auto cursor = connection.openCursor(
        QStringLiteral("select cOppCode, cOppName, cCusCode, dExpectDate, mExpectAmount, iStage, "
                       "cPrincipal from Crm_Opportunity where cContactCode=")
        + db::sqlNQuoted(contactCode) + QStringLiteral(" order by dExpectDate, cOppCode"));
    QList<Opportunity> opportunities;
    while (cursor && cursor->next()) {
        Opportunity opportunity;
        opportunity.code = cursor->value(0).toString();
        opportunity.name = cursor->value(1).toString();
        opportunity.customerCode = cursor->value(2).toString();
        opportunity.expectDate = dateOf(cursor->value(3));
        if (const QVariant amount = cursor->value(4); !amount.isNull())
            opportunity.expectAmount = amount.toDouble();
        opportunity.stage = cursor->value(5).toInt();
        opportunity.principal = cursor->value(6).toString();
        opportunities.append(opportunity);
    }
    return opportunities;
}

QStringList opportunityTexts(const Opportunity &opportunity, const QLocale &locale)
{
    return {
        opportunity.code,
        opportunity.name,
        opportunity.customerCode,
        opportunity.expectDate.isValid() ? opportunity.expectDate.toString(Qt::ISODate) : QString(),
        opportunity.expectAmount ? locale.toString(*opportunity.expectAmount, 'f', 2) : QString(),
        QString::number(opportunity.stage),
        opportunity.principal};
}

} // namespace perikon::suite
