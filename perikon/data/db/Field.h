#pragma once

#include <QString>
#include <QVariant>

namespace perikon::db {

class Recordset;

// One column of a recordset as seen from its current record. A light handle: it stays valid while
// the recordset is open.
class Field
{
public:
    Field(Recordset &recordset, int index)
        : m_recordset(&recordset)
        , m_index(index)
    {}

    int index() const { return m_index; }
    QString name() const;
    int type() const;
    qint64 definedSize() const;
    int precision() const;
    int numericScale() const;
    bool isNullable() const;
    bool isKey() const;
    QString baseTable() const;
    QString baseColumn() const;

    // The value in the current record; throws DbError at BOF or EOF.
    QVariant value() const;
    // Throws DbError when the column refuses the value or the recordset cannot be changed.
    void setValue(const QVariant &value);

private:
    Recordset *m_recordset;
    int m_index;
};

} // namespace perikon::db
