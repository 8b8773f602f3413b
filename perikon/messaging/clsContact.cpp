#include "perikon/messaging/clsContact.h"

#include "perikon/data/clsConn.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/MailTool.h"
#include "perikon/list/ListWindows.h"
#include "perikon/session/ClassRegistry.h"
#include "perikon/session/ErrorLog.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon {

PERIKON_REGISTER_CLASS("Perikon.clsContact", clsContact)

namespace {

const QString kModule = QStringLiteral("clsContact");

void logDbError(const QString &procedure, const db::DbError &error)
{
    WriteSrvTransLog(kModule, procedure, error.number(), error.description());
}

void logError(const QString &procedure, const std::exception &error)
{
    WriteSrvTransLog(kModule, procedure, 0, QString::fromUtf8(error.what()));
}

bool hasText(const QVariant &value)
{
    return !value.isNull() && !value.toString().isEmpty();
}

// The list's e-mail command: its operator's login, no complements.
void mailListContacts(list::ListAccess &, const QString &codes)
{
    clsContact contact;
    QString contactCodes = codes;
    contact.GetContact(contactCodes, gLogin.data());
}

[[maybe_unused]] const bool mailActionRegistered
    = (list::registerListAction(list::kMailAction, mailListContacts), true);

} // namespace

clsContact::clsContact(QObject *parent)
    : QObject(parent)
{}

clsContact::~clsContact() = default;

void clsContact::SetCnn(QObject *objLogin)
{
    if (!m_conn)
        m_conn = std::make_unique<clsConn>();
    QString connectionString = hostlogin::text(objLogin, "qzDBName");
    m_conn->OpenCon(connectionString);
}

QString clsContact::GetCustomerEmail(QString &sCustomerCode, QObject *objLogin)
{
    QString addresses;
    try {
        SetCnn(objLogin);
        if (!sCustomerCode.isEmpty()) {
            db::Recordset rs;
            rs.open(QStringLiteral("SELECT DISTINCT [cCusEmail] FROM Customer WHERE cCusCode IN ( ")
                        + sCustomerCode + QStringLiteral(")"),
                    m_conn->Conn());
            for (; !rs.eof(); rs.moveNext()) {
                const QVariant email = rs.value(QStringLiteral("cCusEmail"));
                if (!hasText(email))
                    continue;
                if (!addresses.isEmpty())
                    addresses += u';';
                addresses += email.toString().trimmed();
            }
        }
    } catch (const db::DbError &error) {
        logDbError(QStringLiteral("GetCustomerEmail"), error);
        addresses.clear();
    } catch (const std::exception &error) {
        logError(QStringLiteral("GetCustomerEmail"), error);
        addresses.clear();
    }
    m_conn.reset();
    return addresses;
}

bool clsContact::InvokeMailTool(QString &sAddress)
{
    try {
        const std::unique_ptr<MailTool> tool
            = HostRegistry::createAs<MailTool>(QStringLiteral("MailTool"));
        if (!tool)
            return false;
        if (tool->OpenMail(sAddress))
            return true;
        ShowMessage(GetResText(QStringLiteral("K2.CRM.COMMON.MailSenderNotExist")));
        return false;
    } catch (const std::exception &) {
        return false; // any failure only means no mail program opened; the caller says so
    }
}

QVariant clsContact::GetContact(QString &sContactCode, QObject *objLogin)
{
    QString noCustomers;
    QString noAddresses;
    return GetContact(sContactCode, objLogin, noCustomers, noAddresses);
}

QVariant clsContact::GetContact(QString &sContactCode, QObject *objLogin, QString &sComplCustCode,
                                QString &sComplEmail)
{
    const QString procedure = QStringLiteral("GetContact");
    try {
        SetCnn(objLogin);
        QString contactAddresses; // each followed by ";"
        QStringList customerCodes;
        if (!sContactCode.isEmpty()) {
            // Read and closed before GetCustomerEmail releases the connection it was read on.
            db::Recordset rs;
            rs.open(QStringLiteral("SELECT * FROM Crm_Contact WHERE [cContactCode] IN ( ")
                        + sContactCode + QStringLiteral(")"),
                    m_conn->Conn());
            // Codes that match no contact are an error, not an empty message.
            if (rs.eof())
                throw db::DbError(db::DbError::InvalidState,
                                  QStringLiteral("Either BOF or EOF is True, or the current record "
                                                 "has been deleted. Requested operation requires "
                                                 "a current record."));
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
                const QVariant email = rs.value(QStringLiteral("cEmail"));
                if (hasText(email))
                    contactAddresses += email.toString().trimmed() + u';';
                else
                    customerCodes.append(
                        db::sqlNQuoted(rs.value(QStringLiteral("cCusCode")).toString()));
            }
        }
        QString customers = customerCodes.join(u',');
        if (!sComplCustCode.isEmpty())
            customers = customers.isEmpty() ? sComplCustCode : customers + u',' + sComplCustCode;

        const QString customerAddresses = GetCustomerEmail(customers, objLogin);

        QString line;
        if (!contactAddresses.isEmpty()) {
            line = customerAddresses.isEmpty() ? contactAddresses.chopped(1)
                                               : contactAddresses + customerAddresses;
        } else {
            line = customerAddresses;
            if (line.endsWith(u';'))
                line.chop(1);
        }
        if (!sComplEmail.isEmpty())
            line = line.isEmpty() ? sComplEmail : line + u';' + sComplEmail;

        if (!InvokeMailTool(line))
            ShowMessage(GetResText(QStringLiteral("K2.CRM.COMMON.MailSendFail")));
    } catch (const db::DbError &error) {
        logDbError(procedure, error);
    } catch (const std::exception &error) {
        logError(procedure, error);
    }
    m_conn.reset();
    return {};
}

} // namespace perikon
