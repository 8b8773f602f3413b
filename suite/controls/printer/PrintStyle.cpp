#include "suite/controls/printer/PrintStyle.h"

#include <QRectF>

#include <pugixml.hpp>

#include <array>
#include <cmath>

namespace perikon::suite::printer {
namespace {

struct Paper
{
    const char *name;
    QPageSize::PageSizeId id;
};

constexpr std::array kPapers{
    Paper{"A4", QPageSize::A4},         Paper{"A3", QPageSize::A3},
    Paper{"A5", QPageSize::A5},         Paper{"B5", QPageSize::B5},
    Paper{"Letter", QPageSize::Letter}, Paper{"Legal", QPageSize::Legal},
};

const Paper *paperNamed(const QString &name)
{
    for (const Paper &paper : kPapers) {
        if (name.compare(QLatin1String(paper.name), Qt::CaseInsensitive) == 0)
            return &paper;
    }
    return nullptr;
}

// A margin or size read from an attribute: a number within [low, high], else nothing.
bool readNumber(const pugi::xml_node &node, const char *name, double low, double high, double &into)
{
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return true; // not given: the default stays
    bool ok = false;
    const double value = QString::fromUtf8(attribute.value()).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < low || value > high)
        return false;
    into = value;
    return true;
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

PrintStyle PrintStyle::parse(const QString &xml)
{
    const PrintStyle defaults;
    pugi::xml_document document;
    const QByteArray utf8 = xml.toUtf8();
    if (xml.trimmed().isEmpty() || !document.load_buffer(utf8.constData(), size_t(utf8.size())))
        return defaults;
    const pugi::xml_node node = document.child("PrnStyle");
    if (!node)
        return defaults;

    PrintStyle style;
    if (const pugi::xml_attribute paper = node.attribute("paper")) {
        const Paper *known = paperNamed(QString::fromUtf8(paper.value()).trimmed());
        if (!known)
            return defaults;
        style.paper = QLatin1String(known->name);
    }
    const QString orientation = QString::fromUtf8(node.attribute("orientation").value()).trimmed();
    if (orientation.compare(QLatin1String("landscape"), Qt::CaseInsensitive) == 0)
        style.orientation = QPageLayout::Landscape;
    else if (!orientation.isEmpty()
             && orientation.compare(QLatin1String("portrait"), Qt::CaseInsensitive) != 0)
        return defaults;
    // Margins above 100 mm leave no room on an A5 page; fonts outside 4..72 pt are typing errors.
    const bool numbersOk = readNumber(node, "marginTop", 0, 100, style.marginTop)
                           && readNumber(node, "marginBottom", 0, 100, style.marginBottom)
                           && readNumber(node, "marginLeft", 0, 100, style.marginLeft)
                           && readNumber(node, "marginRight", 0, 100, style.marginRight)
                           && readNumber(node, "fontSize", 4, 72, style.fontSize);
    if (!numbersOk)
        return defaults;
    // Margins that leave less than a fifth of the paper to print on are no layout at all.
    const QSizeF paper = style.pageLayout().fullRect(QPageLayout::Millimeter).size();
    if (style.marginLeft + style.marginRight > paper.width() * 0.8
        || style.marginTop + style.marginBottom > paper.height() * 0.8)
        return defaults;
    return style;
}

QString PrintStyle::toXml() const
{
    pugi::xml_document document;
    pugi::xml_node node = document.append_child("PrnStyle");
    const auto set = [&node](const char *name, const QString &value) {
        node.append_attribute(name).set_value(value.toUtf8().constData());
    };
    set("paper", paper);
    set("orientation", orientation == QPageLayout::Landscape ? QStringLiteral("landscape")
                                                             : QStringLiteral("portrait"));
    set("marginTop", number(marginTop));
    set("marginBottom", number(marginBottom));
    set("marginLeft", number(marginLeft));
    set("marginRight", number(marginRight));
    set("fontSize", number(fontSize));
    struct Writer : pugi::xml_writer
    {
        QByteArray bytes;
        void write(const void *data, size_t size) override
        {
            bytes.append(static_cast<const char *>(data), qsizetype(size));
        }
    } writer;
    node.print(writer, "", pugi::format_raw);
    return QString::fromUtf8(writer.bytes);
}

QStringList PrintStyle::paperNames()
{
    QStringList names;
    for (const Paper &paper : kPapers)
        names << QLatin1String(paper.name);
    return names;
}

QPageSize PrintStyle::pageSize() const
{
    const Paper *known = paperNamed(paper);
    return QPageSize(known ? known->id : QPageSize::A4);
}

QPageLayout PrintStyle::pageLayout() const
{
    return QPageLayout(pageSize(), orientation,
                       QMarginsF(marginLeft, marginTop, marginRight, marginBottom),
                       QPageLayout::Millimeter);
}

} // namespace perikon::suite::printer
