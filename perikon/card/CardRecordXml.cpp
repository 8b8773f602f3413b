#include "perikon/card/CardRecordXml.h"

#include <array>

namespace perikon::card {

namespace {

constexpr int kUserDefinedCount = 16;

// Values go into the record as typed. The record's normalization (IClsCommon::UTLCase) escapes
// every "&" itself, so escaping here would store "&amp;" for "&"; a "<" is refused by the data
// layer with its parse message, which is the message the card shows for it; quotes, apostrophes
// and ">" are plain characters in element text.
void appendElement(QString &xml, QStringView name, const QString &value)
{
    xml += u'<';
    xml += name;
    xml += u'>';
    xml += value;
    xml += u"</";
    xml += name;
    xml += u'>';
}

// The OID is an attribute value and so must not end its quotes early. An entity would not do:
// the normalization escapes its "&" and the OID would come back as "&apos;" text. Quoting with
// the other kind of quote keeps the value as it is.
QString oidAttribute(const QString &oid)
{
    if (!oid.contains(u'\''))
        return u'\'' + oid + u'\'';
    QString quoted = oid;
    // An OID holding both kinds of quote cannot pass unchanged; it still must not break the row.
    quoted.replace(u'"', QStringLiteral("&quot;"));
    return u'"' + quoted + u'"';
}

// A dialog hands over well-formed XML, its "&" escaped. The record's normalization escapes every
// "&" once more, so the escaped ones are handed on bare to arrive as the dialog meant them.
QString dialogPart(const QString &dialogXml, const QString &contactCode)
{
    QString part = dialogXml;
    part.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    // The code goes in afterwards, as typed like every other value.
    return withContactCode(part, contactCode);
}

} // namespace

QString cardRecordXml(const CardRecord &record)
{
    const bool adding = record.mode != 2;
    QString xml;
    xml.reserve(2048);
    xml += adding ? QStringLiteral("<Crm_Contact>")
                  : QStringLiteral("<Crm_Contact OID=") + oidAttribute(record.loadedOid) + u'>';

    const std::array<std::pair<QStringView, const QString *>, 22> texts{{
        {u"cCusCode", &record.cusCode},
        {u"cContactCode", &record.contactCode},
        {u"cContactName", &record.contactName},
        {u"cAppellation", &record.appellation},
        {u"cSuperiorID", &record.superiorId},
        {u"cNative", &record.native},
        {u"bcDutyID", &record.dutyId},
        {u"bcTasteID", &record.tasteId},
        {u"cPrincipal", &record.principal},
        {u"cConDepart", &record.conDepart},
        {u"cCreator", &record.creator},
        {u"cOfficePhone", &record.officePhone},
        {u"cHomePhone", &record.homePhone},
        {u"cMobilePhone", &record.mobilePhone},
        {u"cCall", &record.call},
        {u"cZipcode", &record.zipcode},
        {u"cHomePage", &record.homePage},
        {u"cWorkAddress", &record.workAddress},
        {u"cHomeAddress", &record.homeAddress},
        {u"cEmail", &record.email},
        {u"cHomeMember", &record.homeMember},
        {u"cMemo", &record.memo},
    }};
    for (const auto &[name, value] : texts)
        appendElement(xml, name, *value);

    appendElement(xml, u"bcSexID", record.sexId);
    appendElement(xml, u"bcMarriageID", record.marriageId);
    appendElement(xml, u"bMajor", record.major ? QStringLiteral("True") : QStringLiteral("False"));
    appendElement(xml, u"dBirthday", record.birthday);
    appendElement(xml, u"dConEDate", record.conEndDate);
    if (adding)
        appendElement(xml, u"dCreateDate", record.createDate);

    xml += dialogPart(record.relatedPersonXml, record.contactCode);
    xml += dialogPart(record.privilegeXml, record.contactCode);

    for (int i = 0; i < kUserDefinedCount; ++i)
        appendElement(xml, QStringLiteral("cConDefine%1").arg(i + 1), record.userDefined.value(i));

    xml += record.extendedXml;
    if (adding)
        appendElement(xml, u"oid", record.newOid);
    appendElement(xml, u"cWechat", record.wechat);
    xml += record.pictureXml;
    xml += QStringLiteral("</Crm_Contact>");
    return xml;
}

QString withContactCode(const QString &dialogXml, const QString &code)
{
    // The dialogs write the tag in either case; the record reads tags without regard to it.
    QString xml = dialogXml;
    xml.replace(QStringLiteral("<cContactCode></cContactCode>"),
                QStringLiteral("<cContactCode>") + code + QStringLiteral("</cContactCode>"),
                Qt::CaseInsensitive);
    return xml;
}

} // namespace perikon::card
