#pragma once

// The data behind the list's relationship chart ("Report"): the statement over the customer of
// one contact, the operator's read authorization over it, and the chart XML.

#include "perikon/list/ChartXml.h"

#include <QString>

#include <optional>

namespace perikon::list {

class ChartReport
{
public:
    // Every contact of the customer of `contactCode`, in code order: code, name, duty name,
    // superior code ('NULL' for none).
    static QString statement(const QString &contactCode);
    // The codes among them the operator may read under `authWhere`.
    static QString readableStatement(const QString &contactCode, const QString &authWhere);

    // The contacts of the chart, read through gClsCommon with the operator's read authorization;
    // an empty list when the contact has no customer. Throws std::runtime_error when a
    // statement fails.
    static QList<ChartContact> readContacts(const QString &contactCode);

    // The chart XML of what readContacts gives, as the operator may see it; nullopt when the
    // contact has no customer (or none of the customer's contacts is readable).
    static std::optional<QString> chartXml(const QString &contactCode);

    // What the operator reads when the contact has no customer, by the login's LanguageRegion.
    static QString noCustomerMessage(const QString &languageRegion);
};

} // namespace perikon::list
