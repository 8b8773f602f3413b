#pragma once

#include <QList>
#include <QString>

#include <pugixml.hpp>

namespace perikon::suite {

// Reading the children a contact row carries for the transfer services. The record XML comes
// lower-cased from the component; names are still matched without regard to case so a host
// dialog's own spelling ("cContactCode") works too.

// The first element child named `name`, or a null node.
pugi::xml_node childNoCase(const pugi::xml_node &parent, const char *name);
// Every element child named `name`, in document order.
QList<pugi::xml_node> childrenNoCase(const pugi::xml_node &parent, const char *name);
// The trimmed text of the child `name`; empty when there is none.
QString childText(const pugi::xml_node &parent, const char *name);

// The contact a transfer child belongs to: the child's own code (any of `codeNames`), else the
// row's ccontactcode.
QString transferContactCode(const pugi::xml_node &row, const pugi::xml_node &transferChild,
                            std::initializer_list<const char *> codeNames);

} // namespace perikon::suite
