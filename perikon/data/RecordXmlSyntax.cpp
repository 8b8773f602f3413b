#include "perikon/data/RecordXmlSyntax.h"

#include <QScopeGuard>
#include <QXmlStreamReader>

namespace perikon::internal {
namespace {

// XML 1.0 Char: tab, line feed, carriage return, and the code points from U+0020 on except the
// surrogate block, U+FFFE and U+FFFF. A surrogate is only valid as half of a pair.
std::optional<QString> characterProblem(const QString &xml)
{
    const qsizetype size = xml.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = xml.at(i).unicode();
        if (c >= 0x20 && c < 0xD800)
            continue;
        if (c == 0x9 || c == 0xA || c == 0xD || (c >= 0xE000 && c <= 0xFFFD))
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < size && xml.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        return QStringLiteral("character U+%1 at offset %2 is not allowed in XML")
            .arg(int(c), 4, 16, QLatin1Char('0'))
            .arg(i);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> recordXmlProblem(const QString &xml)
{
    if (auto problem = characterProblem(xml))
        return problem;
    // One reader per thread, cleared for each document: setting a reader up costs as much as
    // reading a record with it.
    thread_local QXmlStreamReader reader;
    reader.clear();
    reader.addData(xml);
    const auto release = qScopeGuard([] { reader.clear(); });
    while (!reader.atEnd()) {
        // The tree parser ignores a document type and its entities; a record has no use for one.
        if (reader.readNext() == QXmlStreamReader::DTD)
            return QStringLiteral("a document type declaration is not allowed (line %1)")
                .arg(reader.lineNumber());
    }
    if (reader.hasError())
        return QStringLiteral("%1 (line %2, column %3)")
            .arg(reader.errorString())
            .arg(reader.lineNumber())
            .arg(reader.columnNumber());
    return std::nullopt;
}

} // namespace perikon::internal
