// Module Common: record-XML normalization, N-prefixed literals and recordsets persisted as XML.

#include "perikon/data/Common.h"

#include "perikon/data/DataErrors.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <QRegularExpression>

namespace perikon::Common {

void EscapeXmlText(QString &s, bool bConvertStr)
{
    if (bConvertStr)
        s.replace(QLatin1Char('&'), QLatin1String("&amp;"));

    // Every tag from "<" to the next ">" on the same line, attributes and their values included.
    static const QRegularExpression tag(QStringLiteral("<.+?>"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString normalized;
    normalized.reserve(s.size());
    qsizetype copied = 0;
    for (QRegularExpressionMatchIterator it = tag.globalMatch(s); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        normalized += QStringView(s).mid(copied, match.capturedStart() - copied);
        normalized += match.capturedView().toString().toLower();
        copied = match.capturedEnd();
    }
    normalized += QStringView(s).mid(copied);
    s = normalized;
}

namespace {

// Inserts "N" before the quote of every `pair` (e.g. "='") that stands outside a string literal:
// an even number of quotes before it means every literal opened so far is closed again.
QString prefixOutsideLiterals(QString sql, QLatin1String pair)
{
    qsizetype from = 0;
    while ((from = sql.indexOf(pair, from)) >= 0) {
        const qsizetype quote = from + pair.size() - 1;
        if (QStringView(sql).left(from).count(QLatin1Char('\'')) % 2 == 0) {
            sql.insert(quote, QLatin1Char('N'));
            from = quote + 2;
        } else {
            from = quote + 1;
        }
    }
    return sql;
}

} // namespace

QString ToNSqlLiterals(const QString &sql)
{
    QString result = prefixOutsideLiterals(sql, QLatin1String("='"));
    result.replace(QLatin1String("= '"), QLatin1String("=N'"));
    result.replace(QLatin1String(">'"), QLatin1String(">N'"));
    result.replace(QLatin1String("<'"), QLatin1String("<N'"));
    result.replace(QLatin1String("like '"), QLatin1String("like N'"));
    if (result.contains(QLatin1String("insert"), Qt::CaseInsensitive)) {
        result = prefixOutsideLiterals(result, QLatin1String(",'"));
        result.replace(QLatin1String("('"), QLatin1String("(N'"));
        result.replace(QLatin1String("(N',"), QLatin1String("(',"));
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
