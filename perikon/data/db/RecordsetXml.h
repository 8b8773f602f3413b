#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace pugi {
class xml_document;
}

namespace perikon::db {

struct RecordsetData;

// The XML persistence format of recordsets: the columns with everything a recordset knows of them,
// then the rows, each value tagged with its storage kind so that NULL and empty text differ.
//
//   <recordset xmlns="urn:perikon:recordset" version="1">
//     <columns><column name="cName" type="202" size="50" nullable="1" table="T"
//     basecolumn="cName"/></columns>
//     <rows><row><t>text</t><n/><i>12</i><r>1.5</r><b>AAEC</b></row></rows>
//   </recordset>
namespace RecordsetXml {

void save(const RecordsetData &data, const std::vector<quint32> &rows,
          pugi::xml_document &document);
QString toText(const pugi::xml_document &document);

// Throws DbError for text that is no XML or a document in another format.
pugi::xml_document parse(const QString &text);
std::shared_ptr<RecordsetData> load(const pugi::xml_document &document);

} // namespace RecordsetXml

} // namespace perikon::db
