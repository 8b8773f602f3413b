#include "suite/services/TransferXml.h"

namespace perikon::suite {
namespace {

bool sameName(const pugi::xml_node &node, const char *name)
{
    return node.type() == pugi::node_element
           && QString::fromUtf8(node.name()).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

} // namespace

pugi::xml_node childNoCase(const pugi::xml_node &parent, const char *name)
{
    for (pugi::xml_node child : parent.children()) {
        if (sameName(child, name))
            return child;
    }
    return {};
}

QList<pugi::xml_node> childrenNoCase(const pugi::xml_node &parent, const char *name)
{
    QList<pugi::xml_node> found;
    for (pugi::xml_node child : parent.children()) {
        if (sameName(child, name))
            found.append(child);
    }
    return found;
}

QString childText(const pugi::xml_node &parent, const char *name)
{
    const pugi::xml_node child = childNoCase(parent, name);
    return child ? QString::fromUtf8(child.child_value()).trimmed() : QString();
}

QString transferContactCode(const pugi::xml_node &row, const pugi::xml_node &transferChild,
                            std::initializer_list<const char *> codeNames)
{
    for (const char *name : codeNames) {
        const QString code = childText(transferChild, name);
        if (!code.isEmpty())
            return code;
    }
    return childText(row, "ccontactcode");
}

} // namespace perikon::suite
