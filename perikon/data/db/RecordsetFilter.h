#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QVariant>

#include <vector>

namespace perikon::db {

struct RecordsetData;

// A recordset filter: comparisons of a column with a literal ("cItem='a''b'", "iId>=3",
// "dDate<#2024-01-01#", "cName LIKE 'A*'", "cMemo=NULL"), joined by AND and OR, with parentheses.
// Column names are compared without regard to case; text is compared exactly.
class RecordsetFilter
{
public:
    // Throws DbError for a malformed expression or an unknown column.
    RecordsetFilter(const QString &expression, const RecordsetData &data);

    bool matches(const RecordsetData &data, qsizetype row) const;

private:
    enum class Op { Eq, Ne, Lt, Le, Gt, Ge, Like };
    struct Node
    {
        enum class Kind { And, Or, Compare } kind = Kind::Compare;
        int left = -1, right = -1; // child nodes of And / Or
        int column = -1;
        Op op = Op::Eq;
        QVariant literal; // QString, double, QDateTime or null
        QByteArray literalUtf8;
        QRegularExpression pattern;
    };

    class Parser;
    bool evaluate(int node, const RecordsetData &data, qsizetype row) const;
    bool compare(const Node &node, const RecordsetData &data, qsizetype row) const;

    std::vector<Node> m_nodes;
    int m_root = -1;
};

} // namespace perikon::db
