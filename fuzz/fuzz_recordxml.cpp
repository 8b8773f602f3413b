// Record XML as the save operations take it in: normalized (with and without ampersand escaping),
// wrapped in its data root and parsed into the working document. A document that will not parse
// fails with a message. One that parses is worked on with the node helpers the save steps use;
// the document text the component writes back loads again with every value unchanged, including
// the values the helpers set; and a row written into a record keeps its text values.

#include "FuzzCheck.h"
#include "FuzzHost.h"

#include "perikon/data/Common.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/transXML.h"
#include "perikon/session/SessionGlobals.h"

#include <QTemporaryDir>

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

using namespace perikon;
using perikon::fuzz::visible;

namespace {

// Values the save steps and the stored rows bring in, awkward for XML text.
const std::array<QString, 7> kAwkwardValues = {
    QString(),
    QStringLiteral("  "),
    QStringLiteral("Smith & Sons <Ltd> \"A\" 'B'"),
    QStringLiteral("]]>"),
    QStringLiteral("line1\nline2\tend"),
    QStringLiteral("张三 \u00e9\u2028"),
    QStringLiteral("&amp;"),
};

// A record with a column of each kind the save steps write; a row whose children all name
// columns of it is written into it.
const char kRecordColumns[] = R"(<recordset xmlns="urn:perikon:recordset" version="1"><columns>
<column name="ccontactname" type="202" size="50"/><column name="cmemo" type="203" size="1073741823"/>
<column name="inum" type="3" size="4"/><column name="fweight" type="5" size="8"/>
<column name="mamount" type="6" size="8"/><column name="ddate" type="135" size="16"/>
<column name="bflag" type="11" size="2"/><column name="oid" type="72" size="16"/>
<column name="ccode" type="200" size="8"/></columns><rows/></recordset>)";

std::vector<pugi::xml_node> rowsOf(const pugi::xml_document &document)
{
    std::vector<pugi::xml_node> rows;
    for (const pugi::xml_node row : document.document_element().children()) {
        if (row.type() == pugi::node_element)
            rows.push_back(row);
    }
    return rows;
}

// Elements, attributes and text in document order. Text is compared as the element's whole text:
// a comment or processing instruction the parser drops, or a character reference to NUL, can
// leave it in several pieces, which the written document joins. Blanks between elements are no
// value; written out, the parser drops them.
bool isBlank(const QString &text)
{
    return std::ranges::all_of(
        text, [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; });
}

QString structure(pugi::xml_node node)
{
    const bool hasElements = bool(
        node.find_child([](pugi::xml_node child) { return child.type() == pugi::node_element; }));
    QString shown;
    QString text;
    const auto flushText = [&] {
        if (!text.isEmpty() && !(hasElements && isBlank(text)))
            shown += u'[' + text + u']';
        text.clear();
    };
    for (const pugi::xml_node child : node.children()) {
        switch (child.type()) {
        case pugi::node_element:
            flushText();
            shown += u'<' + transXML::text(child.name());
            for (const pugi::xml_attribute attribute : child.attributes())
                shown += u' ' + transXML::text(attribute.name()) + QStringLiteral("=\"")
                         + transXML::text(attribute.value()) + u'"';
            shown += u'>' + structure(child) + QStringLiteral("</>");
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            text += transXML::text(child.value());
            break;
        default:
            break;
        }
    }
    flushText();
    return shown;
}

// Loads text the component wrote; it must load.
std::unique_ptr<IClsCommon> reload(const QString &written, const QString &input)
{
    auto com = std::make_unique<IClsCommon>();
    FUZZ_CHECK(com->LoadRecordXml(written),
               visible(input) + QStringLiteral("\n=>\n") + visible(written));
    return com;
}

const db::Recordset &recordColumns()
{
    static const std::unique_ptr<db::Recordset> columns = [] {
        auto rs = std::make_unique<db::Recordset>();
        rs->openXml(QString::fromUtf8(kRecordColumns));
        return rs;
    }();
    return *columns;
}

void writeIntoRecord(IClsCommon &com, pugi::xml_node row, const QString &input)
{
    for (const pugi::xml_node child : row.children()) {
        if (child.type() == pugi::node_element
            && !recordColumns().hasField(transXML::text(child.name())))
            return;
    }
    db::Recordset rs;
    rs.openXml(QString::fromUtf8(kRecordColumns));
    rs.addNew();
    gLastError.clear();
    if (!com.SetFieldValue(rs, row)) {
        FUZZ_CHECK(!gLastError.trimmed().isEmpty(), visible(input));
        return;
    }
    // Text columns hold the row's text as given; an empty text is no value. Of children naming the
    // same column, whatever the case, the last one is written.
    for (const QLatin1String name : {QLatin1String("ccontactname"), QLatin1String("cmemo")}) {
        pugi::xml_node child;
        for (const pugi::xml_node candidate : row.children()) {
            if (candidate.type() == pugi::node_element
                && transXML::text(candidate.name()).compare(name, Qt::CaseInsensitive) == 0)
                child = candidate;
        }
        if (!child)
            continue;
        const QString text = transXML::text(child.text().get());
        const QVariant stored = rs.value(QString(name));
        FUZZ_CHECK(text.isEmpty() ? stored.isNull() : stored.toString() == text,
                   visible(input) + QStringLiteral("\n") + name + QStringLiteral(": ")
                       + visible(stored.toString()));
    }
}

void checkRecordXml(const QString &input, bool convert)
{
    QString sXML = input;
    IClsCommon com;
    com.UTLCase(sXML, convert);
    gLastError.clear();
    if (!com.LoadRecordXml(internal::wrapInDataRoot(sXML))) {
        FUZZ_CHECK(!gLastError.trimmed().isEmpty(), visible(input));
        return;
    }
    pugi::xml_document &document = *com.workingDocument();

    // The text handed back to the caller (Add's sXML) loads as the same document.
    {
        const QString written = internal::xmlText(document);
        const auto again = reload(written, input);
        const QString before = structure(document);
        const QString after = structure(*again->workingDocument());
        FUZZ_CHECK(after == before, visible(input) + QStringLiteral("\n=>\n") + visible(before)
                                        + QStringLiteral("\n=>\n") + visible(after));
    }

    // (row, child name) -> the value the helpers gave it last
    std::map<std::pair<std::size_t, QString>, QString> setValues;
    const std::vector<pugi::xml_node> rows = rowsOf(document);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const pugi::xml_node row = rows[r];
        (void)transXML::GetAttrValue(row, QStringLiteral("operating"));
        (void)Common::GetFirstChildText(row, QStringLiteral("content"));
        writeIntoRecord(com, row, input);

        std::size_t index = 0;
        for (const pugi::xml_node child : row.children()) {
            if (child.type() != pugi::node_element)
                continue;
            const QString name = transXML::text(child.name());
            // Lookups go by lower-case name; a normalized document has nothing else.
            if (name != name.toLower() || name.isEmpty())
                continue;
            bool found = false;
            const QString value = transXML::GetNodeText(row, name, {}, &found);
            FUZZ_CHECK(found, visible(input) + QStringLiteral("\n") + name);
            // The first child of a name is the one every helper reads and writes.
            if (row.child(child.name()) != child)
                continue;
            const QString newValue = index % 2 == 0
                                         ? kAwkwardValues[(r + index / 2) % kAwkwardValues.size()]
                                         : value + value;
            ++index;
            FUZZ_CHECK(transXML::SetNodeText(row, name, newValue), visible(input));
            FUZZ_CHECK(transXML::GetNodeText(row, name) == newValue,
                       visible(input) + QStringLiteral("\n") + name);
            setValues[{r, name}] = newValue;
        }
        const QString now = QStringLiteral("2026-01-02 03:04:05");
        transXML::SetOrAddNodeText(row, QStringLiteral("dmodifydate"), now);
        FUZZ_CHECK(transXML::GetNodeText(row, QStringLiteral("dmodifydate")) == now,
                   visible(input));
        setValues[{r, QStringLiteral("dmodifydate")}] = now;
        transXML::RemoveChildNode(row, QStringLiteral("cusstuff"));
        setValues.erase({r, QStringLiteral("cusstuff")});
    }

    // What the helpers set survives the document text.
    const QString changed = internal::xmlText(document);
    const auto again = reload(changed, input);
    const std::vector<pugi::xml_node> reloadedRows = rowsOf(*again->workingDocument());
    FUZZ_CHECK(reloadedRows.size() == rows.size(), visible(input));
    for (const auto &[where, expected] : setValues) {
        const QString value = transXML::GetNodeText(reloadedRows[where.first], where.second);
        FUZZ_CHECK(value == expected, visible(input) + QStringLiteral("\n") + where.second
                                          + QStringLiteral(": ") + visible(expected)
                                          + QStringLiteral(" => ") + visible(value));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Failures write the data-access log; keep it out of the way.
    static QTemporaryDir logs;
    qputenv("PERIKON_LOG_DIR", logs.path().toLocal8Bit());
    fuzz::registerFuzzHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkRecordXml(input, true);
    checkRecordXml(input, false);
    return 0;
}
