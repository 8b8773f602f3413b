#include "perikon/list/ChartXml.h"

#include <QHash>

#include <vector>

namespace perikon::list {
namespace {

const QString kNone = QStringLiteral("NULL");

// An attribute value between double quotes. Tabs and line breaks go as character references: a
// parser turns them into blanks otherwise, and the name would not come back as stored.
void appendAttribute(QString &xml, const QString &value)
{
    xml += u'"';
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'&':
            xml += QLatin1String("&amp;");
            break;
        case u'"':
            xml += QLatin1String("&quot;");
            break;
        case u'<':
            xml += QLatin1String("&lt;");
            break;
        case u'>':
            xml += QLatin1String("&gt;");
            break;
        case u'\t':
            xml += QLatin1String("&#9;");
            break;
        case u'\n':
            xml += QLatin1String("&#10;");
            break;
        case u'\r':
            xml += QLatin1String("&#13;");
            break;
        default:
            xml += c;
        }
    }
    xml += u'"';
}

} // namespace

bool ChartXml::isNone(const QString &value)
{
    return value.isEmpty() || value == kNone;
}

QString ChartXml::build(const QString &chartName, const QList<ChartContact> &contacts)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding= \"UTF-8\"?><Chart Name = ");
    appendAttribute(xml, chartName);
    xml += QLatin1String(" Type = \"Organization\">");
    xml += QLatin1String("<Picture><ReportTrees><Report>");
    for (const ChartContact &contact : contacts) {
        xml += QLatin1String("<Contract Code = ");
        appendAttribute(xml, contact.code);
        xml += QLatin1String(" Name = ");
        appendAttribute(xml, contact.name);
        xml += QLatin1String(" Duty = ");
        appendAttribute(xml, isNone(contact.duty) ? kNone : contact.duty);
        xml += QLatin1String(" Superior =");
        appendAttribute(xml, isNone(contact.superior) ? kNone : contact.superior);
        xml += QLatin1String("/>");
    }
    xml += QLatin1String("</Report></ReportTrees></Picture></Chart>");
    return xml;
}

QList<ChartContact> ChartXml::readableOnly(const QList<ChartContact> &contacts)
{
    const qsizetype count = contacts.size();
    QHash<QString, qsizetype> indexOf;
    indexOf.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        indexOf.insert(contacts[i].code, i);

    // For an unreadable contact: the index of the nearest readable contact above it, -1 for
    // none. Filled once per contact by walking up and writing the answer back along the walk,
    // so the whole pass stays linear; a chain of unreadable contacts that closes on itself has
    // no readable superior.
    constexpr qsizetype kUnknown = -2;
    constexpr qsizetype kOnWalk = -3;
    std::vector<qsizetype> above(size_t(count), kUnknown);
    const auto superiorIndex = [&](qsizetype i) -> qsizetype {
        const QString &superior = contacts[i].superior;
        if (isNone(superior))
            return -1;
        return indexOf.value(superior, -1);
    };
    const auto readableAbove = [&](qsizetype start) -> qsizetype {
        std::vector<qsizetype> walk;
        qsizetype at = start;
        qsizetype answer = -1;
        while (true) {
            if (at < 0) {
                answer = -1;
                break;
            }
            if (contacts[at].readable) {
                answer = at;
                break;
            }
            if (above[size_t(at)] == kOnWalk) { // a closed chain of hidden contacts
                answer = -1;
                break;
            }
            if (above[size_t(at)] != kUnknown) {
                answer = above[size_t(at)];
                break;
            }
            above[size_t(at)] = kOnWalk;
            walk.push_back(at);
            at = superiorIndex(at);
        }
        for (const qsizetype hidden : walk)
            above[size_t(hidden)] = answer;
        return answer;
    };

    QList<ChartContact> readable;
    readable.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (!contacts[i].readable)
            continue;
        ChartContact contact = contacts[i];
        const qsizetype superior = superiorIndex(i);
        if (superior >= 0 && !contacts[superior].readable) {
            const qsizetype shown = readableAbove(superior);
            contact.superior = shown < 0 || shown == i ? kNone : contacts[shown].code;
        }
        readable.append(contact);
    }
    return readable;
}

} // namespace perikon::list
