// Recordsets persisted as XML, from arbitrary text: a document is opened or refused with a
// DbError; every value of an opened one reads as its column's type, and saving it gives a
// document that opens again with the same columns and values.

#include "FuzzCheck.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/RecordsetData.h"
#include "perikon/data/db/RecordsetXml.h"

#include <pugixml.hpp>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

using namespace perikon::db;
using perikon::fuzz::visible;

namespace {

bool sameColumn(const ColumnInfo &a, const ColumnInfo &b)
{
    // A column names its base table, database and column together, or none of them.
    const bool sameBase = a.baseTable.isEmpty()
                              ? b.baseTable.isEmpty()
                              : a.baseTable == b.baseTable && a.baseColumn == b.baseColumn
                                    && a.baseDatabase == b.baseDatabase;
    return a.name == b.name && a.type == b.type && a.definedSize == b.definedSize
           && a.precision == b.precision && a.scale == b.scale && a.nullable == b.nullable
           && a.isKey == b.isKey && a.rowVersion == b.rowVersion && sameBase;
}

// The same number; the text of -0 is "0".
bool sameReal(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// The same value as a caller reads it: text as the characters it decodes to.
bool sameCell(const RowStore &a, const RowStore &b, qsizetype row, int column)
{
    const StoredCell &x = a.cell(row, column);
    const StoredCell &y = b.cell(row, column);
    if (x.kind != y.kind)
        return false;
    switch (x.kind) {
    case CellKind::Null:
        return true;
    case CellKind::Integer:
        return x.integer == y.integer;
    case CellKind::Real:
        return sameReal(x.real, y.real);
    case CellKind::Text:
        return a.storageValue(x).toString() == b.storageValue(y).toString();
    case CellKind::Blob:
        return a.bytes(x) == b.bytes(y);
    }
    return false;
}

QString savedText(const RecordsetData &data)
{
    std::vector<quint32> rows;
    for (qsizetype row = 0; row < data.rows.rowCount(); ++row)
        rows.push_back(quint32(row));
    pugi::xml_document document;
    RecordsetXml::save(data, rows, document);
    return RecordsetXml::toText(document);
}

void readEveryValue(const QString &text)
{
    Recordset rs;
    rs.openXml(text);
    if (rs.recordCount() == 0)
        return;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        for (int column = 0; column < rs.fieldCount(); ++column)
            (void)rs.value(column).toString();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    std::shared_ptr<RecordsetData> loaded;
    try {
        loaded = RecordsetXml::load(RecordsetXml::parse(text));
    } catch (const DbError &e) {
        FUZZ_CHECK(!e.description().isEmpty(), visible(text));
        // The recordset refuses the same text the same way, and stays closed.
        Recordset rs;
        bool refused = false;
        try {
            rs.openXml(text);
        } catch (const DbError &) {
            refused = true;
        }
        FUZZ_CHECK(refused && rs.state() == 0, visible(text));
        return 0;
    }
    readEveryValue(text);

    const QString saved = savedText(*loaded);
    std::shared_ptr<RecordsetData> reopened;
    try {
        reopened = RecordsetXml::load(RecordsetXml::parse(saved));
    } catch (const DbError &e) {
        FUZZ_CHECK(false, e.description() + QStringLiteral("\n") + visible(saved));
    }
    const auto detail = [&] {
        return visible(text) + QStringLiteral("\n=>\n") + visible(saved);
    };
    FUZZ_CHECK(reopened->columns().size() == loaded->columns().size(), detail());
    for (std::size_t column = 0; column < loaded->columns().size(); ++column)
        FUZZ_CHECK(sameColumn(loaded->columns()[column], reopened->columns()[column]), detail());
    FUZZ_CHECK(reopened->rows.rowCount() == loaded->rows.rowCount(), detail());
    for (qsizetype row = 0; row < loaded->rows.rowCount(); ++row) {
        for (int column = 0; column < int(loaded->columns().size()); ++column)
            FUZZ_CHECK(sameCell(loaded->rows, reopened->rows, row, column),
                       QStringLiteral("row %1 column %2\n").arg(row).arg(column) + detail());
    }
    // Saved once more, the document is the same text.
    FUZZ_CHECK(savedText(*reopened) == saved, detail());
    return 0;
}
