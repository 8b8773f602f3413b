// The export files: the CSV bytes a spreadsheet reads, the workbook's cells read back from its
// zip (strings, numbers and dates where each belongs), the PDF's pages and paper, and that a file
// appears whole or not at all.

#include "suite/controls/printer/CsvExport.h"
#include "suite/controls/printer/ExportColumns.h"
#include "suite/controls/printer/PdfExport.h"
#include "suite/controls/printer/PrintRenderer.h"
#include "suite/controls/printer/PrintStyle.h"
#include "suite/controls/printer/XlsxExport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

#include <memory>

using namespace perikon::suite::printer;

namespace {

PrintData dataOf(const QStringList &captions, const QList<QStringList> &rows)
{
    PrintData data;
    data.title = QStringLiteral("Contacts");
    for (const QString &caption : captions)
        data.columns.append({caption, 100, Qt::AlignLeft});
    data.rows = rows;
    return data;
}

PrintData manyRows(int rows)
{
    PrintData data = dataOf({"Code", "Name", "Phone"}, {});
    for (int r = 0; r < rows; ++r)
        data.rows.append({QString::number(r), QStringLiteral("联系人 %1").arg(r),
                          QStringLiteral("0755-%1").arg(r)});
    return data;
}

PrintLabels labels()
{
    return {QStringLiteral("Operator: %1"), QStringLiteral("Account %1 %2"),
            QStringLiteral("Date: %1"), QStringLiteral("Page %1 / %2")};
}

QByteArray unzipped(const QString &zip, const QString &member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0)
        return {};
    return unzip.readAllStandardOutput();
}

// One cell of a worksheet read back: what kind the file says it is and its value.
struct SheetCell
{
    QString kind; // "string", "number", "date"
    QString value;
};

// The cells of sheet 1 by reference ("A1"), strings resolved, dates recognised by their format.
QMap<QString, SheetCell> readWorkbook(const QString &path)
{
    pugi::xml_document strings, styles, sheet;
    const QByteArray s = unzipped(path, QStringLiteral("xl/sharedStrings.xml"));
    const QByteArray st = unzipped(path, QStringLiteral("xl/styles.xml"));
    const QByteArray sh = unzipped(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    if (!styles.load_buffer(st.constData(), size_t(st.size()))
        || !sheet.load_buffer(sh.constData(), size_t(sh.size())))
        return {};
    strings.load_buffer(s.constData(), size_t(s.size()));

    QStringList shared;
    for (const pugi::xml_node si : strings.child("sst").children("si"))
        shared << QString::fromUtf8(si.child("t").text().get());
    QMap<int, QString> formatCodes;
    for (const pugi::xml_node f : styles.child("styleSheet").child("numFmts").children("numFmt"))
        formatCodes.insert(f.attribute("numFmtId").as_int(),
                           QString::fromUtf8(f.attribute("formatCode").value()));
    QList<int> formatOfStyle;
    for (const pugi::xml_node xf : styles.child("styleSheet").child("cellXfs").children("xf"))
        formatOfStyle << xf.attribute("numFmtId").as_int();

    QMap<QString, SheetCell> cells;
    for (const pugi::xml_node row : sheet.child("worksheet").child("sheetData").children("row")) {
        for (const pugi::xml_node c : row.children("c")) {
            const QString ref = QString::fromUtf8(c.attribute("r").value());
            const QString v = QString::fromUtf8(c.child("v").text().get());
            SheetCell cell;
            if (QLatin1String(c.attribute("t").value()) == QLatin1String("s")) {
                cell = {QStringLiteral("string"), shared.value(v.toInt())};
            } else {
                const int format = formatOfStyle.value(c.attribute("s").as_int());
                const bool date = formatCodes.value(format).contains(QLatin1String("yy"));
                cell = {date ? QStringLiteral("date") : QStringLiteral("number"), v};
            }
            cells.insert(ref, cell);
        }
    }
    return cells;
}

int pdfPageCount(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page(?![s\w]))"));
    return int(QString::fromLatin1(pdf).count(page));
}

QSizeF pdfMediaBox(const QByteArray &pdf)
{
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(pdf));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_PrintExport : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void csvBytesFollowTheFormat_data();
    void csvBytesFollowTheFormat();
    void csvFileHoldsTheEncodedBytes();
    void csvOfAnyCellsFollowsTheRule();

    void typeCodesChooseTheCellKind_data();
    void typeCodesChooseTheCellKind();
    void workbookCellsKeepTheirKind();
    void workbookColumnsTakeTheirSizes();

    void pdfPagesGrowWithTheRows();
    void pdfPaperFollowsTheStyle_data();
    void pdfPaperFollowsTheStyle();

    void failedExportLeavesNoFile_data();
    void failedExportLeavesNoFile();
    void exportReplacesAnExistingFileWhole_data();
    void exportReplacesAnExistingFileWhole();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_PrintExport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_PrintExport::csvBytesFollowTheFormat_data()
{
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("plain") << QStringList{"Code", "Name"}
                           << QList<QStringList>{{"001", "Li"}, {"002", "Wang"}}
                           << bom + "Code,Name\r\n001,Li\r\n002,Wang\r\n";
    QTest::newRow("comma, quote and line breaks quoted")
        << QStringList{"A", "B", "C"}
        << QList<QStringList>{{"a,b", "say \"hi\"", "1\n2"}, {"x\r\ny", "\"", ""}}
        << bom + "A,B,C\r\n\"a,b\",\"say \"\"hi\"\"\",\"1\n2\"\r\n\"x\r\ny\",\"\"\"\",\r\n";
    QTest::newRow("captions quoted too")
        << QStringList{"Name, given", "Phone"} << QList<QStringList>{}
        << bom + "\"Name, given\",Phone\r\n";
    QTest::newRow("Chinese as UTF-8, blanks and zeros kept")
        << QStringList{"姓名", "编码"} << QList<QStringList>{{"王芳", " 0012 "}}
        << bom + QStringLiteral("姓名,编码\r\n王芳, 0012 \r\n").toUtf8();
    QTest::newRow("semicolons and tabs are not separators")
        << QStringList{"A"} << QList<QStringList>{{"a;b\tc"}} << bom + "A\r\na;b\tc\r\n";
    // Long ASCII runs are encoded eight characters at a time: what needs quotes is found inside
    // such a run, after it and in its last place.
    QTest::newRow("comma inside a long field, and after its first eight characters")
        << QStringList{"A", "B"} << QList<QStringList>{{"abc,defghijk", "abcdefghij,k"}}
        << bom + "A,B\r\n\"abc,defghijk\",\"abcdefghij,k\"\r\n";
    QTest::newRow("quote and line break in the eighth place")
        << QStringList{"A", "B"} << QList<QStringList>{{"abcdefg\"ijk", "abcdefg\nijklmnop"}}
        << bom + "A,B\r\n\"abcdefg\"\"ijk\",\"abcdefg\nijklmnop\"\r\n";
    QTest::newRow("ASCII run, then Chinese, then ASCII")
        << QStringList{"A"} << QList<QStringList>{{"ABCDEFGHIJ王芳KLMNOPQRSTUVWXYZ"}}
        << bom + QStringLiteral("A\r\nABCDEFGHIJ王芳KLMNOPQRSTUVWXYZ\r\n").toUtf8();
    QTest::newRow("outside the basic plane, and zero-width no-break spaces kept")
        << QStringList{"A", "B"}
        << QList<QStringList>{{QStringLiteral("𠀀\uFEFFx"), QStringLiteral("\uFEFFy")}}
        << bom + "A,B\r\n\xF0\xA0\x80\x80\xEF\xBB\xBFx,\xEF\xBB\xBFy\r\n";
    QTest::newRow("half a surrogate pair becomes the replacement character")
        << QStringList{"A", "B"}
        << QList<QStringList>{{QString(QChar(0xD840)), QString(QChar(0xDC00)) + "x"}}
        << bom + "A,B\r\n\xEF\xBF\xBD,\xEF\xBF\xBDx\r\n";
    QTest::newRow("no columns: empty lines")
        << QStringList{} << QList<QStringList>{{}} << bom + "\r\n\r\n";
}

// The plain rule, cell by cell, for long lists to be checked against.
QByteArray csvByTheRule(const PrintData &data)
{
    QByteArray out("\xEF\xBB\xBF");
    const auto line = [&](const QStringList &fields) {
        QStringList cells;
        for (QString field : fields) {
            if (field.contains(u',') || field.contains(u'"') || field.contains(u'\n')
                || field.contains(u'\r'))
                field = u'"' + field.replace(u'"', QStringLiteral("\"\"")) + u'"';
            cells << field;
        }
        out += cells.join(u',').toUtf8() + "\r\n";
    };
    QStringList captions;
    for (const PrintColumn &column : data.columns)
        captions << column.caption;
    line(captions);
    for (const QStringList &row : data.rows)
        line(row);
    return out;
}

void tst_PrintExport::csvOfAnyCellsFollowsTheRule()
{
    // Cells of every kind and length, many lines (the encoder hands its output on in pieces)
    // and one line longer than such a piece.
    const QStringList pieces{"a",        "Z",
                             "0",        ",",
                             "\"",       "\n",
                             "\r",       " ",
                             "王",       "芳",
                             "é",        QStringLiteral("𠀀"),
                             "ABCDEFGH", "12345678901234567"};
    QRandomGenerator random(20261207);
    PrintData data = dataOf({"Code", "Name", "Remark"}, {});
    for (int r = 0; r < 5000; ++r) {
        QStringList row;
        for (int c = 0; c < 3; ++c) {
            QString cell;
            for (int n = int(random.bounded(12)); n > 0; --n)
                cell += pieces[int(random.bounded(int(pieces.size())))];
            row << cell;
        }
        data.rows.append(row);
    }
    data.rows.append({QString(100000, u'x'), QString(30000, QChar(0x738B)), "\""});
    const QByteArray expected = csvByTheRule(data);
    QCOMPARE(CsvExport::encode(data), expected);
    const QString path = m_dir->filePath(QStringLiteral("long.csv"));
    QCOMPARE(CsvExport::write(data, path), std::nullopt);
    QCOMPARE(readAll(path), expected);
}

void tst_PrintExport::csvBytesFollowTheFormat()
{
    QFETCH(QStringList, captions);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QByteArray, expected);
    QCOMPARE(CsvExport::encode(dataOf(captions, rows)), expected);
}

void tst_PrintExport::csvFileHoldsTheEncodedBytes()
{
    const PrintData data = manyRows(500);
    const QString path = m_dir->filePath(QStringLiteral("list.csv"));
    QCOMPARE(CsvExport::write(data, path), std::nullopt);
    QCOMPARE(readAll(path), CsvExport::encode(data));
}

void tst_PrintExport::typeCodesChooseTheCellKind_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("kind");
    const auto row = [](int type, CellKind kind) {
        QTest::addRow("type %d", type) << type << int(kind);
    };
    for (int type : {2, 3, 16, 17, 18, 19, 20, 21})
        row(type, CellKind::Integer);
    for (int type : {4, 5, 6, 14, 131, 139})
        row(type, CellKind::Decimal);
    for (int type : {7, 133, 135})
        row(type, CellKind::Date);
    for (int type : {0, 1, 10, 11, 72, 129, 130, 200, 202, 203, 9999})
        row(type, CellKind::Text);
}

void tst_PrintExport::typeCodesChooseTheCellKind()
{
    QFETCH(int, type);
    QFETCH(int, kind);
    QCOMPARE(int(cellKindOfType(type)), kind);
}

void tst_PrintExport::workbookCellsKeepTheirKind()
{
    PrintData data = dataOf(
        {"编码", "电话", "数量", "金额", "日期", "时间", "备注"},
        {{"00123", "0755-8888", "42", "1,234.50", "2026-03-05", "2026-03-05 14:30:15", "x"},
         {"007", "", "-3", "-0.25", "not a date", "2026-02-30", "长 \"文\""},
         {"A1", "13800138000", "12abc", "9", "", "", ""}});
    const QList<ExportColumn> columns = exportColumns(data, QStringLiteral("20,20,4,8,8,8,200"),
                                                      QStringLiteral("10,202,3,6,135,135,9999"));
    const QString path = m_dir->filePath(QStringLiteral("list.xlsx"));
    QCOMPARE(XlsxExport::write(data, columns, path), std::nullopt);

    const QMap<QString, SheetCell> cells = readWorkbook(path);
    QVERIFY2(!cells.isEmpty(), "the workbook could not be read back");
    const auto check = [&cells](const char *ref, const char *kind, const QString &value) {
        const SheetCell cell = cells.value(QLatin1String(ref));
        QVERIFY2(cell.kind == QLatin1String(kind),
                 qPrintable(QStringLiteral("%1 is %2").arg(QLatin1String(ref), cell.kind)));
        QCOMPARE(cell.value, value);
    };
    check("A1", "string", QStringLiteral("编码"));
    check("G1", "string", QStringLiteral("备注"));
    check("A2", "string", QStringLiteral("00123"));
    check("B2", "string", QStringLiteral("0755-8888"));
    check("C2", "number", QStringLiteral("42"));
    check("D2", "number", QStringLiteral("1234.5"));
    check("E2", "date", QStringLiteral("46086")); // days since 1899-12-30
    QCOMPARE(cells.value(QStringLiteral("F2")).kind, QStringLiteral("date"));
    QVERIFY(cells.value(QStringLiteral("F2")).value.startsWith(QLatin1String("46086.604")));
    check("A3", "string", QStringLiteral("007"));
    check("C3", "number", QStringLiteral("-3"));
    check("D3", "number", QStringLiteral("-0.25"));
    check("E3", "string", QStringLiteral("not a date"));
    check("F3", "string", QStringLiteral("2026-02-30"));
    check("G3", "string", QStringLiteral("长 \"文\""));
    check("B4", "string", QStringLiteral("13800138000"));
    check("C4", "string", QStringLiteral("12abc"));
    QVERIFY(!cells.contains(QStringLiteral("B3"))); // empty texts leave the cell blank
}

void tst_PrintExport::workbookColumnsTakeTheirSizes()
{
    const PrintData data = dataOf({"Code", "A long remark column", "When"}, {{"1", "2", "3"}});
    const QList<ExportColumn> columns
        = exportColumns(data, QStringLiteral("30,2,8"), QStringLiteral("10,10,135"));
    // The grid's width (100 pixels) where the size allows more.
    QCOMPARE(XlsxExport::columnWidth(columns[0]), 100 / 7.0);
    // A size narrower than the caption widens to show the caption.
    QVERIFY(XlsxExport::columnWidth(columns[1]) >= 20);
    QVERIFY(XlsxExport::columnWidth(columns[2]) >= 19); // a date with its time fits

    const QString path = m_dir->filePath(QStringLiteral("widths.xlsx"));
    QCOMPARE(XlsxExport::write(data, columns, path), std::nullopt);
    const QByteArray sheet = unzipped(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY2(sheet.contains("<col min=\"2\" max=\"2\" width=\"22.7"), sheet.constData());
}

void tst_PrintExport::pdfPagesGrowWithTheRows()
{
    PrintStyle style;
    int previous = 0;
    for (int rows : {1, 120, 1200}) {
        const PrintData data = manyRows(rows);
        const QString path = m_dir->filePath(QStringLiteral("rows%1.pdf").arg(rows));
        QCOMPARE(PdfExport::write(data, style, labels(), path), std::nullopt);
        const int pages = pdfPageCount(readAll(path));
        QVERIFY2(pages > previous,
                 qPrintable(QStringLiteral("%1 rows: %2 pages").arg(rows).arg(pages)));
        previous = pages;

        // As many pages as the renderer lays out on that paper.
        QPdfWriter writer(m_dir->filePath(QStringLiteral("probe.pdf")));
        writer.setPageLayout(style.pageLayout());
        PrintRenderer renderer(data, style.fontSize, labels());
        renderer.layout(&writer);
        QCOMPARE(pages, renderer.pageCount());
    }
    QVERIFY(previous > 10);
}

void tst_PrintExport::pdfPaperFollowsTheStyle_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QSizeF>("points");
    QTest::newRow("default: A4 portrait") << "" << QSizeF(595, 842);
    QTest::newRow("A4 landscape") << R"(<PrnStyle orientation="landscape"/>)" << QSizeF(842, 595);
    QTest::newRow("A3 landscape") << R"(<PrnStyle paper="A3" orientation="landscape"/>)"
                                  << QSizeF(1191, 842);
    QTest::newRow("Letter portrait") << R"(<PrnStyle paper="Letter"/>)" << QSizeF(612, 792);
    QTest::newRow("bad style prints as the default") << "<PrnStyle paper=" << QSizeF(595, 842);
}

void tst_PrintExport::pdfPaperFollowsTheStyle()
{
    QFETCH(QString, style);
    QFETCH(QSizeF, points);
    const QString path = m_dir->filePath(QStringLiteral("paper.pdf"));
    QCOMPARE(PdfExport::write(manyRows(5), PrintStyle::parse(style), labels(), path), std::nullopt);
    const QSizeF box = pdfMediaBox(readAll(path));
    QVERIFY2(qAbs(box.width() - points.width()) < 1.5 && qAbs(box.height() - points.height()) < 1.5,
             qPrintable(QStringLiteral("%1 x %2").arg(box.width()).arg(box.height())));
}

void tst_PrintExport::failedExportLeavesNoFile_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("place"); // "missing folder" or "file as folder"
    QTest::addColumn<QString>("reason");
    for (const char *format : {"csv", "xlsx", "pdf"}) {
        QTest::addRow("%s into a folder that does not exist", format)
            << format << "missing folder"
            << "No such file or directory";
        QTest::addRow("%s below a file", format) << format << "file as folder"
                                                 << "Not a directory";
    }
}

void tst_PrintExport::failedExportLeavesNoFile()
{
    QFETCH(QString, format);
    QFETCH(QString, place);
    QFETCH(QString, reason);
    QString folder = m_dir->filePath(QStringLiteral("gone"));
    if (place == QLatin1String("file as folder")) {
        folder = m_dir->filePath(QStringLiteral("plain.txt"));
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString path = folder + QStringLiteral("/list.") + format;
    const PrintData data = manyRows(3);
    std::optional<QString> error;
    if (format == QLatin1String("csv"))
        error = CsvExport::write(data, path);
    else if (format == QLatin1String("xlsx"))
        error = XlsxExport::write(data, exportColumns(data, {}, {}), path);
    else
        error = PdfExport::write(data, PrintStyle(), labels(), path);
    QVERIFY(error);
    QVERIFY2(error->contains(reason), qPrintable(*error));
    QVERIFY(!QFile::exists(path));
    const QStringList left
        = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(left,
             place == QLatin1String("file as folder") ? QStringList{"plain.txt"} : QStringList{});
}

void tst_PrintExport::exportReplacesAnExistingFileWhole_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("csv") << "csv";
    QTest::newRow("xlsx") << "xlsx";
    QTest::newRow("pdf") << "pdf";
}

void tst_PrintExport::exportReplacesAnExistingFileWhole()
{
    QFETCH(QString, format);
    const QString path = m_dir->filePath(QStringLiteral("list.") + format);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(2'000'000, 'o')); // longer than the new file: no tail may remain
    }
    const PrintData data = manyRows(20);
    std::optional<QString> error;
    if (format == QLatin1String("csv"))
        error = CsvExport::write(data, path);
    else if (format == QLatin1String("xlsx"))
        error = XlsxExport::write(data, exportColumns(data, {}, {}), path);
    else
        error = PdfExport::write(data, PrintStyle(), labels(), path);
    QCOMPARE(error, std::nullopt);
    const QByteArray bytes = readAll(path);
    QVERIFY(!bytes.contains("oooooooooo"));
    QVERIFY(bytes.size() < 2'000'000);
    if (format == QLatin1String("xlsx"))
        QVERIFY(bytes.startsWith("PK"));
    else if (format == QLatin1String("pdf"))
        QVERIFY(bytes.startsWith("%PDF") && bytes.trimmed().endsWith("%%EOF"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("list.") + format});
    QVERIFY(QFileInfo(path).permissions() & QFileDevice::ReadOther);
}

int main(int argc, char *argv[])
{
    // The PDF needs fonts, so a GUI application; no window ever shows.
    QGuiApplication app(argc, argv);
    tst_PrintExport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printexport.moc"
