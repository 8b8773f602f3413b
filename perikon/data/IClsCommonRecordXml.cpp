// IClsCommon: record XML normalization, parsing, and writing a row element into a record.

#include "perikon/data/IClsCommon.h"

#include "perikon/data/Common.h"
#include "perikon/data/DataErrors.h"
#include "perikon/data/RecordXmlSyntax.h"
#include "perikon/data/db/ColumnType.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/session/SessionGlobals.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace perikon {
namespace {

const QString kModule = QStringLiteral("IClsCommon");
// The number a refused record document is logged under (the classic "application error").
constexpr qint64 kNotWellFormed = 440;

enum class ValueRule { Raw, Number, ContactCode };

// Numeric types take the leading number of the text.
namespace ct = db::ColumnType;
constexpr std::array kNumberTypes{ct::Single,  ct::Double,  ct::Currency,
                                  ct::Decimal, ct::Numeric, ct::VarNumeric};
// Integers, boolean, GUID, byte arrays, dates and times: the text as it is.
constexpr std::array kRawTypes{
    ct::SmallInt,    ct::Integer,   ct::SignedTinyInt,  ct::TinyInt, ct::UnsignedSmallInt,
    ct::UnsignedInt, ct::BigInt,    ct::UnsignedBigInt, ct::Boolean, ct::Guid,
    ct::Binary,      ct::VarBinary, ct::LongVarBinary,  ct::Date,    ct::FileTime,
    ct::DBDate,      ct::DBTime,    ct::DBTimeStamp};

ValueRule ruleFor(int type, const QString &column)
{
    if (std::ranges::find(kNumberTypes, type) != kNumberTypes.end())
        return ValueRule::Number;
    if (std::ranges::find(kRawTypes, type) == kRawTypes.end()
        && column.compare(QLatin1String("cContactCode"), Qt::CaseInsensitive) == 0)
        return ValueRule::ContactCode;
    return ValueRule::Raw;
}

// The number a text begins with, "." as the decimal point whatever the locale: "12,5" is 12,
// " 3.5kg" is 3.5, and a text without a leading number is 0.
double leadingNumber(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][+-]?\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
}

bool isNullValue(const QVariant &value)
{
    return !value.isValid() || value.isNull() || value.toString().isEmpty();
}

} // namespace

void IClsCommon::UTLCase(QString &sXML, bool bConvertStr)
{
    Common::EscapeXmlText(sXML, bConvertStr);
}

bool IClsCommon::LoadRecordXml(const QString &sXML)
{
    if (!m_document)
        m_document = std::make_unique<pugi::xml_document>();
    std::optional<QString> problem = internal::recordXmlProblem(sXML);
    if (!problem) {
        const std::string source = transXML::utf8(sXML);
        // A value of blanks only is a value: keep whitespace-only element text.
        const pugi::xml_parse_result parsed = m_document->load_buffer(
            source.data(), source.size(), pugi::parse_default | pugi::parse_ws_pcdata_single,
            pugi::encoding_utf8);
        if (!parsed)
            problem = QString::fromUtf8(parsed.description());
    }
    if (problem) {
        // Nothing of a refused document may stay behind for the rows of the caller.
        m_document->reset();
        gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.XMLMSGParseErr01"))
                     + QStringLiteral("\r\n")
                     + internal::dataMessage(QStringLiteral("K2.CRM.COMMON.XMLMSGParseErr02"));
        internal::logDataError(kModule, QStringLiteral("LoadRecordXml"),
                               {kNotWellFormed, *problem, QStringLiteral("Perikon")});
        return false;
    }
    return true;
}

bool IClsCommon::SetFieldValue(db::Recordset &rs, pugi::xml_node node)
{
    QString column;
    try {
        bool sawContactCode = false;
        for (const pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            column = transXML::text(child.name());
            const QString lower = column.toLower();
            // The row version is the database's; the default-contact flag is the save steps'.
            if (lower == QLatin1String("qzts") || lower == QLatin1String("bdefaultcon"))
                continue;

            const QString text = transXML::text(child.text().get());
            db::Field field = rs.field(column);
            const ValueRule rule = ruleFor(field.type(), field.name());
            if (rule == ValueRule::ContactCode)
                sawContactCode = true;

            if (rule == ValueRule::ContactCode && text.isEmpty())
                field.setValue(GetContactCode());
            else if (text.isEmpty())
                field.setValue(QVariant());
            else if (rule == ValueRule::Number)
                field.setValue(leadingNumber(text));
            else
                field.setValue(text);
        }

        // A new row that names no contact code gets the next free one, as an empty code does.
        if (!sawContactCode) {
            for (int i = 0; i < rs.fieldCount(); ++i) {
                db::Field field = rs.field(i);
                if (ruleFor(field.type(), field.name()) != ValueRule::ContactCode)
                    continue;
                if (isNullValue(field.value())) {
                    column = field.name();
                    field.setValue(GetContactCode());
                }
                break;
            }
        }
        return true;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        gLastError = GetResArgs(QStringLiteral("K2.CRM.COMMON.DBMSG.Fld01"), {column})
                     + QStringLiteral("\r\n")
                     + internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Fld02"));
        internal::logDataError(QStringLiteral("IClsCommon"), QStringLiteral("SetFieldValue"),
                               error);
        return false;
    }
}

} // namespace perikon
