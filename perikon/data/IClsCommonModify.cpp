// IClsCommon: writing changed rows back (ContactWriter), the archive operations a row may ask for
// instead (ArchiveOperations), and completing partial rows.

#include "perikon/data/IClsCommon.h"

#include "perikon/data/ArchiveOperations.h"
#include "perikon/data/ConnectionScope.h"
#include "perikon/data/ContactWriter.h"
#include "perikon/data/DataErrors.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/transXML.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon {

using namespace transXML;

namespace {

const QString kModule = QStringLiteral("IClsCommon");

bool isTable(const QString &tableName, const char *name)
{
    return tableName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QString cutAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

} // namespace

bool IClsCommon::Modify(QString &sXML, QString &TableName, QString &sMsg)
{
    const internal::ConnectionScope scope(*this, QStringLiteral("Modify"), &sMsg);
    sXML = cutAtNul(sXML);
    TableName = cutAtNul(TableName);
    gLastError.clear();
    sMsg.clear();
    UTLCase(sXML, true);
    if (!LoadRecordXml(internal::wrapInDataRoot(sXML))) {
        FailWithMessage(sMsg);
        return false;
    }
    return modifyRows(workingDocument()->document_element(), TableName, sMsg);
}

bool IClsCommon::modifyRows(pugi::xml_node root, const QString &TableName, QString &sMsg)
{
    gLastError.clear();
    sMsg.clear();
    bool result = false;
    internal::ContactWriter writer(*this, TableName);
    try {
        const std::string rowName = utf8(TableName.toLower());
        for (pugi::xml_node row = root.child(rowName.c_str()); row;
             row = row.next_sibling(rowName.c_str())) {
            const QString operating = GetAttrValue(row, QStringLiteral("operating"));
            if (!operating.isEmpty())
                return internal::ArchiveOperations(*this, TableName).perform(row, operating, sMsg);
            if (!writer.write(row)) {
                FailWithMessage(sMsg);
                return false;
            }
            result = true;
        }
        return result;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        if (error.number == db::DbError::RowNotLocated) {
            gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0400"));
            writer.removeOrphanedCompanions();
        }
        internal::logDataError(kModule, QStringLiteral("Modify"), error);
        FailWithMessage(sMsg);
        return false;
    }
}

bool IClsCommon::ModifyDifferent(QString sXML, const QString &TableName, QString &sMsg)
{
    const internal::ConnectionScope scope(*this, QStringLiteral("ModifyDifferent"), &sMsg);
    gLastError.clear();
    sMsg.clear();
    try {
        UTLCase(sXML, m_bConvertStr);
        if (!sXML.trimmed().startsWith(QLatin1String("<data")))
            sXML = QStringLiteral("<data>") + sXML + QStringLiteral("</data>");
        if (!LoadRecordXml(sXML)) {
            FailWithMessage(sMsg);
            return false;
        }
        if (!isTable(TableName, "Crm_Contact") && !isTable(TableName, "Crm_BaseCode")) {
            gLastError
                = internal::dataMessage(QStringLiteral("K2.CRM.QZBaseCodeRefer.clscommon.00083"));
            FailWithMessage(sMsg);
            return false;
        }
        pugi::xml_node root = workingDocument()->document_element();
        const std::string rowName = utf8(TableName.toLower());
        if (!internal::ContactWriter(*this, TableName)
                 .completeFromStored(root.child(rowName.c_str()))) {
            FailWithMessage(sMsg);
            return false;
        }
        // The merged row goes on as parsed: written out and normalized again, every stored "&"
        // would come back as "&amp;".
        return modifyRows(root, TableName, sMsg);
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        internal::logDataError(
            QStringLiteral("Perikon.IClsCommon"), QStringLiteral("ModifyDifferent"),
            {error.number, QStringLiteral("\r\n") + error.description, error.source});
        FailWithMessage(sMsg);
        return false;
    }
}

} // namespace perikon
