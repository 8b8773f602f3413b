#include "suite/controls/batch/BatchCatalog.h"

#include "suite/services/XmlAttribute.h"

#include <QSet>

#include <algorithm>
#include <array>

#include <pugixml.hpp>

namespace perikon::suite::batch {
namespace {

struct KindName
{
    const char *reftype;
    BatchValueKind kind;
};

constexpr std::array kKinds{
    KindName{"char", BatchValueKind::Text},      KindName{"", BatchValueKind::Integer},
    KindName{"decdgt", BatchValueKind::Decimal}, KindName{"date", BatchValueKind::Date},
    KindName{"ref", BatchValueKind::Reference},  KindName{"enum", BatchValueKind::Choice},
};

// A kind the control does not know is typed as plain text.
BatchValueKind kindOf(const QString &reftype)
{
    for (const KindName &entry : kKinds) {
        if (reftype.compare(QLatin1String(entry.reftype), Qt::CaseInsensitive) == 0)
            return entry.kind;
    }
    return BatchValueKind::Text;
}

QSet<QString> withheldFields(const QString &list)
{
    QSet<QString> names;
    for (const QString &name : list.split(u',', Qt::SkipEmptyParts)) {
        if (!name.trimmed().isEmpty())
            names.insert(name.trimmed().toLower());
    }
    return names;
}

} // namespace

BatchCatalog BatchCatalog::read(const QString &xml)
{
    BatchCatalog catalog;
    pugi::xml_document document;
    const QByteArray utf8 = xml.toUtf8();
    const pugi::xml_parse_result parsed
        = document.load_buffer(utf8.constData(), std::size_t(utf8.size()));
    const pugi::xml_node root = document.document_element();
    if (!parsed || !root) {
        catalog.m_problem = BatchCatalogProblem::NotXml;
        catalog.m_detail = parsed ? QStringLiteral("no root element")
                                  : QStringLiteral("%1 (at %2)")
                                        .arg(QString::fromUtf8(parsed.description()))
                                        .arg(parsed.offset);
        return catalog;
    }
    const QSet<QString> withheld = withheldFields(attributeNoCase(root, "noauthflds"));
    for (const pugi::xml_node &node : root.children()) {
        if (node.type() != pugi::node_element || attributeNoCase(node, "bmulmodify") != u"1")
            continue;
        BatchField field;
        field.name = QString::fromUtf8(node.name());
        if (withheld.contains(field.name.toLower()))
            continue;
        field.caption = attributeNoCase(node, "showfldname");
        if (field.caption.isEmpty())
            field.caption = field.name;
        field.kind = kindOf(attributeNoCase(node, "reftype"));
        field.referenceId = attributeNoCase(node, "cRefID");
        field.returnField = attributeNoCase(node, "cRetFld");
        field.decimals = std::max(attributeNoCase(node, "decdgt").toInt(), 0);
        field.userDefined = attributeNoCase(node, "IsUserDefArch") == u"1";
        field.anyCharacterAllowed = attributeNoCase(node, "bBadStrException") == u"1";
        if (field.kind == BatchValueKind::Choice)
            field.choices = parseChoices(field.referenceId);
        catalog.m_fields.append(field);
    }
    if (catalog.m_fields.isEmpty())
        catalog.m_problem = BatchCatalogProblem::NoModifiableField;
    return catalog;
}

QList<BatchChoice> BatchCatalog::parseChoices(const QString &list)
{
    const qsizetype split = list.indexOf(QLatin1String("{##}"));
    const QString codePart = split < 0 ? list : list.left(split);
    const QString namePart = split < 0 ? QString() : list.mid(split + 4);
    const QStringList codes = codePart.split(QLatin1String("{#}"));
    const QStringList names = namePart.split(QLatin1String("{#}"));
    QList<BatchChoice> choices;
    if (codePart.isEmpty())
        return choices;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QString name = names.value(i);
        choices.append({codes.at(i), name.isEmpty() ? codes.at(i) : name});
    }
    return choices;
}

} // namespace perikon::suite::batch
