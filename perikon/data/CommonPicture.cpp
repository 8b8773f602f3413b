// Module Common: the contact picture in AA_Picture, written and deleted by the save steps.

#include "perikon/data/Common.h"

#include "perikon/data/DataErrors.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <QFile>

namespace perikon::Common {
namespace {

const QString kModule = QStringLiteral("commonFun");

bool failWith(const QString &procedure, QString &sMsg)
{
    const ErrorInfo error = internal::currentError();
    internal::logDataError(kModule, procedure, error);
    gLastError = error.description;
    sMsg = error.description;
    return false;
}

QString newGuid(db::Connection &cnn)
{
    db::Recordset rs;
    rs.open(QStringLiteral("select GUID=NEWID()"), &cnn, db::Recordset::OpenForwardOnly,
            db::Recordset::LockReadOnly);
    return rs.value(0).toString();
}

} // namespace

bool SavePicture(db::Connection &cnn, pugi::xml_node Ele, int mode, const QString &tableName,
                 const QString &pictureColumn, QString &sMsg)
{
    try {
        pugi::xml_node picture = Ele.child(transXML::utf8(pictureColumn.toLower()).c_str());
        if (!picture)
            return true;

        // The type belongs to the picture row; the contact row has no such column.
        const QString pictureType = transXML::text(Ele.child("cpicturetype").child_value());
        Ele.remove_child("cpicturetype");
        const QString flag = transXML::GetAttrValue(picture, QStringLiteral("bxml")).toLower();
        const QString content = transXML::text(picture.text().get());
        QByteArray bytes;
        if (flag == QLatin1String("1") || flag == QLatin1String("true")) {
            // Picture content travels in record XML as base64 text: the picture control writes
            // it so, and it survives normalization (which lower-cases only tags) unchanged.
            bytes = QByteArray::fromBase64(content.toLatin1());
        } else {
            QString readError;
            bytes = ReadFileBytes(content, readError);
            if (!readError.isEmpty()) {
                gLastError = GetResServiceText(QStringLiteral("K2.AA.SRVTRANS.COMMONFUN.1151_1"));
                sMsg = gLastError;
                return false;
            }
        }

        if (mode == 2) {
            const QString code = transXML::GetNodeText(Ele, QStringLiteral("ccontactcode"));
            if (!DeletePicture(cnn, tableName, sMsg, QStringLiteral("cContactCode"), code))
                return false;
        }

        if (bytes.isEmpty()) {
            // Nothing to store: the row refers to no picture (never to the path it came from).
            transXML::SetNodeText(Ele, pictureColumn, QString());
            return true;
        }

        const QString guid = newGuid(cnn);
        transXML::SetNodeText(Ele, pictureColumn, guid);

        db::Recordset rs;
        rs.setCursorLocation(db::Recordset::UseClient);
        rs.open(QStringLiteral("SELECT top 0 * FROM AA_Picture"), &cnn, db::Recordset::OpenKeyset,
                db::Recordset::LockOptimistic);
        rs.addNew();
        rs.setValue(QStringLiteral("cGUID"), guid);
        rs.setValue(QStringLiteral("Picture"), bytes);
        rs.setValue(QStringLiteral("cTableName"), tableName);
        rs.setValue(QStringLiteral("cPictureType"), pictureType);
        rs.update();
        rs.close();
        return true;
    } catch (...) {
        return failWith(QStringLiteral("SavePicture"), sMsg);
    }
}

// keyCondition names the key column of `table`, keyValue the key of the row.
bool DeletePicture(db::Connection &cnn, const QString &table, QString &sMsg,
                   const QString &keyCondition, const QString &keyValue)
{
    try {
        db::Recordset rs;
        rs.open(QStringLiteral("select top 1 PictureGUID from ") + table + QStringLiteral(" where ")
                    + keyCondition + QStringLiteral("=N'") + db::sqlEscaped(keyValue)
                    + QLatin1Char('\''),
                &cnn, db::Recordset::OpenForwardOnly, db::Recordset::LockReadOnly);
        if (rs.eof())
            return true;
        const QString guid = rs.value(0).toString();
        rs.close();
        if (!guid.isEmpty())
            cnn.execute(QStringLiteral("delete AA_Picture where cGuid=N'") + db::sqlEscaped(guid)
                        + QLatin1Char('\''));
        return true;
    } catch (...) {
        return failWith(QStringLiteral("DeletePicture"), sMsg);
    }
}

QByteArray ReadFileBytes(const QString &path, QString &error)
{
    error.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        if (error.isEmpty())
            error = path;
        return {};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return {};
    }
    return bytes;
}

namespace {
const bool registered = [] {
    // Bytes cross the automation bridge as base64 text; the error text comes back in argument 2.
    ModuleRegistry::registerFunction(
        QStringLiteral("Common"), QStringLiteral("ReadFileBytes"), [](QVariantList &args) {
            QString error;
            const QByteArray bytes = ReadFileBytes(args.value(0).toString(), error);
            if (args.size() > 1)
                args[1] = error;
            return QVariant(QString::fromLatin1(bytes.toBase64()));
        });
    return true;
}();
} // namespace

} // namespace perikon::Common
