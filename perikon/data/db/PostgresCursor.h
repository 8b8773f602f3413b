#pragma once

#include "Driver.h"
#include "PgResultHandle.h"

#include <QByteArray>

#include <vector>

namespace perikon::db {

// Oids of the built-in types whose values are not handed over as text.
namespace PostgresType {
inline constexpr unsigned Bool = 16;
inline constexpr unsigned Bytea = 17;
inline constexpr unsigned Int8 = 20;
inline constexpr unsigned Int2 = 21;
inline constexpr unsigned Int4 = 23;
inline constexpr unsigned Oid = 26;
inline constexpr unsigned Float4 = 700;
inline constexpr unsigned Float8 = 701;
inline constexpr unsigned Numeric = 1700;
} // namespace PostgresType

// The rows of one PostgreSQL result, all received: values are parsed from libpq's text form into
// the storage kinds of their columns' types.
class PostgresCursor final : public ResultCursor
{
public:
    // `types` are the oids of the types the columns' values have.
    PostgresCursor(PgResultHandle result, std::shared_ptr<const ResultColumns> columns,
                   const std::vector<unsigned> &types);

    const std::vector<ColumnInfo> &columns() const override { return m_columns->list(); }
    std::shared_ptr<const ResultColumns> describedColumns() const override { return m_columns; }
    bool next() override;
    CellRef cell(int column) const override;

private:
    PgResultHandle m_result;
    std::shared_ptr<const ResultColumns> m_columns;
    std::vector<CellKind> m_kinds;
    int m_rows;
    int m_row = -1;
    mutable std::vector<QByteArray> m_blobs; // decoded bytea values of the current row
};

} // namespace perikon::db
