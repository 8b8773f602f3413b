#include "suite/services/filter/SuiteFilterService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/host/contract/HostLogin.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuitePubService.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/filter/FilterDialog.h"
#include "suite/services/filter/FilterSql.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace perikon::suite::filter {
namespace {

// The filters this suite has: the contacts'.
const QString kContactFilter = QStringLiteral("AA[__]联系人档案");
const QString kSettingsName = QStringLiteral("conditions");

} // namespace

QString rowsText(const QList<FilterRow> &rows)
{
    QJsonArray array;
    for (const FilterRow &row : rows)
        array.append(QJsonObject{{QStringLiteral("column"), row.column},
                                 {QStringLiteral("op"), int(row.op)},
                                 {QStringLiteral("value"), row.value},
                                 {QStringLiteral("or"), row.orWithNext}});
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QList<FilterRow> rowsFromText(const QString &text)
{
    QList<FilterRow> rows;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    for (const QJsonValue &value : document.array()) {
        const QJsonObject object = value.toObject();
        const int op = object.value(QStringLiteral("op")).toInt(-1);
        if (op < int(FilterOperator::Equals) || op > int(FilterOperator::IsNotEmpty))
            continue;
        rows.append({object.value(QStringLiteral("column")).toString(), FilterOperator(op),
                     object.value(QStringLiteral("value")).toString(),
                     object.value(QStringLiteral("or")).toBool()});
    }
    return rows;
}

bool SuiteFilterService::OpenFilter(QObject *login, const QString &filterKey,
                                    const QString &reserved1, const QString &reserved2,
                                    QString &error)
{
    Q_UNUSED(reserved1)
    Q_UNUSED(reserved2)
    const QString language = sessionLanguage();
    const auto text = [&language](const char *key) {
        return ResourceTexts::text(language,
                                   QStringLiteral("K2.Suite.Filter.") + QLatin1String(key));
    };
    if (filterKey.trimmed() != kContactFilter) {
        error = text("UnknownKey").arg(filterKey);
        return false;
    }
    const std::unique_ptr<db::Connection> connection
        = openConnection(hostlogin::text(login, "qzDBName"));
    if (!connection) {
        error = text("NoAccount");
        return false;
    }
    QList<FilterField> fields;
    try {
        fields = contactFilterFields(*connection, language);
    } catch (const db::DbError &failure) {
        error = failure.description();
        return false;
    }
    const QString userId = hostlogin::text(login, "cUserId");
    SuitePubService settings;
    const QList<FilterRow> last
        = rowsFromText(settings.GetRegEdit(kContactFilter, kSettingsName, false, userId));
    FilterDialog dialog(fields, last, language, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) {
        error = text("Cancelled");
        return false;
    }
    const QList<FilterRow> rows = dialog.filterRows();
    m_where = filterFragment(fields, rows);
    settings.SaveRegEdit(kContactFilter, kSettingsName, rowsText(rows), false, userId);
    return true;
}

} // namespace perikon::suite::filter
