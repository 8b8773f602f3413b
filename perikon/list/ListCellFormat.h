#pragma once

// How the list shows a cell of the result: booleans as the resource's yes/no words, the picture
// column as "yes" when a picture is there, numbers with the decimals the operator set.

#include <QString>
#include <QVariant>

#include <functional>

namespace perikon::list {

// A result value as the grid shows it before formatting: null as empty text, booleans as
// "true"/"false", dates of a date column without their time, other dates with seconds.
QString cellText(const QVariant &value, int fieldType);

enum class CellFormat { Plain, Boolean, Picture, Decimals };

// The format of a result field: its type code (11 boolean), its name, and whether decimals are
// set for it (a user-defined number column or an operator setting).
CellFormat cellFormatOf(int fieldType, const QString &fieldName, bool hasDecimals);

// The user-defined item (13 or 14) whose decimals a field takes from the item definitions, or 0.
int userDefinedDecimalsItem(const QString &fieldName);

struct CellTexts
{
    QString boolTrue;
    QString boolFalse;
    QString yes;
};

// The text a cell shows. `formatNumber` formats a number text with the field's decimals.
QString formatCell(CellFormat format, const QString &cell, const CellTexts &texts,
                   const std::function<QString(const QString &)> &formatNumber);

} // namespace perikon::list
