#include "suite/controls/printer/CsvExport.h"

#include "suite/controls/printer/AtomicFile.h"

#include <array>
#include <functional>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace perikon::suite::printer {
namespace {

// The ASCII characters that make a field quoted.
constexpr std::array<bool, 128> kQuoted = [] {
    std::array<bool, 128> quoted{};
    for (const char c : {',', '"', '\n', '\r'})
        quoted[size_t(c)] = true;
    return quoted;
}();

char *threeBytes(char *out, char16_t c)
{
    *out++ = char(0xE0 | (c >> 12));
    *out++ = char(0x80 | ((c >> 6) & 0x3F));
    *out++ = char(0x80 | (c & 0x3F));
    return out;
}

// Writes the text as UTF-8 at `out` and moves `out` past it: every character as it is, U+FEFF
// too; half of a surrogate pair without its other half (which cannot come from another cell)
// becomes U+FFFD. True when the text holds a comma, a quote or a line break, which make a field
// quoted.
bool appendUtf8(char *&out, QStringView text)
{
    // A local pointer: stores through a char pointer may alias anything the caller's pointer
    // lives in, which would then be reloaded and stored for every byte.
    char *at = out;
    bool quoted = false;
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
#if defined(__SSE2__)
    // Eight characters at a time while they are ASCII, as most codes, numbers and dates are.
    while (end - p >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i high = _mm_and_si128(units, _mm_set1_epi16(short(0xFF80)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF)
            break;
        const __m128i hits
            = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(',')),
                                        _mm_cmpeq_epi16(units, _mm_set1_epi16('"'))),
                           _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16('\n')),
                                        _mm_cmpeq_epi16(units, _mm_set1_epi16('\r'))));
        quoted |= _mm_movemask_epi8(hits) != 0;
        _mm_storel_epi64(reinterpret_cast<__m128i *>(at), _mm_packus_epi16(units, units));
        p += 8;
        at += 8;
    }
#endif
    while (p < end) {
        const char16_t c = *p++;
        if (c < 0x80) {
            quoted |= kQuoted[c];
            *at++ = char(c);
        } else if (c < 0x800) {
            *at++ = char(0xC0 | (c >> 6));
            *at++ = char(0x80 | (c & 0x3F));
        } else if (!QChar::isSurrogate(c)) {
            at = threeBytes(at, c);
        } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
            const char32_t u = QChar::surrogateToUcs4(c, *p++);
            *at++ = char(0xF0 | (u >> 18));
            *at++ = char(0x80 | ((u >> 12) & 0x3F));
            *at++ = char(0x80 | ((u >> 6) & 0x3F));
            *at++ = char(0x80 | (u & 0x3F));
        } else {
            at = threeBytes(at, QChar::ReplacementCharacter);
        }
    }
    out = at;
    return quoted;
}

// The field in quotes, its quotes doubled.
char *appendQuoted(char *out, QStringView field)
{
    *out++ = '"';
    qsizetype from = 0;
    for (qsizetype quote; (quote = field.indexOf(u'"', from)) >= 0; from = quote + 1) {
        appendUtf8(out, field.mid(from, quote - from));
        *out++ = '"';
        *out++ = '"';
    }
    appendUtf8(out, field.mid(from));
    *out++ = '"';
    return out;
}

// Encodes the lines into a buffer of a fixed size, handed to the sink whenever the next line
// might not fit: no byte array per cell and none the size of the file, whose fresh pages cost
// more than the encoding. UTF-8 is written here, in one pass that also finds whether a field
// needs quotes; a converter called per cell cost more per call than most cells take to encode.
class CsvWriter
{
public:
    // Takes the bytes written so far; false when they could not be kept.
    using Sink = std::function<bool(const char *, qsizetype)>;

    explicit CsvWriter(Sink sink)
        : m_sink(std::move(sink))
        , m_buffer(kChunk)
        , m_at(m_buffer.data())
    {
        for (const char c : {'\xEF', '\xBB', '\xBF'}) // the byte-order mark
            *m_at++ = c;
    }

    void appendLine(const QStringList &fields)
    {
        // Three bytes per UTF-16 unit at most (a doubled quote takes two), the quotes and a
        // separator per field, and the line end.
        qsizetype worstCase = 2;
        for (const QString &field : fields)
            worstCase += 3 * field.size() + 3;
        makeRoom(worstCase);
        char *out = m_at;
        for (const QString &field : fields) {
            char *const start = out;
            if (appendUtf8(out, field))
                out = appendQuoted(start, field);
            *out++ = ',';
        }
        if (!fields.isEmpty())
            --out; // the last separator
        *out++ = '\r';
        *out++ = '\n';
        m_at = out;
    }

    // Hands on what is left; false when the sink failed at any point.
    bool finish()
    {
        flush();
        return !m_failed;
    }

private:
    static constexpr qsizetype kChunk = 64 * 1024;

    void flush()
    {
        const qsizetype size = m_at - m_buffer.data();
        if (size > 0 && !m_failed)
            m_failed = !m_sink(m_buffer.data(), size);
        m_at = m_buffer.data();
    }

    void makeRoom(qsizetype bytes)
    {
        const auto room = [&] {
            return m_buffer.data() + m_buffer.size() - m_at;
        };
        if (room() >= bytes)
            return;
        flush();
        if (room() < bytes) { // a line longer than a chunk
            m_buffer.resize(size_t(bytes));
            m_at = m_buffer.data();
        }
    }

    Sink m_sink;
    std::vector<char> m_buffer;
    char *m_at;
    bool m_failed = false;
};

// Writes the data's lines, captions first; false when the sink failed.
bool writeCsv(const PrintData &data, CsvWriter::Sink sink)
{
    CsvWriter out(std::move(sink));
    QStringList captions;
    for (const PrintColumn &column : data.columns)
        captions << column.caption;
    out.appendLine(captions);
    for (const QStringList &row : data.rows)
        out.appendLine(row);
    return out.finish();
}

} // namespace

QByteArray CsvExport::encode(const PrintData &data)
{
    // The pieces are kept as they come and joined once: an array grown piece by piece would be
    // copied over and over.
    std::vector<QByteArray> pieces;
    qsizetype size = 0;
    writeCsv(data, [&](const char *from, qsizetype length) {
        pieces.emplace_back(from, length);
        size += length;
        return true;
    });
    QByteArray bytes;
    bytes.reserve(size);
    for (const QByteArray &piece : pieces)
        bytes += piece;
    return bytes;
}

std::optional<QString> CsvExport::write(const PrintData &data, const QString &path)
{
    AtomicFile file(path);
    if (auto error = file.open())
        return error;
    QFileDevice &device = file.device();
    if (!writeCsv(data, [&](const char *from, qsizetype size) {
            return device.write(from, size) == size;
        }))
        return device.errorString();
    return file.commit();
}

} // namespace perikon::suite::printer
