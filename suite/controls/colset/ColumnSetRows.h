#pragma once

#include "suite/controls/colset/ColumnSetExport.h"

#include <QList>
#include <QString>

#include <optional>

namespace perikon::suite::colset {

// One column as the column-settings control lists it.
struct ColumnRow
{
    QString field;
    QString originalCaption;
    QString caption;
    bool mustInput = false;
    bool show = true;
    int width = 0;
};

// The rows of the column-settings control and the rules the operator works under, without
// widgets. The contact code, when listed, is the first row and stays shown: the list finds each
// row's contact in the column after the marks.
class PERIKON_COLSET_EXPORT ColumnSetRows
{
public:
    // Nullopt with `error` set when `xml` is not column information.
    static std::optional<ColumnSetRows> fromXml(const QString &xml, QString *error);

    const QList<ColumnRow> &rows() const { return m_rows; }
    qsizetype size() const { return m_rows.size(); }
    const ColumnRow &at(qsizetype row) const { return m_rows.at(row); }

    // Whether `row` is the pinned contact code.
    bool isPinned(qsizetype row) const;
    // False (nothing changes) for the pinned row.
    bool setShown(qsizetype row, bool show);
    bool toggleShown(qsizetype row) { return setShown(row, !m_rows.at(row).show); }
    void setCaption(qsizetype row, const QString &caption);
    // False (nothing changes) unless `text` is a whole number of at least 0.
    bool setWidth(qsizetype row, const QString &text);
    // Swap with the neighbour; false when the row cannot go there.
    bool moveUp(qsizetype row);
    bool moveDown(qsizetype row);

    // <ColInfo cKey='…'> with one ColSet per row in this order, iOrder from 1.
    QString toXml() const;

private:
    bool canSwap(qsizetype upper) const;

    QString m_key;
    QList<ColumnRow> m_rows;
};

} // namespace perikon::suite::colset
