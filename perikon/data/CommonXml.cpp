// Module Common: record-XML normalization, N-prefixed literals and recordsets persisted as XML.

#include "perikon/data/Common.h"

#include "perikon/data/DataErrors.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlTokenizer.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <algorithm>

namespace perikon::Common {

void EscapeXmlText(QString &s, bool bConvertStr)
{
    if (bConvertStr)
        s.replace(QLatin1Char('&'), QLatin1String("&amp;"));

    // Every tag from "<" to the next ">" on the same line, attributes and their values included,
    // goes to lower case: a "<" followed by at least one character other than a line feed, then
    // the first ">" before the line ends. One pass, so a long line of "<" without ">" costs no
    // more than any other text.
    const qsizetype size = s.size();
    QString normalized;
    normalized.reserve(size);
    qsizetype copied = 0;
    qsizetype from = 0;
    while ((from = s.indexOf(QLatin1Char('<'), from)) >= 0) {
        const qsizetype open = from;
        if (open + 1 >= size || s.at(open + 1) == QLatin1Char('\n')) {
            from = open + 1;
            continue;
        }
        qsizetype close = open + 2;
        while (close < size && s.at(close) != QLatin1Char('>') && s.at(close) != QLatin1Char('\n'))
            ++close;
        if (close == size || s.at(close) == QLatin1Char('\n')) {
            // No "<" before this point on the line has a ">" to end it either.
            from = close;
            continue;
        }
        normalized += QStringView(s).mid(copied, open - copied);
        const QStringView tag = QStringView(s).mid(open, close + 1 - open);
        if (std::ranges::all_of(tag, [](QChar c) { return c.unicode() < 0x80; })) {
            // Tags are mostly plain ASCII: lowered as they are copied, without a copy of their own.
            for (const QChar c : tag)
                normalized += c.unicode() >= u'A' && c.unicode() <= u'Z'
                                  ? QChar(c.unicode() + (u'a' - u'A'))
                                  : c;
        } else {
            normalized += tag.toString().toLower();
        }
        copied = close + 1;
        from = copied;
    }
    if (copied == 0)
        return;
    normalized += QStringView(s).mid(copied);
    s = normalized;
}

namespace {

using db::SqlToken;

// The comparisons after which a literal is national text: "=", ">", "<" and every operator that
// ends in one of them (">=", "<>", "!=" ...), written right before the quote.
bool endsInComparison(const SqlToken &token)
{
    if (token.kind != SqlToken::Kind::Operator)
        return false;
    const QChar last = token.text.back();
    return last == QLatin1Char('=') || last == QLatin1Char('>') || last == QLatin1Char('<');
}

bool isSingleBlank(const SqlToken &token)
{
    return token.kind == SqlToken::Kind::Whitespace && token.text == QLatin1String(" ");
}

} // namespace

QString ToNSqlLiterals(const QString &sql)
{
    const std::vector<SqlToken> tokens = db::SqlTokenizer::tokenize(sql);
    const bool insert = std::ranges::any_of(
        tokens, [](const SqlToken &token) { return token.isWord(u"insert"); });

    QString result;
    result.reserve(sql.size() + sql.size() / 8);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const SqlToken &token = tokens[i];
        if (token.kind != SqlToken::Kind::String || token.isNationalString()) {
            result += token.text;
            continue;
        }
        const SqlToken *before = i >= 1 ? &tokens[i - 1] : nullptr;
        const SqlToken *beforeBlank = i >= 2 && isSingleBlank(*before) ? &tokens[i - 2] : nullptr;
        bool national = false;
        if (before && endsInComparison(*before)) {
            national = true;
        } else if (beforeBlank && endsInComparison(*beforeBlank)
                   && beforeBlank->text.back() == QLatin1Char('=')) {
            // "= 'x'" is written "=N'x'": the blank goes with the prefix.
            result.chop(1);
            national = true;
        } else if (beforeBlank && beforeBlank->isWord(u"like")) {
            national = true;
        } else if (insert && before && before->isPunct(QLatin1Char(','))) {
            national = true;
        } else if (insert && before && before->isPunct(QLatin1Char('('))) {
            // A literal that opens a value list with a comma stays as written.
            national = !token.text.startsWith(QLatin1String("',"));
        }
        if (national)
            result += QLatin1Char('N');
        result += token.text;
    }
    return result;
}

bool XmlToRecordset(const QString &sXML, std::unique_ptr<db::Recordset> &rs, QString &sMsg)
{
    try {
        pugi::xml_document document;
        const std::string source = transXML::utf8(sXML);
        if (!document.load_buffer(source.data(), source.size(), pugi::parse_default,
                                  pugi::encoding_utf8)) {
            sMsg = GetResServiceText(QStringLiteral("K2.AA.ARCHIVE.COMMON.xmlloaderror"));
            return false;
        }
        auto opened = std::make_unique<db::Recordset>();
        opened->openXml(document);
        rs = std::move(opened);
        return true;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        internal::logDataError(QStringLiteral("commonFun"), QStringLiteral("ConvertFromHex"),
                               error);
        sMsg = error.description;
        return false;
    }
}

QString GetFirstChildText(pugi::xml_node node, const QString &name, const QString &defaultText,
                          bool *found)
{
    if (found)
        *found = false;
    const pugi::xml_node child
        = node ? node.child(transXML::utf8(name.toLower()).c_str()) : pugi::xml_node();
    const pugi::xml_node first = child.first_child();
    if (!first) {
        gLastError = GetResFormat(QStringLiteral("K2.AA.SRVTRANS.XML.node_noexist"), {name});
        return defaultText;
    }
    if (found)
        *found = true;
    if (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata)
        return transXML::text(first.value());
    return transXML::text(first.text().get());
}

namespace {
const bool registered = [] {
    ModuleRegistry::registerFunction(
        QStringLiteral("Common"), QStringLiteral("ToNSqlLiterals"),
        [](QVariantList &args) { return QVariant(ToNSqlLiterals(args.value(0).toString())); });
    // The text is normalized in place: the caller reads it back from the first argument.
    ModuleRegistry::registerFunction(
        QStringLiteral("Common"), QStringLiteral("EscapeXmlText"), [](QVariantList &args) {
            if (args.isEmpty())
                args.append(QString());
            QString s = args.at(0).toString();
            EscapeXmlText(s, args.size() > 1 ? args.at(1).toBool() : true);
            args[0] = s;
            return QVariant();
        });
    return true;
}();
} // namespace

} // namespace perikon::Common
