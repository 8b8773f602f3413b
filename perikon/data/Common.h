#pragma once

// Module Common: small helpers the data-access side shares.

#include <QByteArray>
#include <QString>

#include <memory>

#include <pugixml.hpp>

namespace perikon::db {
class Connection;
class Recordset;
} // namespace perikon::db

namespace perikon::Common {

// Applies the record-XML normalization to a text in place (ampersands escaped when bConvertStr,
// every tag lower-cased).
void EscapeXmlText(QString &s, bool bConvertStr);
// Gives the string literals of a statement the N prefix.
QString ToNSqlLiterals(const QString &sql);
// Opens a recordset saved in the XML persistence format; false with sMsg set when it will not load.
bool XmlToRecordset(const QString &sXML, std::unique_ptr<db::Recordset> &rs, QString &sMsg);
// Like GetNodeText, but the text of the found child's first child node.
QString GetFirstChildText(pugi::xml_node node, const QString &name, const QString &defaultText = {},
                          bool *found = nullptr);

// Stores the picture a record element carries (PictureGUID, cPictureType) in AA_Picture and puts
// its new GUID into the element. mode: 1 add, 2 modify (the old picture is deleted first).
bool SavePicture(db::Connection &cnn, pugi::xml_node Ele, int mode, const QString &tableName,
                 const QString &pictureColumn, QString &sMsg);
// Deletes the picture a row of `table` refers to through its PictureGUID column.
bool DeletePicture(db::Connection &cnn, const QString &table, QString &sMsg,
                   const QString &keyCondition, const QString &keyValue);
// The bytes of a file; empty with `error` set when it cannot be read.
QByteArray ReadFileBytes(const QString &path, QString &error);

// The account number of the session: the three characters after "CATALOG=QZDATA_" in gAccountDb,
// found without regard to case; empty when there is no such part.
QString GetAccIdFromConn();

} // namespace perikon::Common
