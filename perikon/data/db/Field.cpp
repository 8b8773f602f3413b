#include "Field.h"

#include "Recordset.h"

namespace perikon::db {

QString Field::name() const
{
    return m_recordset->columnInfo(m_index).name;
}

int Field::type() const
{
    return m_recordset->columnInfo(m_index).type;
}

qint64 Field::definedSize() const
{
    return m_recordset->columnInfo(m_index).definedSize;
}

int Field::precision() const
{
    return m_recordset->columnInfo(m_index).precision;
}

int Field::numericScale() const
{
    return m_recordset->columnInfo(m_index).scale;
}

bool Field::isNullable() const
{
    return m_recordset->columnInfo(m_index).nullable;
}

bool Field::isKey() const
{
    return m_recordset->columnInfo(m_index).isKey;
}

QString Field::baseTable() const
{
    return m_recordset->columnInfo(m_index).baseTable;
}

QString Field::baseColumn() const
{
    return m_recordset->columnInfo(m_index).baseColumn;
}

QVariant Field::value() const
{
    return m_recordset->value(m_index);
}

void Field::setValue(const QVariant &value)
{
    m_recordset->setValue(m_index, value);
}

} // namespace perikon::db
