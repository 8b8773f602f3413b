#include "perikon/list/ChartReport.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/ResText.h"
#include "perikon/list/ListAuthorization.h"
#include "perikon/session/SessionGlobals.h"

#include <QSet>

#include <memory>
#include <stdexcept>

namespace perikon::list {
namespace {

// An empty customer code is no customer, as NULL is: it must not gather every contact without one.
QString customerOf(const QString &contactCode)
{
    return QStringLiteral("(SELECT NULLIF(cCusCode,N'') FROM Crm_Contact WHERE cContactCode = N'")
           + db::sqlEscaped(contactCode) + QStringLiteral("')");
}

std::unique_ptr<db::Recordset> open(const QString &sql)
{
    if (!gClsCommon)
        throw std::runtime_error("The chart has no data access.");
    bool ok = false;
    QString message;
    std::unique_ptr<db::Recordset> rows(gClsCommon->OpenX(sql, ok, message));
    if (!rows)
        throw std::runtime_error(message.toStdString());
    return rows;
}

QString text(const db::Recordset &rows, int column)
{
    const QVariant value = rows.value(column);
    return value.isNull() ? QString() : value.toString();
}

} // namespace

QString ChartReport::statement(const QString &contactCode)
{
    // Duty is stored by its name, so the base code joins on the name within its type.
    return QStringLiteral("SELECT cContactCode,cContactName,Crm_BaseCode.cName as "
                          "DutyName,coalesce(cSuperiorID,'NULL') ")
           + QStringLiteral(" FROM v_Crm_Contact Crm_Contact LEFT JOIN Crm_BaseCode ON "
                            "Crm_BaseCode.cName = Crm_Contact.bcDutyID AND Crm_BaseCode.cType = "
                            "N'Duty' ")
           + QStringLiteral(" WHERE cCusCode = ") + customerOf(contactCode)
           + QStringLiteral(" Order by cContactCode");
}

QString ChartReport::readableStatement(const QString &contactCode, const QString &authWhere)
{
    return QStringLiteral("SELECT Crm_Contact.cContactCode FROM v_Crm_Contact Crm_Contact WHERE "
                          "Crm_Contact.cCusCode = ")
           + customerOf(contactCode) + QStringLiteral(" AND (") + authWhere + u')';
}

QList<ChartContact> ChartReport::readContacts(const QString &contactCode)
{
    QList<ChartContact> contacts;
    const std::unique_ptr<db::Recordset> rows = open(statement(contactCode));
    for (; !rows->eof(); rows->moveNext())
        contacts.append(
            ChartContact{text(*rows, 0), text(*rows, 1), text(*rows, 2), text(*rows, 3), true});
    if (contacts.isEmpty())
        return contacts;

    // An empty fragment is an operator who reads everything.
    const QString authWhere = Common::BuildContactAuthWhere(QStringLiteral("R"));
    if (authWhere.trimmed().isEmpty())
        return contacts;
    QSet<QString> readable;
    const std::unique_ptr<db::Recordset> allowed = open(readableStatement(contactCode, authWhere));
    for (; !allowed->eof(); allowed->moveNext())
        readable.insert(text(*allowed, 0));
    for (ChartContact &contact : contacts)
        contact.readable = readable.contains(contact.code);
    return contacts;
}

std::optional<QString> ChartReport::chartXml(const QString &contactCode)
{
    const QList<ChartContact> shown = ChartXml::readableOnly(readContacts(contactCode));
    if (shown.isEmpty())
        return std::nullopt;
    return ChartXml::build(GetResText(QStringLiteral("K2.CRM.VIEW.frmoppevalu.00363")), shown);
}

QString ChartReport::noCustomerMessage(const QString &languageRegion)
{
    if (languageRegion.compare(QLatin1String("zh-CN"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("无【所属客户】信息的联系人没有上报关系!");
    if (languageRegion.compare(QLatin1String("zh-TW"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("無【所屬客戶】資訊的連絡人沒有上報關係!");
    return QStringLiteral(
        "Without [their respective customer] information contact not reported relationship!");
}

} // namespace perikon::list
