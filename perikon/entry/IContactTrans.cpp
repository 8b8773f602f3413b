// IContact: the save steps that complete and check a contact row while it is written.

#include "perikon/entry/IContact.h"

#include "perikon/data/Common.h"
#include "perikon/data/ContactStatements.h"
#include "perikon/data/DataErrors.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/session/ErrorLog.h"
#include "perikon/session/SessionGlobals.h"

#include <QScopeGuard>
#include <QUuid>

namespace perikon {

using namespace transXML;

namespace {

const QString kModule = QStringLiteral("IContact");

bool isTransferredRow(pugi::xml_node Ele)
{
    return GetAttrValue(Ele, QStringLiteral("transcusperson")) == QLatin1String("1");
}

bool flagValue(const QString &text)
{
    const QString t = text.trimmed().toLower();
    return t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("-1");
}

bool allDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

// n + 1 written with at least `width` digits.
QString incremented(const QString &digits, int width)
{
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    if (!ok)
        throw db::DbError(13, QStringLiteral("Type mismatch: %1").arg(digits));
    return QStringLiteral("%1").arg(value + 1, width, 10, QLatin1Char('0'));
}

} // namespace

QString IContact::serverTime(IClsCommon *&ICom)
{
    QObject *com = ICom;
    const QString time = gPubService->GetSrvTime(com);
    if (auto *handedBack = qobject_cast<IClsCommon *>(com))
        ICom = handedBack;
    return time;
}

QString IContact::NextContactCode(IClsCommon &ICom)
{
    if (m_operation != 1)
        return {};
    std::unique_ptr<db::Recordset> rs(ICom.OpenX(internal::nextContactCodeSql(2)));
    if (!rs || rs->recordCount() == 0)
        return {};
    const QVariant maximum = rs->value(0);
    if (maximum.isNull())
        return QStringLiteral("00000001");
    const QString code = maximum.toString();
    if (code.size() == 8 && allDigits(code))
        return incremented(code, 8);
    qsizetype runStart = code.size();
    while (runStart > 0 && code[runStart - 1].isDigit())
        --runStart;
    const int run = int(code.size() - runStart);
    if (run == 0)
        throw db::DbError(
            13, QStringLiteral("Type mismatch: the highest contact code %1 ends in no digits")
                    .arg(code));
    return code.left(runStart) + incremented(code.mid(runStart), run);
}

bool IContact::EnsureContactCode(pugi::xml_node Ele, IClsCommon &ICom)
{
    if (internal::childText(Ele, QStringLiteral("ccontactcode")).isEmpty())
        SetOrAddNodeText(Ele, QStringLiteral("ccontactcode"), NextContactCode(ICom));
    return true;
}

bool IContact::Trans(int tOpt, pugi::xml_node &Ele, db::Recordset *rst, const QString &TableName,
                     IClsCommon &ICom)
{
    m_operation = tOpt;
    IClsCommon *com = &ICom;
    const bool contactRow
        = TableName.compare(QLatin1String("Crm_Contact"), Qt::CaseInsensitive) == 0;
    try {
        if (tOpt == 1) {
            if (contactRow) {
                EnsureContactCode(Ele, *com);
                // The extension row, the customer link and the picture all name the contact by
                // its OID, so a new contact gets it here rather than from the database default.
                // Lower case, since record XML lower-cases the OID attribute it travels in later.
                if (internal::childText(Ele, QStringLiteral("oid")).isEmpty()) {
                    const QString given = GetAttrValue(Ele, QStringLiteral("oid"));
                    SetOrAddNodeText(
                        Ele, QStringLiteral("oid"),
                        given.isEmpty() ? QUuid::createUuid().toString(QUuid::WithBraces) : given);
                }
            }
            if (internal::childText(Ele, QStringLiteral("dcreatedate")).isEmpty()) {
                if (!gPubService)
                    gPubService = HostRegistry::createAs<PubService>(QStringLiteral("PubService"));
                if (!gPubService)
                    throw HostServiceMissing(QStringLiteral("PubService"));
                SetOrAddNodeText(Ele, QStringLiteral("dcreatedate"), serverTime(com));
            }
            if (gLogin && internal::childText(Ele, QStringLiteral("ccreator")).isEmpty())
                SetOrAddNodeText(Ele, QStringLiteral("ccreator"),
                                 hostlogin::text(gLogin, "cUserName"));
        } else if (tOpt == 2) {
            if (gPubService && !isTransferredRow(Ele)
                && internal::childText(Ele, QStringLiteral("dmodifydate")).isEmpty())
                SetOrAddNodeText(Ele, QStringLiteral("dmodifydate"), serverTime(com));
            if (gLogin && internal::childText(Ele, QStringLiteral("crevisor")).isEmpty())
                SetOrAddNodeText(Ele, QStringLiteral("crevisor"),
                                 hostlogin::text(gLogin, "cUserName"));
        }
        if (GetAttrValue(Ele, QStringLiteral("bdefaultcon")) == QLatin1String("1"))
            SetOrAddNodeText(Ele, QStringLiteral("bdefaultcon"), QStringLiteral("1"));
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        gLastError = error.description;
        internal::logDataError(kModule, QStringLiteral("Trans"), error);
        return false;
    }

    if (contactRow && !isTransferredRow(Ele)) {
        if (!CheckComUserDef(Ele, m_operation, *com, QStringLiteral("联系人"),
                             QStringLiteral("cConDefine")))
            return false;
        if (!CheckComUserDef(Ele, m_operation, *com, QStringLiteral("联系人扩展"),
                             QStringLiteral("cLDefine")))
            return false;
    }
    // The remaining steps belong to contacts: a code-list row has no customer, picture or
    // extension row.
    if (!contactRow)
        return true;
    if (!runCompanionSteps(Ele, com, rst))
        return false;
    // The row goes out with the flag that its customer's link is written from
    // (TransUpdateCustomer). Stored with the contact, it keeps the link when a later partial row
    // takes its untouched columns from the stored one.
    if (rst && rst->hasField(QStringLiteral("bDefaultCon")))
        rst->setValue(QStringLiteral("bDefaultCon"), gDefaultContactChanged);
    return true;
}

bool IContact::runCompanionSteps(pugi::xml_node &Ele, IClsCommon *&com, const db::Recordset *stored)
{
    // A failing step ends the chain with its reason in gLastError, and the row is still written;
    // only the required-column check refuses the row.
    // A modified row was read just before, to be written: its customer is the stored one.
    if (m_operation == 2 && !ClearOldCustomerDefault(Ele, *com, stored))
        return true;
    // A picture that cannot be stored refuses the row: written on, it would keep the picture's
    // file path as its picture id.
    QString pictureMessage;
    if (!Common::SavePicture(*com->connection(), Ele, m_operation, QStringLiteral("crm_contact"),
                             QStringLiteral("PictureGUID"), pictureMessage))
        return false;
    if (!TransConExtraUserDef(Ele, *com))
        return true;
    if (!TransContactPerson(Ele, com))
        return true;
    if (!TransContactDimension(Ele, com))
        return true;
    return com->CheckColumnNull(Ele, QStringLiteral("crm_contact"));
}

bool IContact::ClearOldCustomerDefault(pugi::xml_node Ele, IClsCommon &ICom,
                                       const db::Recordset *storedRow)
{
    // Errors on the way are passed over: the former customer keeps its link in the worst case.
    try {
        const QString customer = internal::childText(Ele, QStringLiteral("cCusCode"));
        const QString code = internal::childText(Ele, QStringLiteral("cContactCode"));
        const QString oid = GetAttrValue(Ele, QStringLiteral("OID"));
        std::unique_ptr<db::Recordset> read;
        if (!storedRow) {
            read.reset(ICom.OpenX(
                QStringLiteral(
                    " SELECT oid,cContactCode,cCusCode,cContactName FROM crm_contact with(nolock) "
                    "WHERE cContactCode=N'")
                + db::sqlEscaped(code) + QStringLiteral("' ")));
            storedRow = read.get();
        }
        QString stored;
        if (storedRow && storedRow->recordCount() > 0)
            stored = NullTo(storedRow->value(QStringLiteral("cCusCode")), QString()).toString();
        if (!stored.isEmpty() && stored != customer) {
            const QString update
                = QStringLiteral("UPDATE customer SET ccuscontactcode=null,cCusPerson='' ")
                  + QStringLiteral(" WHERE cCusContactCode=N'") + db::sqlEscaped(oid)
                  + QStringLiteral("' AND customer.ccuscode =N'") + db::sqlEscaped(stored)
                  + QStringLiteral("' ");
            if (!ICom.ExecuteX(update)) {
                gLastError = GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00077"));
                return false;
            }
        }
    } catch (...) {
    }
    return true;
}

bool IContact::TransConExtraUserDef(pugi::xml_node Ele, IClsCommon &ICom)
{
    try {
        // The contact's row, or an empty result of the same columns to add it to: either way
        // its columns are the extension table's, so no other read is needed for them.
        const QString oidAttribute = GetAttrValue(Ele, QStringLiteral("OID"));
        db::Recordset row;
        row.setCursorLocation(db::Recordset::UseClient);
        row.open(QStringLiteral("select top 1 * from  crm_contact_extradefine Where OID=N'")
                     + db::sqlEscaped(oidAttribute) + QStringLiteral("'"),
                 ICom.connection(), db::Recordset::OpenDynamic, db::Recordset::LockOptimistic, -1);
        if (row.recordCount() == 0)
            row.addNew();

        const QString oid
            = m_operation == 1 ? internal::childText(Ele, QStringLiteral("oid")) : oidAttribute;
        // The extension's values are gathered beside the contact in its own document, items
        // moved out of the contact rather than copied: a document of their own would cost a
        // fresh memory page on every save.
        pugi::xml_node document = Ele.root();
        pugi::xml_node root = document.append_child("crm_contact_extradefine");
        const auto dropGathered = qScopeGuard([&] { document.remove_child(root); });
        root.append_child("OID").text().set(utf8(oid).c_str());
        root.append_child("cContactCode")
            .text()
            .set(utf8(internal::childText(Ele, QStringLiteral("cContactCode"))).c_str());
        for (int i = 1; i < row.fieldCount(); ++i) {
            const QString name = row.field(i).name();
            const std::string lower = utf8(name.toLower());
            pugi::xml_node child = Ele.child(lower.c_str());
            if (!child)
                continue;
            if (name.compare(QLatin1String("cContactCode"), Qt::CaseInsensitive) != 0)
                root.append_move(child);
            else
                root.append_copy(child);
        }
        if (!ICom.SetFieldValue(row, root))
            return false;
        row.update();
        row.close();

        const QString defaultContact = internal::childText(Ele, QStringLiteral("bdefaultcon"));
        if (!defaultContact.isEmpty())
            gDefaultContactChanged = flagValue(defaultContact);
        return true;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        gLastError = error.description;
        internal::logDataError(kModule, QStringLiteral("TransConExtraUserDef"), error);
        return false;
    }
}

bool IContact::runTransferService(const QString &service, const QString &procedure,
                                  pugi::xml_node &Ele, IClsCommon *&ICom)
{
    try {
        std::unique_ptr<ContactTransferService> transfer
            = HostRegistry::createAs<ContactTransferService>(service);
        if (!transfer)
            throw HostServiceMissing(service);
        int operation = m_operation;
        QObject *com = ICom;
        const bool ok = transfer->Trans(operation, Ele, com, gLastError);
        if (auto *handedBack = qobject_cast<IClsCommon *>(com))
            ICom = handedBack;
        if (!ok) {
            WriteSrvTransLog(kModule, procedure, 99, QStringLiteral("Msg=") + gLastError);
            return false;
        }
        RemoveChildNode(Ele, QStringLiteral("cusstuff"));
        return true;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        gLastError = error.description;
        internal::logDataError(kModule, procedure, error);
        return false;
    }
}

bool IContact::TransContactPerson(pugi::xml_node &Ele, IClsCommon *&ICom)
{
    return runTransferService(QStringLiteral("RelatedPersonTransfer"),
                              QStringLiteral("TransContactPerson"), Ele, ICom);
}

bool IContact::TransContactDimension(pugi::xml_node &Ele, IClsCommon *&ICom)
{
    return runTransferService(QStringLiteral("ContactDimensionTransfer"),
                              QStringLiteral("TransContactDimension"), Ele, ICom);
}

bool IContact::TransUpdateCustomer(int opt, pugi::xml_node Ele, IClsCommon &ICom)
{
    Q_UNUSED(opt);
    QString id = internal::childText(Ele, QStringLiteral("oid"));
    if (id.isEmpty())
        id = GetAttrValue(Ele, QStringLiteral("oid"));
    if (id.isEmpty())
        return true;
    const QString name = internal::childText(Ele, QStringLiteral("ccontactname"));
    const QString customer = internal::childText(Ele, QStringLiteral("ccuscode"));
    const QString mobile = internal::childText(Ele, QStringLiteral("cMobilePhone"));
    if (gDefaultContactChanged) {
        ICom.ExecuteX(QStringLiteral(" update customer set ccuscontactcode=N'") + db::sqlEscaped(id)
                      + QStringLiteral("',cCusPerson=N'") + db::sqlEscaped(name)
                      + QStringLiteral("',cCusHand=N'") + db::sqlEscaped(mobile)
                      + QStringLiteral("'") + QStringLiteral(" WHERE customer.ccuscode =N'")
                      + db::sqlEscaped(customer) + QStringLiteral("' "));
        // A customer has one default contact: the former one gives up its flag, or a partial
        // row of it, completed from the stored row, would take the link back.
        ICom.ExecuteX(QStringLiteral("update Crm_Contact set bDefaultCon=0 WHERE cCusCode=N'")
                      + db::sqlEscaped(customer) + QStringLiteral("' and bDefaultCon=1 and OID<>N'")
                      + db::sqlEscaped(id) + QStringLiteral("'"));
    } else {
        // Only a link that still names this contact under this name is cleared.
        ICom.ExecuteX(
            QStringLiteral(" update customer set ccuscontactcode=null,cCusPerson=null WHERE "
                           "customer.ccuscode =N'")
            + db::sqlEscaped(customer) + QStringLiteral("' and ccuscontactcode=N'")
            + db::sqlEscaped(id) + QStringLiteral("'and cCusPerson=N'") + db::sqlEscaped(name)
            + QStringLiteral("'"));
    }
    return true;
}

} // namespace perikon
