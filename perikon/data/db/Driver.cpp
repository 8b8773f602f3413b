#include "Driver.h"

namespace perikon::db {

QVariant ResultCursor::value(int column) const
{
    const CellRef ref = cell(column);
    switch (ref.kind) {
    case CellKind::Null:
        return {};
    case CellKind::Integer:
        return QVariant::fromValue<qlonglong>(ref.integer);
    case CellKind::Real:
        return ref.real;
    case CellKind::Text:
        return QString::fromUtf8(ref.data, ref.size);
    case CellKind::Blob:
        return QByteArray(ref.data, ref.size);
    }
    return {};
}

} // namespace perikon::db
