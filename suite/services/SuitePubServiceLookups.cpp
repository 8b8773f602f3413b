// The public service's lookups: reference editors and choosing a row of a recordset.

#include "suite/services/SuitePubService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostLogin.h"
#include "suite/controls/RefEdit.h"
#include "suite/services/RefDialog.h"
#include "suite/services/RefQueryModel.h"
#include "suite/services/ReferenceCatalog.h"
#include "suite/services/ReferenceConditions.h"
#include "suite/services/SuiteReferences.h"
#include "suite/services/SuiteSql.h"

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

// Every column of the rows of `rows` whose key is one of `keys`, in the order of `keys`.
QList<QVariantMap> chosenRows(db::Connection &connection, const QString &rows,
                              const QString &keyColumn, const QStringList &keys)
{
    QStringList literals;
    for (const QString &key : keys)
        literals.append(db::sqlNQuoted(key));
    db::Recordset chosen;
    chosen.setCursorLocation(db::Recordset::UseClient);
    chosen.open(QStringLiteral("SELECT * FROM (") + rows
                    + QStringLiteral(") refrows WHERE refrows.") + keyColumn
                    + QStringLiteral(" IN (") + literals.join(u',')
                    + QStringLiteral(") ORDER BY refrows.") + keyColumn,
                &connection, db::Recordset::OpenStatic, db::Recordset::LockReadOnly);
    const QStringList fields = RefDialog::fieldNames(chosen);
    QList<QVariantMap> read;
    for (; !chosen.eof(); chosen.moveNext()) {
        QVariantMap row;
        for (const QString &field : fields)
            row.insert(field.toLower(), chosen.value(field));
        read.append(row);
    }
    QList<QVariantMap> result;
    for (const QString &key : keys) {
        for (const QVariantMap &row : std::as_const(read)) {
            if (controls::sameRefText(row.value(keyColumn.toLower()).toString(), key)) {
                result.append(row);
                break;
            }
        }
    }
    return result;
}

// The editor's drop-down: the reference's rows narrowed by the rights and by the conditions the
// window handed the editor, in the suite's lookup.
controls::RefOpener referenceOpener(const ReferenceSource &source, const QString &account,
                                    const QString &rights, bool multiSelect)
{
    return [source, account, rights, multiSelect](controls::RefEdit &edit) {
        const std::optional<QString> narrowing = referenceFilterSql(
            edit.refConditionsXml(), edit.refFilter(), QStringLiteral("refsrc"));
        const std::unique_ptr<db::Connection> connection = openConnection(account);
        if (!narrowing || !connection)
            return false;
        QString rows = QStringLiteral("SELECT * FROM ") + source.table;
        QStringList own;
        for (const QString &condition : {source.condition, rights}) {
            if (!condition.trimmed().isEmpty())
                own.append(u'(' + condition + u')');
        }
        if (!own.isEmpty())
            rows += QStringLiteral(" WHERE ") + own.join(QStringLiteral(" AND "));
        if (!narrowing->isEmpty())
            rows = QStringLiteral("SELECT * FROM (") + rows + QStringLiteral(") refsrc WHERE ")
                   + *narrowing;
        QStringList shown{source.codeColumn};
        if (source.nameColumn.compare(source.codeColumn, Qt::CaseInsensitive) != 0)
            shown.append(source.nameColumn);
        shown += source.otherNameColumns;
        QList<RefColumn> columns;
        for (const QString &field : std::as_const(shown))
            columns.append({field, referenceColumnCaption(field)});
        RefDialog dialog(*connection, RefQuery{rows, source.codeColumn, shown}, columns,
                         edit.window());
        if (multiSelect)
            dialog.setMultiSelect({});
        if (dialog.exec() != QDialog::Accepted || dialog.chosenKey().isEmpty())
            return false;
        if (multiSelect) {
            // The window decides what the chosen rows make of its text.
            try {
                edit.setChosenRows(
                    chosenRows(*connection, rows, source.codeColumn, dialog.chosenKeys()));
            } catch (const db::DbError &) {
                return false;
            }
            return true;
        }
        const QString code = dialog.chosenKey();
        const QVariant name = dialog.chosenValue(source.nameColumn);
        edit.setReference(code, edit.showsName() && !name.isNull() ? name.toString() : code);
        edit.setSelectedValue(code);
        return true;
    };
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
        function && source)
        condition = rightsCondition(*source, login, *function);
    const QString account = hostlogin::text(login, "qzDBName");
    const bool multiSelect = referenceMultiSelect(settingsXml);
    // An editor that collects several rows holds the window's own text, not one row's name.
    refEdit->setResolver(multiSelect ? controls::RefResolver()
                                     : referenceResolver(key, account, condition));
    if (source)
        refEdit->setOpener(referenceOpener(*source, account, condition, multiSelect));
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
