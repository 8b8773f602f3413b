#include "RecordsetXml.h"

#include "DbError.h"
#include "RecordsetData.h"

#include <pugixml.hpp>

#include <sstream>

namespace perikon::db::RecordsetXml {

namespace {

const QString kSource = QStringLiteral("Perikon.Db.RecordsetXml");
constexpr const char *kNamespace = "urn:perikon:recordset";

// Text an XML parser would not give back byte for byte (control characters, carriage returns,
// text of blanks only) travels as base64.
bool needsEncoding(std::string_view text)
{
    bool onlyBlanks = !text.empty();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n')
            return true;
        if (c != ' ' && c != '\t' && c != '\n')
            onlyBlanks = false;
    }
    return onlyBlanks;
}

void setText(pugi::xml_node node, std::string_view bytes, bool base64)
{
    if (base64) {
        node.append_attribute("enc") = "base64";
        const QByteArray encoded
            = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())).toBase64();
        node.text().set(encoded.constData());
    } else if (!bytes.empty()) {
        node.text().set(std::string(bytes).c_str());
    }
}

QByteArray textOf(pugi::xml_node node)
{
    const QByteArray text(node.text().get());
    if (QByteArrayView(node.attribute("enc").value()) == "base64")
        return QByteArray::fromBase64(text);
    return text;
}

[[noreturn]] void malformed(const QString &detail)
{
    throw DbError(DbError::ProviderError,
                  QStringLiteral("The XML is no saved recordset: %1").arg(detail), kSource);
}

} // namespace

void save(const RecordsetData &data, const std::vector<quint32> &rows, pugi::xml_document &document)
{
    document.reset();
    pugi::xml_node root = document.append_child("recordset");
    root.append_attribute("xmlns") = kNamespace;
    root.append_attribute("version") = 1;

    pugi::xml_node columns = root.append_child("columns");
    for (const ColumnInfo &info : data.columns()) {
        pugi::xml_node column = columns.append_child("column");
        column.append_attribute("name") = info.name.toUtf8().constData();
        column.append_attribute("type") = info.type;
        column.append_attribute("size") = static_cast<long long>(info.definedSize);
        if (info.precision)
            column.append_attribute("precision") = info.precision;
        if (info.scale)
            column.append_attribute("scale") = info.scale;
        column.append_attribute("nullable") = info.nullable ? 1 : 0;
        if (info.isKey)
            column.append_attribute("key") = 1;
        if (info.rowVersion)
            column.append_attribute("rowversion") = 1;
        if (!info.baseTable.isEmpty()) {
            column.append_attribute("database") = info.baseDatabase.toUtf8().constData();
            column.append_attribute("table") = info.baseTable.toUtf8().constData();
            column.append_attribute("basecolumn") = info.baseColumn.toUtf8().constData();
        }
    }

    pugi::xml_node rowsNode = root.append_child("rows");
    const int columnCount = int(data.columns().size());
    for (const quint32 row : rows) {
        pugi::xml_node rowNode = rowsNode.append_child("row");
        for (int column = 0; column < columnCount; ++column) {
            const StoredCell &cell = data.rows.cell(row, column);
            switch (cell.kind) {
            case CellKind::Null:
                rowNode.append_child("n");
                break;
            case CellKind::Integer:
                rowNode.append_child("i").text().set(static_cast<long long>(cell.integer));
                break;
            case CellKind::Real:
                rowNode.append_child("r").text().set(
                    QByteArray::number(cell.real, 'g', 17).constData());
                break;
            case CellKind::Text: {
                const std::string_view bytes = data.rows.bytes(cell);
                setText(rowNode.append_child("t"), bytes, needsEncoding(bytes));
                break;
            }
            case CellKind::Blob:
                setText(rowNode.append_child("b"), data.rows.bytes(cell), true);
                break;
            }
        }
    }
}

QString toText(const pugi::xml_document &document)
{
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return QString::fromStdString(out.str());
}

pugi::xml_document parse(const QString &text)
{
    pugi::xml_document document;
    const QByteArray utf8 = text.toUtf8();
    const pugi::xml_parse_result result
        = document.load_buffer(utf8.constData(), std::size_t(utf8.size()),
                               pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8);
    if (!result)
        malformed(QString::fromUtf8(result.description()));
    return document;
}

std::shared_ptr<RecordsetData> load(const pugi::xml_document &document)
{
    const pugi::xml_node root = document.child("recordset");
    if (!root || QByteArrayView(root.attribute("xmlns").value()) != kNamespace)
        malformed(QStringLiteral("no recordset element"));

    std::vector<ColumnInfo> columns;
    for (pugi::xml_node node : root.child("columns").children("column")) {
        ColumnInfo info;
        info.name = QString::fromUtf8(node.attribute("name").value());
        info.type = node.attribute("type").as_int();
        info.definedSize = node.attribute("size").as_llong();
        info.precision = node.attribute("precision").as_int();
        info.scale = node.attribute("scale").as_int();
        info.nullable = node.attribute("nullable").as_int(1) != 0;
        info.isKey = node.attribute("key").as_int() != 0;
        info.rowVersion = node.attribute("rowversion").as_int() != 0;
        info.baseDatabase = QString::fromUtf8(node.attribute("database").value());
        info.baseTable = QString::fromUtf8(node.attribute("table").value());
        info.baseColumn = QString::fromUtf8(node.attribute("basecolumn").value());
        columns.push_back(std::move(info));
    }
    if (columns.empty())
        malformed(QStringLiteral("no columns"));

    auto data = std::make_shared<RecordsetData>(std::move(columns));
    const int columnCount = int(data->columns().size());
    for (pugi::xml_node rowNode : root.child("rows").children("row")) {
        const qsizetype row = data->rows.appendRow();
        int column = 0;
        for (pugi::xml_node value : rowNode.children()) {
            if (value.type() != pugi::node_element)
                continue;
            if (column >= columnCount)
                malformed(QStringLiteral("a row with more values than columns"));
            CellRef ref;
            QByteArray bytes;
            switch (value.name()[0]) {
            case 'n':
                break;
            case 'i':
                ref.kind = CellKind::Integer;
                ref.integer = value.text().as_llong();
                break;
            case 'r':
                ref.kind = CellKind::Real;
                ref.real = QByteArray(value.text().get()).toDouble();
                break;
            case 't':
            case 'b':
                ref.kind = value.name()[0] == 't' ? CellKind::Text : CellKind::Blob;
                bytes = textOf(value);
                ref.data = bytes.constData();
                ref.size = bytes.size();
                break;
            default:
                malformed(QStringLiteral("an unknown value element"));
            }
            data->rows.set(row, column++, ref);
        }
        if (column != columnCount)
            malformed(QStringLiteral("a row with fewer values than columns"));
    }
    return data;
}

} // namespace perikon::db::RecordsetXml
