#pragma once

#include "perikon/host/contract/FilterService.h"
#include "suite/services/filter/FilterSql.h"

namespace perikon::suite::filter {

// "FilterService": the filter dialog over the contacts' columns. The conditions an operator
// confirms are kept per operator and filter key (qz_UserSetting, key = the filter key, name
// "conditions") and shown again next time.
class SuiteFilterService : public FilterService
{
    Q_OBJECT
public:
    bool OpenFilter(QObject *login, const QString &filterKey, const QString &reserved1,
                    const QString &reserved2, QString &error) override;
    QString GetSQLWhere() const override { return m_where; }

private:
    QString m_where;
};

// The kept text of confirmed rows, and the rows back from it (none from a text that is not).
QString rowsText(const QList<FilterRow> &rows);
QList<FilterRow> rowsFromText(const QString &text);

} // namespace perikon::suite::filter
