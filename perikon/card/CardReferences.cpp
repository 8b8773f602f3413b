#include "perikon/card/CardReferences.h"

#include "perikon/card/CardFields.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/CalculatorService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/ReferenceServices.h"
#include "perikon/session/ErrorLog.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/RefEdit.h"

#include <QWidget>

namespace perikon::card {
namespace {

bool isName(QStringView name)
{
    if (name.isEmpty() || name.front().isDigit())
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](QChar c) { return c.isLetterOrNumber() || c == u'_'; });
}

// A column name, optionally qualified by its table ("Person.cPersonName").
bool isColumnName(const QString &field)
{
    const QStringList parts = field.split(u'.');
    return parts.size() <= 2 && std::all_of(parts.cbegin(), parts.cend(), [](const QString &part) {
               return isName(part);
           });
}

void setCode(controls::HostEdit *editor, const QString &code, const QString &shown)
{
    if (auto *ref = qobject_cast<controls::RefEdit *>(editor)) {
        ref->setReference(code, shown);
        return;
    }
    editor->setText(shown);
    editor->setTag(code);
}

void logSelRefError(const QString &description)
{
    WriteErrorLog(QStringLiteral("Perikon.Common.SelRef()"), true,
                  ErrorInfo{0, description, QStringLiteral("Perikon.Common")});
}

// The values of `column` of every chosen row, joined by commas (one value for a single choice).
QString chosenValues(QObject *rows, const QString &column)
{
    auto *chosen = qobject_cast<db::Recordset *>(rows);
    if (!chosen || chosen->recordCount() == 0)
        return {};
    if (chosen->recordCount() == 1)
        return valueText(chosen->value(column));
    QStringList values;
    for (chosen->moveFirst(); !chosen->eof(); chosen->moveNext())
        values.append(valueText(chosen->value(column)));
    return values.join(u',');
}

// Runs a reference over `sql`; `failed` tells a reference that could not open from a cancel.
bool showClient(const QString &sql, const QString &key, const QString &shown,
                const QString &settings, const RefConditionTexts &conditions, QWidget *window,
                QString &value, QString &error)
{
    std::unique_ptr<ReferenceClient> client
        = HostRegistry::createAs<ReferenceClient>(QStringLiteral("ReferenceClient"));
    if (!client) {
        error = QStringLiteral("The host has no ReferenceClient.");
        return false;
    }
    client->SetLogin(gLogin);
    if (!client->StrRefInit(sql, key, shown, settings, {}, error))
        return false;
    client->SetConditions(conditions.xml, conditions.filter);
    if (!client->Show(window))
        return false;
    value = chosenValues(client->recmx(), key);
    return true;
}

} // namespace

QString xmlAttributeValue(QString value)
{
    return value.replace(u'&', QLatin1String("&amp;"))
        .replace(u'<', QLatin1String("&lt;"))
        .replace(u'>', QLatin1String("&gt;"))
        .replace(u'\'', QLatin1String("&apos;"))
        .replace(u'"', QLatin1String("&quot;"));
}

QString superiorReferenceSql(const QString &condition, const QString &typed)
{
    QStringList parts;
    if (!condition.trimmed().isEmpty())
        parts.append(condition);
    if (!typed.isEmpty()) {
        const QString t = db::sqlEscaped(typed);
        parts.append(QStringLiteral(" ((Crm_Contact.cContactCode like '%") + t
                     + QStringLiteral("%') Or (Crm_Contact.cContactName like '%") + t
                     + QStringLiteral("%'))"));
    }
    QString sql = QStringLiteral("SELECT * FROM Crm_Contact left join Customer")
                  + QStringLiteral(" on Crm_Contact.cCusCode =Customer.cCusCode");
    if (!parts.isEmpty())
        sql += QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    return sql;
}

QString CreateMatchStr(const QString &field, const QString &typed)
{
    if (typed.isEmpty())
        return {};
    return QStringLiteral(" and (") + field + QStringLiteral(" like N'%") + db::sqlEscaped(typed)
           + QStringLiteral("%')");
}

QString resultColumnOf(const QString &field)
{
    return field.section(u'.', -1).trimmed();
}

QString archiveValuesSql(const QString &archive, const QString &field, const QString &typed)
{
    if (!isName(archive) || !isColumnName(field))
        return {};
    QString joins;
    if (archive.compare(u"crm_contact", Qt::CaseInsensitive) == 0) {
        // The contact's base codes by their names: sex and marriage are kept as ids, duty and
        // taste as names (as the list joins them).
        joins = QStringLiteral(" left join Crm_Basecode BaseCodeSex on BaseCodeSex.ID "
                               "=Crm_Contact.bcSexID ")
                + QStringLiteral(" left join Crm_Basecode BaseCodeMarriage on "
                                 "BaseCodeMarriage.ID =Crm_Contact.bcMarriageID ")
                + QStringLiteral(" left join Crm_Basecode BaseCodeDuty on BaseCodeDuty.cName "
                                 "=Crm_Contact.bcDutyID and BaseCodeDuty.cType=N'Duty' ")
                + QStringLiteral(" left join Crm_Basecode BaseCodeTaste on BaseCodeTaste.cName "
                                 "=Crm_Contact.bcTasteID and BaseCodeTaste.cType=N'Taste' ");
    } else if (archive.compare(u"person", Qt::CaseInsensitive) == 0) {
        joins = QStringLiteral(" Left Join Department on Person.cDepCode =Department.cDepCode ");
    }
    const QString condition
        = QStringLiteral("(1=1)") + CreateMatchStr(field, typed) + QStringLiteral(" and ( ") + field
          + QStringLiteral(" is not null  and ") + field + QStringLiteral("<>'')");
    return QStringLiteral("Select ") + field + QStringLiteral(" from ") + archive + joins
           + QStringLiteral(" where ") + condition;
}

QString valueListSql(const QString &itemId)
{
    return QStringLiteral("select cValue, cAlias, cParentValue from userdefine where cId=N'")
           + db::sqlEscaped(itemId) + u'\'';
}

RefConditionTexts dependentItemConditions(const QString &itemId, const QString &parentId,
                                          const QString &parentValue)
{
    if (parentId.isEmpty())
        return {};
    // Values travel as XML attribute values: the reference substitutes them as literals.
    RefConditionTexts conditions;
    conditions.xml = QStringLiteral("<RefConditions>")
                     + QStringLiteral("<Condition paramName='@cID' paramValue='")
                     + xmlAttributeValue(itemId) + QStringLiteral("' />")
                     + QStringLiteral("<Condition paramName='@cParentValue' paramValue='")
                     + xmlAttributeValue(parentValue) + QStringLiteral("' />")
                     + QStringLiteral("</RefConditions>");
    conditions.filter = parentValue.isEmpty()
                            ? QStringLiteral("isnull(#FN[cParentValue],'')=@cParentValue")
                            : QStringLiteral("#FN[cParentValue]=@cParentValue");
    return conditions;
}

QString multiSelectSettings(const QString &currentValues)
{
    QString items;
    for (const QString &value : currentValues.split(u',', Qt::SkipEmptyParts)) {
        if (!value.trimmed().isEmpty())
            items += QStringLiteral("<Item keyVal='") + xmlAttributeValue(value.trimmed())
                     + QStringLiteral("' />");
    }
    return QStringLiteral("<Ref><RefSet bMultiSel='1' iFilterStyle='0' />")
           + QStringLiteral("<LastData>") + items + QStringLiteral("</LastData>")
           + QStringLiteral("</Ref>");
}

bool SelRef(const QString &column, QString &value, controls::HostEdit *editor, QWidget *window,
            const RefConditionTexts &conditions, bool multiSelect, bool *failed)
{
    if (failed)
        *failed = false;
    const auto fail = [failed](const QString &description) {
        logSelRefError(description);
        if (failed)
            *failed = true;
        return false;
    };
    const int n = column.mid(QStringLiteral("cConDefine").size()).toInt();
    const QString item = QStringLiteral("自定义项") + QString::number(n);
    // Only text the operator typed narrows the rows: a loaded value would hide every other one.
    const QString typed = editor && editor->isModified() ? editor->text() : QString();
    const QString settings = multiSelect ? multiSelectSettings(value) : QString();

    std::unique_ptr<db::Recordset> archive = openOnSession(
        QStringLiteral("select * from userdef where cClass=N'联系人' and cItem=N'") + item
        + QStringLiteral("' and (cRelArchive<>N'' and CRelArchive is not null) and (cRElField<>N'' "
                         "and cRelField is not null)"));
    if (!archive)
        return fail(QStringLiteral("The definition of %1 could not be read.").arg(item));
    QString error;
    if (archive->recordCount() > 0) {
        const QString table = valueText(archive->value(QStringLiteral("cRelArchive"))).trimmed();
        const QString field = valueText(archive->value(QStringLiteral("cRelField"))).trimmed();
        const QString sql = archiveValuesSql(table, field, typed);
        if (sql.isEmpty())
            return fail(QStringLiteral("%1 names the archive \"%2\" and field \"%3\".")
                            .arg(item, table, field));
        const QString key = resultColumnOf(field);
        QString chosen;
        if (!showClient(sql, key, key, settings, conditions, window, chosen, error))
            return error.isEmpty() ? false : fail(error);
        value = chosen;
        return true;
    }

    if (n >= 11 && n <= 14) {
        std::unique_ptr<CalculatorService> calculator
            = HostRegistry::createAs<CalculatorService>(QStringLiteral("CalculatorService"));
        if (!calculator)
            return fail(QStringLiteral("The host has no CalculatorService."));
        QString text = editor ? editor->text() : value;
        const QPoint under = editor ? editor->mapToGlobal(QPoint(0, editor->height())) : QPoint();
        if (!calculator->Calculate(editor, under,
                                   GetResText(QStringLiteral("K2.CRM.COMMON.Title0020")), text))
            return false;
        value = text;
        return true;
    }

    std::unique_ptr<db::Recordset> definition = openOnSession(
        QStringLiteral("select cID from userdef where cClass=N'联系人' and cItem=N'") + item
        + u'\'');
    if (!definition || definition->recordCount() == 0)
        return fail(QStringLiteral("There is no definition of %1.").arg(item));
    const QString id = valueText(definition->value(0));
    QString chosen;
    if (!showClient(valueListSql(id), QStringLiteral("cValue"), QStringLiteral("cValue,cAlias"),
                    settings, conditions, window, chosen, error))
        return error.isEmpty() ? false : fail(error);
    value = chosen;
    return true;
}

bool ShowFieldReference(const QString &column, const QString &codeColumn, const QString &nameColumn,
                        const QString &condition, controls::HostEdit *editor, QWidget *window,
                        const RefConditionTexts &conditions, bool multiSelect)
{
    Q_UNUSED(nameColumn)
    const QString lower = column.toLower();
    bool failed = false;
    QString error;
    bool chosen = false;
    if (lower == u"ccuscode" || lower == u"cprincipal") {
        std::unique_ptr<ArchiveReference> archive = HostRegistry::createAs<ArchiveReference>(
            lower == u"ccuscode" ? QStringLiteral("CrmCustomerArchive")
                                 : QStringLiteral("CrmPersonArchive"));
        auto *row = archive ? qobject_cast<db::Recordset *>(
                        archive->GetRecordRst(gLogin, {}, condition, window, error))
                            : nullptr;
        failed = !archive || (!row && !error.isEmpty());
        if (row) {
            const QString code = valueText(row->value(codeColumn));
            setCode(editor, code, code);
            chosen = true;
        }
    } else if (lower == u"csuperiorid") {
        QString code;
        // Only text the operator typed narrows the rows: the shown superior would hide the rest.
        const QString typed = editor->isModified() ? editor->text() : QString();
        chosen = showClient(superiorReferenceSql(condition, typed), codeColumn,
                            codeColumn + u',' + nameColumn, {}, {}, window, code, error);
        failed = !chosen && !error.isEmpty();
        if (chosen)
            setCode(editor, code, code);
    } else if (lower == u"bcdutyid" || lower == u"bctasteid") {
        std::unique_ptr<BaseCodeReference> baseCodes
            = HostRegistry::createAs<BaseCodeReference>(QStringLiteral("BaseCodeReference"));
        QString name;
        failed = !baseCodes;
        chosen = baseCodes
                 && baseCodes->Show(gLogin,
                                    lower == u"bcdutyid" ? QStringLiteral("Duty")
                                                         : QStringLiteral("Taste"),
                                    window, name);
        if (chosen)
            setCode(editor, name, name);
    } else if (lower.startsWith(u"ccondefine")) {
        QString value = editor->text();
        chosen = SelRef(column, value, editor, window, conditions, multiSelect, &failed);
        if (chosen && gPubService && !gPubService->EdtSetVal(editor, value))
            chosen = false;
    } else {
        failed = true;
    }
    if (failed)
        ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.common.00018")));
    return chosen;
}

} // namespace perikon::card
