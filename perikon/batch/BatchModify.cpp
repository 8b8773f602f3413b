#include "perikon/batch/BatchModify.h"

#include "perikon/batch/BatchSession.h"
#include "perikon/card/CardSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/UiHelper.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/ErrorLog.h"
#include "perikon/session/SessionGlobals.h"

#include <QSet>

#include <memory>
#include <utility>
#include <vector>

#include <pugixml.hpp>

namespace perikon::batch {

using db::sqlEscaped;

namespace {

const QString kArchive = QStringLiteral("crm_contact");
constexpr int kBatchLock = 7;
constexpr int kYes = 6;
// Exclamation icon with Yes and No.
constexpr int kConfirmStyle = 52;

// Replaces `pattern` by `replacement` wherever it starts outside a string literal. Answers how
// many were replaced.
int replaceOutsideLiterals(QString &text, QStringView pattern, QStringView replacement)
{
    QString out;
    int replaced = 0;
    bool inLiteral = false;
    qsizetype i = 0;
    while (i < text.size()) {
        if (!inLiteral && QStringView(text).sliced(i).startsWith(pattern)) {
            if (replaced == 0) {
                out.reserve(text.size() + 16);
                out += QStringView(text).first(i);
            }
            out += replacement;
            // A pattern holds whole literals, so the state after it is the state before.
            i += pattern.size();
            ++replaced;
            continue;
        }
        if (text[i] == u'\'')
            inLiteral = !inLiteral;
        if (replaced > 0)
            out += text[i];
        ++i;
    }
    if (replaced > 0)
        text = std::move(out);
    return replaced;
}

// The first of the patterns found is rewritten everywhere; the others stay as written.
void rewriteFirstFound(QString &where,
                       std::initializer_list<std::pair<QStringView, QStringView>> rules)
{
    for (const auto &[pattern, replacement] : rules) {
        if (replaceOutsideLiterals(where, pattern, replacement) > 0)
            return;
    }
}

QString resString(const QString &key)
{
    return gPubService ? gPubService->GetResString(key) : key;
}

bool isField(const QString &field, const char *name)
{
    return field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// cConDefine1..16 -> 1..16, else 0.
int userDefinedItem(const QString &field)
{
    static const QLatin1String prefix("cConDefine");
    if (!field.startsWith(prefix, Qt::CaseInsensitive))
        return 0;
    bool ok = false;
    const int item = QStringView(field).sliced(prefix.size()).toInt(&ok);
    return ok && item >= 1 && item <= 16 ? item : 0;
}

struct Unexpected
{
    QString description;
};

} // namespace

QString fixedText(const QString &chinese, const char *key)
{
    QString language;
    if (gUiHelper)
        language = gUiHelper->GetLanguageId(gLogin.data());
    if (language.isEmpty() || language.startsWith(QLatin1String("zh"), Qt::CaseInsensitive))
        return chinese;
    const QString resourceKey = QString::fromLatin1(key);
    const QString text = GetResText(resourceKey);
    return text.isEmpty() || text == resourceKey ? chinese : text;
}

QString RewriteChoiceCodes(const QString &where)
{
    QString result = where;
    rewriteFirstFound(result, {{u"bcsexid=N'0'", u"bcsexid=6"},
                               {u"bcsexid=N'1'", u"bcsexid=7"},
                               {u"bcsexid=N'2'", u"bcsexid=8"}});
    rewriteFirstFound(result, {{u"bcmarriageid=N'0'", u"bcmarriageid=9"},
                               {u"bcmarriageid=N'1'", u"bcmarriageid=10"},
                               {u"bcmarriageid=N'2'", u"bcmarriageid=11"},
                               {u"bcmarriageid=N'3'", u"bcmarriageid=250"}});
    return result;
}

QString StoredField(const QString &field)
{
    if (isField(field, "ccusname"))
        return QStringLiteral("ccuscode");
    if (isField(field, "cprincipalname"))
        return QStringLiteral("cprincipal");
    return field;
}

QString StoredChoiceValue(const QString &field, const QString &value)
{
    static const QStringList sexIds
        = {QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")};
    static const QStringList marriageIds
        = {QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("250")};
    const QStringList *ids = isField(field, "bcSexID")        ? &sexIds
                             : isField(field, "bcMarriageID") ? &marriageIds
                                                              : nullptr;
    if (!ids)
        return value;
    bool ok = false;
    const int code = value.toInt(&ok);
    // Only the plain codes map; "01" or " 1" are not codes the control hands over.
    if (ok && code >= 0 && code < ids->size() && value == QString::number(code))
        return ids->at(code);
    return value;
}

QString CustomerChangeCondition(const QString &where)
{
    QString result = where;
    replaceOutsideLiterals(result, u"ccontactname", u"cCusPerson");
    replaceOutsideLiterals(result, u"ccuscode", u"crm_contact.ccuscode");
    return result;
}

QString WriteAuthorization(const QString &rowAuthWrite)
{
    return rowAuthWrite.trimmed().isEmpty() ? QStringLiteral("1=1") : rowAuthWrite;
}

QString CountStatement(const QString &where, const QString &rowAuthWrite)
{
    return QStringLiteral("select Num=count(*) from crm_contact where ") + where
           + QStringLiteral(" and ") + WriteAuthorization(rowAuthWrite);
}

QString FormerCustomersStatement(const QString &where, const QString &rowAuthWrite)
{
    // Only contacts the update will move leave their customers: a default contact outside the
    // operator's write rights stays where it is, and stays its customer's default.
    return QStringLiteral("select customer.cCusCode from customer  inner join crm_contact on "
                          "customer.ccuscontactcode =crm_contact.oid where ")
           + where + QStringLiteral(" and ") + WriteAuthorization(rowAuthWrite);
}

QString ClearDefaultContactStatement(const QString &customerCode)
{
    return QStringLiteral("UPDATE customer SET ccuscontactcode=null,cCusPerson='' where ccuscode "
                          "=N'")
           + sqlEscaped(customerCode) + u'\'';
}

QString MobileContactsStatement(const QString &where, const QString &rowAuthWrite)
{
    return QStringLiteral("select cCusCode,oid  from crm_contact where ") + where
           + QStringLiteral(" and ") + WriteAuthorization(rowAuthWrite);
}

QString CopyMobileStatement(const QString &oid, const QString &customerCode, const QString &mobile)
{
    return QStringLiteral(" if exists (select top 1 cCusContactCode from Customer where "
                          "cCusContactCode =N'")
           + sqlEscaped(oid) + QStringLiteral("')     update Customer set cCusHand=N'")
           + sqlEscaped(mobile) + QStringLiteral("' where cCusCode =N'") + sqlEscaped(customerCode)
           + u'\'';
}

QString UpdateStatement(const QString &userName, const QString &field, const QString &value,
                        const QString &where, const QString &rowAuthWrite)
{
    const QString stored
        = value.trimmed().isEmpty() ? QStringLiteral("NULL") : u'\'' + sqlEscaped(value) + u'\'';
    return QStringLiteral("update crm_contact set cRevisor='") + sqlEscaped(userName)
           + QStringLiteral("' ,dModifyDate=getdate(), ") + field + u'=' + stored
           + QStringLiteral(" where ") + where + QStringLiteral(" and ")
           + WriteAuthorization(rowAuthWrite);
}

QStringList ModifiableFields(const QString &catalogXml)
{
    pugi::xml_document document;
    const QByteArray utf8 = catalogXml.toUtf8();
    if (!document.load_buffer(utf8.constData(), size_t(utf8.size()), pugi::parse_default,
                              pugi::encoding_utf8))
        return {};
    const pugi::xml_node root = document.document_element();
    QSet<QString> withheld;
    for (const QString &name :
         QString::fromUtf8(root.attribute("noauthflds").value()).split(u',', Qt::SkipEmptyParts))
        withheld.insert(name.trimmed().toLower());
    QStringList fields;
    for (const pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const QString name = QString::fromUtf8(child.name());
        if (QLatin1String(child.attribute("bmulmodify").value()) == QLatin1String("1")
            && !withheld.contains(name.toLower()))
            fields += name;
    }
    return fields;
}

bool BatchModifyEvent::exists(const QString &sql)
{
    const std::unique_ptr<db::Recordset> rows(gClsCommon ? gClsCommon->OpenX(sql) : nullptr);
    if (!rows)
        throw Unexpected{gLastError};
    return !rows->eof();
}

bool BatchModifyEvent::ValidateBatchValue(const QString &field, const QString &value)
{
    if (value.isEmpty())
        return true;
    const QString literal = sqlEscaped(value);
    const auto refuse = [](const QString &message) {
        ShowMessage(message);
        return false;
    };
    if (isField(field, "cCusCode")) {
        if (!exists(QStringLiteral("select top 1 cCusCode   from Customer  where cCusCode = N'")
                    + literal + u'\''))
            return refuse(fixedText(QStringLiteral("所属客户不存在"),
                                    "K2.CRM.QZContact.FrmZMulModify.NoCustomer"));
    } else if (isField(field, "cSuperiorID")) {
        if (!exists(QStringLiteral("select top 1 cContactCode   from crm_contact where  "
                                   "cContactCode = N'")
                    + literal + u'\''))
            return refuse(fixedText(QStringLiteral("直接上级不存在"),
                                    "K2.CRM.QZContact.FrmZMulModify.NoSuperior"));
    } else if (isField(field, "cprincipal")) {
        if (!exists(QStringLiteral("select top 1 cPersonCode  from Person  where cPersonCode= N'")
                    + literal + u'\''))
            return refuse(fixedText(QStringLiteral("负责人不存在"),
                                    "K2.CRM.QZContact.FrmZMulModify.NoPrincipal"));
    } else if (isField(field, "cConDepart")) {
        if (!exists(
                QStringLiteral("select    top 1  cDepCode  from Department  where cDepCode = N'")
                + literal + u'\''))
            return refuse(fixedText(QStringLiteral("联系人所属部门不存在"),
                                    "K2.CRM.QZContact.FrmZMulModify.NoDepartment"));
    } else if (const int item = userDefinedItem(field)) {
        if (!gPubService
            || !gPubService->CheckUserDef(field, value, QStringLiteral("联系人"), gClsCommon.get()))
            return false;
        if (item >= 15 && !gPubService->CheckDateStyle(value, true))
            return false;
    } else if (isField(field, "dBirthday") || isField(field, "dConEDate")) {
        if (!gPubService || !gPubService->CheckDateStyle(value, true))
            return false;
    }
    return true;
}

bool BatchModifyEvent::CheckMustInput(const QString &field, const QString &value)
{
    if (gCardColInfoXml.isEmpty() && gColumnSet)
        gCardColInfoXml = gColumnSet->getColInfo(QStringLiteral("Crm_Contact"), 0);
    pugi::xml_document document;
    const QByteArray utf8 = gCardColInfoXml.toUtf8();
    if (utf8.isEmpty()
        || !document.load_buffer(utf8.constData(), size_t(utf8.size()), pugi::parse_default,
                                 pugi::encoding_utf8)) {
        ShowMessage(resString(QStringLiteral("K2.AA.ARCHIVE.COMMON.xmlloaderror")));
        return false;
    }
    QString column = field;
    if (isField(field, "cCusCode"))
        column = QStringLiteral("cCusName");
    else if (isField(field, "bcMarriageID"))
        column = QStringLiteral("cMarriageName");
    else if (isField(field, "cprincipal"))
        column = QStringLiteral("cprincipalname");
    if (!value.trimmed().isEmpty())
        return true;
    for (const pugi::xpath_node &found : document.select_nodes("//ColSet")) {
        const pugi::xml_node node = found.node();
        const QString must = QString::fromUtf8(node.attribute("bMustInput").value());
        if ((must.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
             || must == QLatin1String("1"))
            && column.compare(QString::fromUtf8(node.attribute("cFld").value()),
                              Qt::CaseInsensitive)
                   == 0) {
            ShowMessage(QString::fromUtf8(node.attribute("cOriginalCaption").value())
                        + resString(QStringLiteral("K2.AA.ARCHIVE.COMMON.bMustInput")));
            return false;
        }
    }
    return true;
}

BatchModifyEvent::Outcome BatchModifyEvent::run(const QString &field, const QString &value,
                                                const QString &where)
{
    m_lastCount = 0;
    // A field the catalogue does not offer the operator is never written: it would name any
    // column, or one withheld from him.
    bool offered = false;
    for (const QString &name : ModifiableFields(gBatchCatalogXml))
        offered = offered || name.compare(field, Qt::CaseInsensitive) == 0;
    if (!offered || where.trimmed().isEmpty()) {
        WriteErrorLog(QStringLiteral("FrmZMulModify.Find_modify"), true,
                      ErrorInfo{-1,
                                QStringLiteral("The field %1 cannot be batch modified.").arg(field),
                                QStringLiteral("Perikon")});
        return Outcome::Refused;
    }
    try {
        const QString condition = RewriteChoiceCodes(where);
        if (!ValidateBatchValue(field, value) || !CheckMustInput(field, value))
            return Outcome::Refused;

        const std::unique_ptr<db::Recordset> count(
            gClsCommon ? gClsCommon->OpenX(CountStatement(condition, gRowAuthWrite)) : nullptr);
        if (!count)
            throw Unexpected{gLastError};
        m_lastCount = count->eof()
                          ? 0
                          : transXML::NullTo(count->value(QStringLiteral("num")), 0).toLongLong();
        if (m_lastCount == 0) {
            ShowMessage(resString(QStringLiteral("K2.AA.CUSTOMER.FRMMULMODIFY.407_1")));
            return Outcome::Nothing;
        }
        if (!gPubService
            || gPubService->MsgBox(gPubService->GetResFormatString(
                                       QStringLiteral("K2.AA.CUSTOMER.FRMMULMODIFY.410_1"),
                                       {QString::number(m_lastCount)}),
                                   kConfirmStyle,
                                   resString(QStringLiteral("K2.AA.ARCHIVE.COMMON.exclamation")))
                   != kYes)
            return Outcome::Refused;

        const QString stored = StoredField(field);
        return write(stored, StoredChoiceValue(stored, value), condition);
    } catch (const Unexpected &error) {
        WriteErrorLog(QStringLiteral("FrmZMulModify.Find_modify"), true,
                      ErrorInfo{-1, error.description, QStringLiteral("Perikon")});
        ShowMessage(resString(QStringLiteral("K2.AA.CUSTOMER.FRMMULMODIFY.436_1")));
        return Outcome::Failed;
    }
}

BatchModifyEvent::Outcome BatchModifyEvent::write(const QString &field, const QString &value,
                                                  const QString &where)
{
    const bool customerChange = isField(field, "ccuscode");
    const QString condition = customerChange ? CustomerChangeCondition(where) : where;
    const QString statement = UpdateStatement(gUserName, field, value, condition, gRowAuthWrite);

    QObject *com = gClsCommon.get();
    if (gPubService->IsLockFun(com, gLogin.data(), kArchive, kBatchLock))
        return Outcome::Locked;
    const auto releaseLock = [&] {
        QObject *lockCom = gClsCommon.get();
        gPubService->IsLockFun(lockCom, gLogin.data(), kArchive, -kBatchLock);
    };

    db::Connection *connection = gClsCommon->connection();
    QString failure = resString(QStringLiteral("K2.AA.CUSTOMER.FRMMULMODIFY.436_1"));
    bool begun = false;
    bool done = false;
    try {
        if (!connection)
            throw Unexpected{QStringLiteral("No connection is open.")};
        connection->beginTrans();
        begun = true;

        if (customerChange) {
            const std::unique_ptr<db::Recordset> former(
                gClsCommon->OpenX(FormerCustomersStatement(condition, gRowAuthWrite)));
            if (!former)
                throw Unexpected{gLastError};
            QStringList codes;
            for (; !former->eof(); former->moveNext())
                codes += transXML::NullTo(former->value(0), QString()).toString();
            for (const QString &code : std::as_const(codes)) {
                if (code == value)
                    continue;
                if (!gClsCommon->ExecuteX(ClearDefaultContactStatement(code))) {
                    failure = GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00077"));
                    gLastError = failure;
                    throw Unexpected{failure};
                }
            }
        }

        if (isField(field, "cMobilePhone")) {
            std::vector<std::pair<QString, QString>> contacts;
            {
                const std::unique_ptr<db::Recordset> rows(
                    gClsCommon->OpenX(MobileContactsStatement(condition, gRowAuthWrite)));
                if (!rows)
                    throw Unexpected{gLastError};
                contacts.reserve(size_t(rows->recordCount() > 0 ? rows->recordCount() : 0));
                for (; !rows->eof(); rows->moveNext()) {
                    const QString customer = transXML::NullTo(rows->value(0), QString()).toString();
                    if (!customer.isEmpty())
                        contacts.emplace_back(
                            transXML::NullTo(rows->value(1), QString()).toString(), customer);
                }
            }
            const qint64 total = qint64(contacts.size());
            qint64 copied = 0;
            for (const auto &[oid, customer] : contacts) {
                if (!gClsCommon->ExecuteX(CopyMobileStatement(oid, customer, value)))
                    throw Unexpected{gLastError};
                if (m_progress)
                    m_progress(++copied, total);
            }
        }

        if (!gClsCommon->ExecuteX(statement))
            throw Unexpected{gLastError};
        connection->commitTrans();
        done = true;
    } catch (const Unexpected &error) {
        WriteErrorLog(QStringLiteral("FrmZMulModify.Find_modify"), true,
                      ErrorInfo{-1, error.description, QStringLiteral("Perikon")});
    } catch (const std::exception &error) {
        WriteErrorLog(QStringLiteral("FrmZMulModify.Find_modify"), true,
                      ErrorInfo{-1, QString::fromUtf8(error.what()), QStringLiteral("Perikon")});
    }
    if (!done && begun) {
        try {
            connection->rollbackTrans();
        } catch (...) {
            // The link is gone and the transaction with it.
        }
    }
    releaseLock();
    if (!done) {
        ShowMessage(failure);
        return Outcome::Failed;
    }
    m_lastStatement = statement;
    ShowMessage(resString(QStringLiteral("K2.AA.ARCHIVE.COMMON.modifysuccess")));
    gListDirty = true;
    QObject *logCom = gClsCommon.get();
    gPubService->LogArch(logCom, kArchive, 4, QString(), gUserId, QStringLiteral("2"),
                         m_description, statement);
    return Outcome::Modified;
}

} // namespace perikon::batch
