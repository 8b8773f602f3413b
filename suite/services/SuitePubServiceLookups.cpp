// The public service's lookups: reference editors and choosing a row of a recordset.

#include "suite/services/SuitePubService.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/host/contract/HostLogin.h"
#include "suite/controls/RefEdit.h"
#include "suite/services/RefDialog.h"
#include "suite/services/ReferenceCatalog.h"

#include <optional>

namespace perikon::suite {
namespace {

// The first row whose column equals the text; none when the column is missing.
std::optional<int> firstEqual(const QList<QStringList> &rows, int column, const QString &text)
{
    for (int row = 0; row < rows.size(); ++row) {
        if (controls::sameRefText(rows.at(row).value(column), text))
            return row;
    }
    return std::nullopt;
}

} // namespace

bool SuitePubService::InitRefEdit(QWidget *edit, QObject *login, const QString &key, bool reserved,
                                  const QString &settingsXml)
{
    Q_UNUSED(reserved)
    auto *refEdit = qobject_cast<controls::RefEdit *>(edit);
    if (!refEdit)
        return false;
    refEdit->setReferenceKey(key);
    const std::optional<ReferenceSource> source = referenceSource(key);
    QString condition;
    if (const std::optional<QString> function = referenceAuthFunction(settingsXml);
        function && source && source->table == QLatin1String("Customer"))
        condition = customerRightsCondition(login, *function);
    refEdit->setResolver(referenceResolver(key, hostlogin::text(login, "qzDBName"), condition));
    return true;
}

void SuitePubService::SetRefEdt(QWidget *edit, QWidget *window)
{
    Q_UNUSED(window)
    if (auto *refEdit = qobject_cast<controls::RefEdit *>(edit))
        refEdit->markUnchecked();
}

bool SuitePubService::FindMatch(QObject *recordset, const QString &codeColumn, const QString &text,
                                const QString &nameColumn, QWidget *parent)
{
    auto *rows = qobject_cast<db::Recordset *>(recordset);
    if (!rows || rows->state() == 0)
        return false;
    try {
        // Code and name first, as the dialog shows them, then the other fields.
        QStringList fields{codeColumn, nameColumn};
        for (const QString &field : RefDialog::fieldNames(*rows)) {
            if (!fields.contains(field, Qt::CaseInsensitive))
                fields.append(field);
        }
        const QList<QStringList> values = RefDialog::readRows(*rows, fields);
        if (values.isEmpty())
            return false;
        std::optional<int> chosen;
        if (rows->hasField(codeColumn))
            chosen = firstEqual(values, 0, text);
        if (!chosen && rows->hasField(nameColumn))
            chosen = firstEqual(values, 1, text);
        if (!chosen && values.size() == 1)
            chosen = 0;
        if (!chosen) {
            QList<RefColumn> columns;
            for (const QString &field : fields) {
                if (rows->hasField(field))
                    columns.append({field, field});
            }
            RefDialog dialog(fields, values, columns, parent);
            dialog.setFilterText(text);
            if (dialog.exec() != QDialog::Accepted || dialog.chosenRow() < 0)
                return false;
            chosen = dialog.chosenRow();
        }
        rows->moveFirst();
        for (int step = 0; step < *chosen; ++step)
            rows->moveNext();
        return true;
    } catch (const db::DbError &) {
        return false; // a recordset that cannot be read offers nothing to choose
    }
}

} // namespace perikon::suite
