#pragma once

#include <QString>
#include <QStringList>

namespace perikon::card {

// What the contact card saves, as its fields hold it.
struct CardRecord
{
    int mode = 1;      // 1 add, 2 modify
    QString loadedOid; // modify: written as OID attribute
    QString cusCode, contactCode, contactName, appellation, superiorId, native, dutyId, tasteId,
        principal, conDepart, creator, officePhone, homePhone, mobilePhone, call, zipcode, homePage,
        workAddress, homeAddress, email, homeMember, memo, wechat;
    QString sexId, marriageId; // combo item data, empty when none selected
    bool major = false;
    QString birthday, conEndDate;           // "yyyy-MM-dd" or empty
    QString createDate;                     // add mode: server date
    QString relatedPersonXml, privilegeXml; // dialog XML, may be empty
    // 16 values: cConDefine1..14 texts, 15 and 16 dates ("yyyy-MM-dd" or empty)
    QStringList userDefined;
    QString extendedXml; // already-built extended part (GetSaveXmlEx)
    QString newOid;      // add mode: a new GUID
    QString pictureXml;  // already-built picture part, may be empty
};

// The card's record element "<Crm_Contact ...>...</Crm_Contact>", as IClsCommon::Add (mode 1) and
// IClsCommon::Modify (mode 2) take it.
QString cardRecordXml(const CardRecord &record);

// "<cContactCode></cContactCode>" in a dialog XML replaced by the element with `code`.
QString withContactCode(const QString &dialogXml, const QString &code);

} // namespace perikon::card
