#include "suite/controls/printer/CsvExport.h"

#include "suite/controls/printer/AtomicFile.h"

namespace perikon::suite::printer {
namespace {

bool needsQuotes(const QString &field)
{
    for (const QChar c : field) {
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

void appendField(QByteArray &out, const QString &field)
{
    if (!needsQuotes(field)) {
        out += field.toUtf8();
        return;
    }
    out += '"';
    out += QString(field).replace(QLatin1Char('"'), QLatin1String("\"\"")).toUtf8();
    out += '"';
}

void appendLine(QByteArray &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, fields[i]);
    }
    out += "\r\n";
}

} // namespace

QByteArray CsvExport::encode(const PrintData &data)
{
    QByteArray out("\xEF\xBB\xBF");
    QStringList captions;
    for (const PrintColumn &column : data.columns)
        captions << column.caption;
    appendLine(out, captions);
    for (const QStringList &row : data.rows)
        appendLine(out, row);
    return out;
}

std::optional<QString> CsvExport::write(const PrintData &data, const QString &path)
{
    AtomicFile file(path);
    if (auto error = file.open())
        return error;
    const QByteArray bytes = encode(data);
    if (file.device().write(bytes) != bytes.size())
        return file.device().errorString();
    return file.commit();
}

} // namespace perikon::suite::printer
