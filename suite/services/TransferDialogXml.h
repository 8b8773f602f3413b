#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace perikon::suite {

// The member XML the contact card keeps for its related-persons and dimension dialogs, read into
// rows and written back. Element names are read without regard to case; the head the card wrote
// (code, right, row rules, address) is kept as it is.
//
// Related persons: <cusstuff> <cContactCode>code</cContactCode><RW>right</RW>
//   <RowAuthCusR/><RowAuthCusW/><url>address</url>
//   <row><cuser_id>id</cuser_id><iright>1 read/write, 0 read-only</iright></row>...
//   <bedited>1</bedited></cusstuff>
// Dimensions: <cusprivilege> <ccuscode or cContactCode>code</..><RW>right</RW>...<url>..</url>
//   <row> <privilege_type>t</privilege_type> <cadtname>type</cadtname>
//         <privilege_id>value code</privilege_id> <cadname>value name</cadname> </row>...
//   <btextdata>1</btextdata></cusprivilege>

struct RelatedPerson
{
    QString userId;
    QString userName;
    bool readWrite = true;

    friend bool operator==(const RelatedPerson &, const RelatedPerson &) = default;
};

struct DimensionGrant
{
    QString typeId; // as the row carries it; 0 is the department
    QString typeName;
    QString valueCode;
    QString valueName;

    friend bool operator==(const DimensionGrant &, const DimensionGrant &) = default;
};

template<typename Row> struct TransferMember
{
    QString contactCode;
    // Only a right of "1" lets the operator change the rows.
    bool editable = false;
    // The XML already went through the dialog (or was built from what is stored), so its rows,
    // even none, are the contact's.
    bool settled = false;
    QList<Row> rows;

    // What is stored for the contact is shown instead of the (empty) rows.
    bool needsPreload() const { return rows.isEmpty() && !settled && !contactCode.isEmpty(); }
};

using RelatedPersonsMember = TransferMember<RelatedPerson>;
using DimensionMember = TransferMember<DimensionGrant>;

// nullopt when the text is no XML document.
std::optional<RelatedPersonsMember> readRelatedPersonsXml(const QString &xml);
std::optional<DimensionMember> readDimensionXml(const QString &xml);

// `xml` with its rows replaced by `rows` and the marker that the rows are the contact's set;
// nullopt when `xml` is no XML document.
std::optional<QString> writeRelatedPersonsXml(const QString &xml, const QList<RelatedPerson> &rows);
std::optional<QString> writeDimensionXml(const QString &xml, const QList<DimensionGrant> &rows);

} // namespace perikon::suite
