#pragma once

// Module transXML: the node helpers every layer uses to read and change row elements of record
// XML, and the field checks of the save steps. Child names are looked up in lower case unless the
// caller asks to keep their case.

#include <QString>
#include <QVariant>

#include <pugixml.hpp>

namespace perikon {
class IClsCommon;
}

namespace perikon::transXML {

// The text of `node`'s child `name`; `defaultText` when node is empty, the name is empty or the
// child is missing (then gLastError says which child and *found is false).
QString GetNodeText(pugi::xml_node node, const QString &name, const QString &defaultText = {},
                    bool *found = nullptr, bool keepCase = false);
// Sets the text of an existing child; false (gLastError set) when there is no such child.
bool SetNodeText(pugi::xml_node node, const QString &name, const QString &value);
// Sets the text of the child, appending the child when it is missing.
void SetOrAddNodeText(pugi::xml_node node, const QString &name, const QString &value);
// The trimmed text of the attribute, or empty text.
QString GetAttrValue(pugi::xml_node node, const QString &name);
void RemoveChildNode(pugi::xml_node node, const QString &name);
QVariant NullTo(const QVariant &value, const QVariant &defaultValue);

// True for a date from 1760-01-01 up to (not including) 2300-01-01. An empty value is false
// without a message; other refusals set gLastError to the message naming `caption`.
bool CheckDateRange(const QString &value, const QString &caption);
// The function id of an operation on an archive; empty when none is defined (no check needed).
QString ArchFuncId(const QString &sArch, int OptId);
// The display name of a table from Rpt_GRPDef.
QString GetTableDefine(IClsCommon &ICom, const QString &tableName);

// UTF-8 text of a pugixml string and back.
QString text(const pugi::char_t *value);
std::string utf8(const QString &value);

} // namespace perikon::transXML
