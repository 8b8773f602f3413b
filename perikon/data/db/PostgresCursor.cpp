#include "PostgresCursor.h"

#include <libpq-fe.h>

#include <cstdlib>

namespace perikon::db {

namespace {

CellKind cellKindOf(unsigned type)
{
    switch (type) {
    case PostgresType::Bool:
    case PostgresType::Int8:
    case PostgresType::Int2:
    case PostgresType::Int4:
    case PostgresType::Oid:
        return CellKind::Integer;
    case PostgresType::Float4:
    case PostgresType::Float8:
    case PostgresType::Numeric:
        return CellKind::Real;
    case PostgresType::Bytea:
        return CellKind::Blob;
    default:
        return CellKind::Text;
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

} // namespace

PostgresCursor::PostgresCursor(PgResultHandle result, std::shared_ptr<const ResultColumns> columns,
                               const std::vector<unsigned> &types)
    : m_result(std::move(result))
    , m_columns(std::move(columns))
    , m_rows(PQntuples(m_result.get()))
    , m_blobs(m_columns->list().size())
{
    for (unsigned type : types)
        m_kinds.push_back(cellKindOf(type));
}

bool PostgresCursor::next()
{
    if (m_row + 1 >= m_rows) {
        m_row = m_rows;
        return false;
    }
    ++m_row;
    return true;
}

CellRef PostgresCursor::cell(int column) const
{
    CellRef ref;
    if (m_row < 0 || m_row >= m_rows || PQgetisnull(m_result.get(), m_row, column))
        return ref;
    const char *text = PQgetvalue(m_result.get(), m_row, column);
    const int length = PQgetlength(m_result.get(), m_row, column);
    switch (m_kinds[std::size_t(column)]) {
    case CellKind::Integer:
        ref.kind = CellKind::Integer;
        if (text[0] == 't' || text[0] == 'f')
            ref.integer = text[0] == 't' ? 1 : 0;
        else
            ref.integer = std::strtoll(text, nullptr, 10);
        break;
    case CellKind::Real:
        ref.kind = CellKind::Real;
        ref.real = std::strtod(text, nullptr);
        break;
    case CellKind::Blob: {
        // bytea arrives in hex form: \x0a1b...
        QByteArray &bytes = m_blobs[std::size_t(column)];
        bytes.resize(length > 2 ? (length - 2) / 2 : 0);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(hexValue(text[2 + 2 * i]) << 4 | hexValue(text[3 + 2 * i]));
        ref.kind = CellKind::Blob;
        ref.data = bytes.constData();
        ref.size = bytes.size();
        break;
    }
    default:
        ref.kind = CellKind::Text;
        ref.data = text;
        ref.size = length;
        break;
    }
    return ref;
}

} // namespace perikon::db
