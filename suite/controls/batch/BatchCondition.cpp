#include "suite/controls/batch/BatchCondition.h"

#include "perikon/data/db/SqlLiteral.h"

namespace perikon::suite::batch {

QString selectionCondition(const QString &keyField, const QList<QPair<QString, QString>> &selection)
{
    if (selection.isEmpty())
        return {};
    qsizetype size = keyField.size() + 6;
    for (const auto &row : selection)
        size += row.second.size() + 4;
    QString condition;
    condition.reserve(size);
    condition += keyField;
    condition += QLatin1String(" in (");
    bool first = true;
    for (const auto &row : selection) {
        if (!first)
            condition += u',';
        first = false;
        condition += QLatin1String("N'");
        condition += db::sqlEscaped(row.second);
        condition += u'\'';
    }
    condition += u')';
    return condition;
}

} // namespace perikon::suite::batch
