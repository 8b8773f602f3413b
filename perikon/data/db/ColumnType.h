#pragma once

#include <QStringView>

namespace perikon::db {

// Column type codes in the classic numbering the component's logic tests for.
namespace ColumnType {
inline constexpr int Empty = 0;
inline constexpr int SmallInt = 2;
inline constexpr int Integer = 3;
inline constexpr int Single = 4;
inline constexpr int Double = 5;
inline constexpr int Currency = 6;
inline constexpr int Date = 7;
inline constexpr int Boolean = 11;
inline constexpr int Decimal = 14;
inline constexpr int SignedTinyInt = 16;
inline constexpr int TinyInt = 17; // SQL Server's tinyint is unsigned
inline constexpr int UnsignedSmallInt = 18;
inline constexpr int UnsignedInt = 19;
inline constexpr int BigInt = 20;
inline constexpr int UnsignedBigInt = 21;
inline constexpr int FileTime = 64;
inline constexpr int Guid = 72;
inline constexpr int Binary = 128;
inline constexpr int Char = 129;
inline constexpr int WChar = 130;
inline constexpr int Numeric = 131;
inline constexpr int DBDate = 133;
inline constexpr int DBTime = 134;
inline constexpr int DBTimeStamp = 135;
inline constexpr int VarNumeric = 139;
inline constexpr int VarChar = 200;
inline constexpr int LongVarChar = 201;
inline constexpr int VarWChar = 202;
inline constexpr int LongVarWChar = 203;
inline constexpr int VarBinary = 204;
inline constexpr int LongVarBinary = 205;

inline constexpr qint64 LongTextSize = 2147483647;
inline constexpr qint64 LongWideTextSize = 1073741823;

bool isInteger(int type);
bool isApproximateOrExact(int type); // single, double, currency, numeric
bool isDateTime(int type);
bool isText(int type);
bool isBinary(int type);
// Text and binary types whose declared size limits what a value may hold.
bool hasSizeLimit(int type);
} // namespace ColumnType

// A column's type as its declaration gives it.
struct DeclaredType
{
    int type = ColumnType::Empty; // Empty: no declaration (an expression column)
    qint64 definedSize = 0;
    int precision = 0;
    int scale = 0;
    bool rowVersion = false; // timestamp/rowversion: set by the database, never written
};

// Maps a declared SQL Server type ("nvarchar(50)", "money", "ntext", "numeric(18, 2)") to its code
// and defined size. An empty declaration gives ColumnType::Empty.
DeclaredType declaredTypeOf(QStringView declaration);

// The same for a PostgreSQL column as format_type() gives it ("character varying(50)",
// "numeric(19,4)", "timestamp(3) without time zone", "flag"): the suite's PostgreSQL schema
// declares each SQL Server type in one PostgreSQL form, so the codes and sizes come out as the
// SQL Server declaration gives them.
DeclaredType declaredTypeOfPostgres(QStringView formatType);

} // namespace perikon::db
