#include "suite/controls/chart/ChartDocument.h"

#include <pugixml.hpp>

namespace perikon::suite::chart {
namespace {

QString attribute(const pugi::xml_node &node, const char *name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

} // namespace

bool ChartDocument::isNone(const QString &value)
{
    return value.isEmpty() || value == QLatin1String("NULL");
}

std::optional<QList<ChartEntry>> ChartDocument::parse(const QString &xml)
{
    const QByteArray utf8 = xml.toUtf8();
    pugi::xml_document document;
    // Attribute values keep their whitespace: names come back as they were stored.
    const unsigned options = pugi::parse_default & ~pugi::parse_wconv_attribute;
    if (!document.load_buffer(utf8.constData(), size_t(utf8.size()), options, pugi::encoding_utf8))
        return std::nullopt;
    const pugi::xml_node root = document.child("Chart");
    if (!root)
        return std::nullopt;
    QList<ChartEntry> entries;
    const pugi::xml_node report = root.child("Picture").child("ReportTrees").child("Report");
    for (const pugi::xml_node &contract : report.children("Contract")) {
        entries.append(ChartEntry{attribute(contract, "Code"), attribute(contract, "Name"),
                                  attribute(contract, "Duty"), attribute(contract, "Superior")});
    }
    return entries;
}

} // namespace perikon::suite::chart
