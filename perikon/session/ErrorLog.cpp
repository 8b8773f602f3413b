#include "perikon/session/ErrorLog.h"

#include "perikon/data/db/DateTimeFormat.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace perikon {
namespace {

constexpr qint64 kSrvTransLogLimit = 102400;
constexpr qint64 kErrorLogLimit = 2097152;
const QString kApplicationName = QStringLiteral("Perikon");

// Deletes an oversized log, then appends; every failure is passed over, since a log that cannot be
// written must never stop the operation that reports into it.
void appendToLog(const QString &fileName, qint64 sizeLimit, const QString &text)
{
    const QString path = QDir(componentLogFolder()).filePath(fileName);
    QFileInfo info(path);
    if (info.exists() && info.size() > sizeLimit)
        QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(text.toUtf8());
}

} // namespace

QString componentLogFolder()
{
    const QString overridden = qEnvironmentVariable("PERIKON_LOG_DIR");
    if (!overridden.isEmpty())
        return overridden;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&componentLogFolder), &info) && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    return QDir::currentPath();
}

void WriteSrvTransLog(const QString &module, const QString &procedure, qint64 number,
                      const QString &description)
{
    const QString now = QDateTime::currentDateTime().toString(db::kDateTimeFormat);
    QString entry;
    entry += QStringLiteral("*** Error Time ") + now + QStringLiteral("***\r\n");
    entry += QStringLiteral("Error:") + QString::number(number) + QStringLiteral("\r\n");
    entry += QStringLiteral("Discript:") + description + QStringLiteral("\r\n");
    entry += QStringLiteral("Procedure:") + procedure + QStringLiteral("\r\n");
    entry += QStringLiteral("Module:") + module + QStringLiteral("\r\n");
    entry += QStringLiteral("\r\n");
    appendToLog(QStringLiteral("SrvTransLog.log"), kSrvTransLogLimit, entry);
}

void WriteErrorLog(const QString &procedure, bool write, const ErrorInfo &error)
{
    if (!write)
        return;
    const QString crlf = QStringLiteral("\r\n");
    QString report;
    report += QString(70, QLatin1Char('-')) + crlf;
    report += QStringLiteral("Time             : ")
              + QDateTime::currentDateTime().toString(db::kDateTimeFormat) + crlf;
    report += QStringLiteral("[Program Information]") + crlf;
    report += QStringLiteral("  Name           : ") + kApplicationName + crlf;
    report += QStringLiteral("  Function       : ") + procedure + crlf;
    report += QStringLiteral("[VB Error]") + crlf;
    report += QStringLiteral("  Source         : ") + error.source + crlf;
    report += QStringLiteral("  Number         : ") + QString::number(error.number) + crlf;
    report += QStringLiteral("  Description    : ") + error.description + crlf;
    appendToLog(QStringLiteral("error.log"), kErrorLogLimit, report);
}

} // namespace perikon
