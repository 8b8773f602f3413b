#include "suite/controls/printer/CsvExport.h"

#include "suite/controls/printer/AtomicFile.h"

#include <QStringEncoder>

namespace perikon::suite::printer {
namespace {

bool needsQuotes(QStringView field)
{
    for (const QChar c : field) {
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

// Encodes straight into one buffer sized for the worst case (three bytes per UTF-16 unit, a
// quote pair, a separator): a list of 10,000 rows would otherwise make a byte array per cell.
class Utf8Writer
{
public:
    explicit Utf8Writer(qsizetype worstCase)
        : m_out(worstCase, Qt::Uninitialized)
        , m_at(m_out.data())
    {}

    static qsizetype worstCase(const QStringList &fields)
    {
        qsizetype bytes = 2; // CRLF
        for (const QString &field : fields)
            bytes += 3 * field.size() + 3;
        return bytes;
    }

    void append(QStringView text) { m_at = m_encoder.appendToBuffer(m_at, text); }
    void append(char c) { *m_at++ = c; }

    void appendField(QStringView field)
    {
        if (!needsQuotes(field)) {
            append(field);
            return;
        }
        append('"');
        qsizetype from = 0;
        for (qsizetype quote; (quote = field.indexOf(u'"', from)) >= 0; from = quote + 1) {
            append(field.mid(from, quote - from));
            append('"');
            append('"');
        }
        append(field.mid(from));
        append('"');
    }

    void appendLine(const QStringList &fields)
    {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                append(',');
            appendField(fields[i]);
        }
        append('\r');
        append('\n');
    }

    QByteArray take()
    {
        m_out.truncate(m_at - m_out.constData());
        return std::move(m_out);
    }

private:
    // Stateless: a stray half of a surrogate pair in one cell must not reach into the next.
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
    QByteArray m_out;
    char *m_at;
};

} // namespace

QByteArray CsvExport::encode(const PrintData &data)
{
    QStringList captions;
    for (const PrintColumn &column : data.columns)
        captions << column.caption;
    qsizetype worstCase = 3 + Utf8Writer::worstCase(captions);
    for (const QStringList &row : data.rows)
        worstCase += Utf8Writer::worstCase(row);
    Utf8Writer out(worstCase);
    for (const char c : {'\xEF', '\xBB', '\xBF'}) // the byte-order mark
        out.append(c);
    out.appendLine(captions);
    for (const QStringList &row : data.rows)
        out.appendLine(row);
    return out.take();
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
