// IClsCommon: field utilities: the next contact code, the required-column check and its message,
// key comparison fragments and the export of a stored picture.

#include "perikon/data/IClsCommon.h"

#include "perikon/data/ConnectionScope.h"
#include "perikon/data/ContactStatements.h"
#include "perikon/data/DataErrors.h"
#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <QFile>
#include <QHash>

#include <optional>

namespace perikon {
namespace {

// The classic "type mismatch" of a failed text-to-number conversion.
constexpr qint64 kTypeMismatch = 13;
// The classic "path/file access error".
constexpr qint64 kFileAccessError = 75;

QString eightDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 8, 10, QLatin1Char('0'));
}

qint64 codeNumber(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw db::DbError(kTypeMismatch, QStringLiteral("Type mismatch: \"%1\"").arg(text),
                          QStringLiteral("Perikon.IClsCommon"));
    return value;
}

// Display columns of the column layout and the stored columns whose values they show (lower case:
// the column information is normalized before it is read).
const QHash<QString, QString> &storedColumns()
{
    static const QHash<QString, QString> map{
        {QStringLiteral("ccusname"), QStringLiteral("ccuscode")},
        {QStringLiteral("cdepname"), QStringLiteral("ccondepart")},
        {QStringLiteral("cprincipalname"), QStringLiteral("cprincipal")},
        {QStringLiteral("cmarriagename"), QStringLiteral("bcmarriageid")},
        {QStringLiteral("csuperiorname"), QStringLiteral("csuperiorid")},
        {QStringLiteral("csexname"), QStringLiteral("bcsexid")},
    };
    return map;
}

bool zeroMeansEmpty(int type)
{
    namespace ct = db::ColumnType;
    return type == ct::Boolean || type == ct::Binary || type == ct::VarBinary
           || type == ct::LongVarBinary;
}

} // namespace

QString IClsCommon::GetContactCode()
{
    const internal::ConnectionScope scope(*this, QStringLiteral("GetContactCode"));
    db::Recordset rs;
    rs.setCursorLocation(db::Recordset::UseClient);
    rs.open(internal::nextContactCodeSql(1), connection(), db::Recordset::OpenStatic,
            db::Recordset::LockOptimistic);
    const QVariant max = rs.eof() ? QVariant() : rs.value(0);
    if (!max.isValid() || max.isNull())
        return QStringLiteral("00000001");
    const QString code = max.toString();
    if (code.size() == 8)
        return eightDigits(codeNumber(code) + 1);
    const QString tail = code.right(3);
    if (tail == QLatin1String("999"))
        return eightDigits(1000);
    return eightDigits(codeNumber(tail) + 1);
}

bool IClsCommon::CheckColumnNull(pugi::xml_node Element, const QString &TableName)
{
    try {
        // One service for the session, reading through this object's connection: a save opens
        // no connection of its own.
        if (!gColumnSet) {
            gColumnSet
                = HostRegistry::createAs<ColumnSetService>(QStringLiteral("ColumnSetService"));
            if (!gColumnSet) {
                gLastError = QStringLiteral("创建栏目设置对象失败!");
                return false;
            }
        }
        gColumnSet->Init(*connection(), hostlogin::text(gLogin.data(), "cUserId"));
        const QString colInfo = gColumnSet->getColInfo(TableName, 0);
        if (!m_requiredKnown || colInfo != m_requiredLayout) {
            QString normalized = colInfo;
            UTLCase(normalized, true);
            pugi::xml_document info;
            const std::string source = transXML::utf8(normalized);
            if (!info.load_buffer(source.data(), source.size(), pugi::parse_default,
                                  pugi::encoding_utf8)
                || !info.document_element()) {
                gLastError = QStringLiteral("XML参数格式不正确!");
                return false;
            }
            QList<RequiredColumn> required;
            for (const pugi::xpath_node &selected : info.select_nodes("//colset")) {
                const pugi::xml_node colSet = selected.node();
                const QString mustInput
                    = transXML::GetAttrValue(colSet, QStringLiteral("bMustInput"));
                if (mustInput != QLatin1String("true") && mustInput != QLatin1String("1"))
                    continue;
                const QString column
                    = transXML::GetAttrValue(colSet, QStringLiteral("cFld")).toLower();
                required.append(
                    {storedColumns().value(column, column),
                     transXML::GetAttrValue(colSet, QStringLiteral("cOriginalCaption"))});
            }
            m_requiredColumns = std::move(required);
            m_requiredLayout = colInfo;
            m_requiredKnown = true;
        }

        // Column types only matter for a required value of "0", so they are read on that need.
        std::optional<std::unique_ptr<db::Recordset>> columns;
        auto columnType = [&](const QString &column) {
            if (!columns)
                columns.emplace(OpenX(QStringLiteral("select * from crm_contact  where 1=2")));
            if (!*columns)
                return 0;
            try {
                return (*columns)->field(column).type();
            } catch (const db::DbError &) {
                return 0; // a column of another table: its text alone decides
            }
        };

        for (const RequiredColumn &required : std::as_const(m_requiredColumns)) {
            const QString value = transXML::GetNodeText(Element, required.column);
            // An empty flag or byte value is as missing as an empty text; "0" too for those.
            const bool empty
                = value.isEmpty()
                  || (value == QLatin1String("0") && zeroMeansEmpty(columnType(required.column)));
            if (empty) {
                gLastError = required.caption + QStringLiteral("是必输项，不可为空！");
                return false;
            }
        }
        return true;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        gLastError = error.description;
        internal::logDataError(QStringLiteral("IClsCommon"), QStringLiteral("CheckColumnNull"),
                               error);
        return false;
    }
}

QString IClsCommon::GetNotNullMsg(const QString &FldDispName)
{
    return GetResFormat(QStringLiteral("K2.AA.SRVTRANS.xx_notnull"), {FldDispName});
}

QString IClsCommon::ReIdVal(const QVariant &strTemp)
{
    if (!strTemp.isValid() || strTemp.isNull())
        return QStringLiteral(" is null ");
    return QStringLiteral("= '") + db::sqlEscaped(strTemp.toString()) + QLatin1Char('\'');
}

QString IClsCommon::GetPicForCRM(const QString &GUID, const QString &FileName)
{
    const internal::ConnectionScope scope(*this, QStringLiteral("GetPicForCRM"));
    db::Recordset rs;
    rs.setCursorLocation(db::Recordset::UseClient);
    rs.open(QStringLiteral("select * from aa_picture where cGUID = N'") + db::sqlEscaped(GUID)
                + QLatin1Char('\''),
            connection(), db::Recordset::OpenStatic, db::Recordset::LockOptimistic);
    if (rs.eof())
        return {};
    const QByteArray bytes = rs.value(QStringLiteral("picture")).toByteArray();
    const QString path = FileName + QLatin1Char('/') + GUID + QLatin1Char('.')
                         + rs.value(QStringLiteral("cPicturetype")).toString();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw db::DbError(kFileAccessError, file.errorString() + QStringLiteral(": ") + path,
                          QStringLiteral("Perikon.IClsCommon"));
    return path;
}

} // namespace perikon
