#pragma once

// The relationship chart of one customer's contacts as the chart control reads it, and the
// operator's view of it: contacts he may not read are left out and their subordinates move up.

#include <QList>
#include <QString>

namespace perikon::list {

struct ChartContact
{
    QString code;
    QString name;
    QString duty;     // empty or "NULL": none
    QString superior; // a contact code; empty or "NULL": none
    bool readable = true;
};

class ChartXml
{
public:
    // The chart document: `chartName` in the header, one Contract element per contact in the
    // order given (the statement orders by code). A missing duty or superior is written NULL.
    static QString build(const QString &chartName, const QList<ChartContact> &contacts);

    // The readable contacts in their order. One whose superior is unreadable is hung under the
    // nearest readable contact up the superior chain, or at the top when the chain has none (or
    // leads back to himself). A superior outside the list is kept: the chart shows such a
    // contact at the top itself. Linear in the number of contacts.
    static QList<ChartContact> readableOnly(const QList<ChartContact> &contacts);

    // Whether a duty or superior value stands for none.
    static bool isNone(const QString &value);
};

} // namespace perikon::list
