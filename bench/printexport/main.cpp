// bench-printexport [rows] [runs] [pdf|xlsx|csv]: 10000 rows, 7 runs and every format unless told
// otherwise. Prints the median times and the ratio of each exporter to its bare counterpart.

#include "suite/controls/printer/CsvExport.h"
#include "suite/controls/printer/ExportColumns.h"
#include "suite/controls/printer/PdfExport.h"
#include "suite/controls/printer/PrintRenderer.h"
#include "suite/controls/printer/PrintStyle.h"
#include "suite/controls/printer/XlsxExport.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

using namespace perikon::suite::printer;

namespace {

const QString kSizes = QStringLiteral("20,40,20,20,8,8,200");
const QString kTypes = QStringLiteral("10,202,202,3,6,135,203");

PrintData makeList(int rows)
{
    const QStringList surnames{"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周"};
    const QStringList given{"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军"};
    std::mt19937 random(20261206);
    PrintData data;
    data.title = QStringLiteral("联系人档案");
    data.operatorName = QStringLiteral("王芳");
    data.account = QStringLiteral("001");
    data.year = QStringLiteral("2026");
    data.date = QStringLiteral("2026-12-06");
    data.columns
        = {{"编码", 80, Qt::AlignLeft},  {"姓名", 100, Qt::AlignLeft}, {"电话", 110, Qt::AlignLeft},
           {"数量", 60, Qt::AlignRight}, {"金额", 90, Qt::AlignRight}, {"生日", 90, Qt::AlignLeft},
           {"备注", 180, Qt::AlignLeft}};
    data.rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        const QString name
            = surnames.at(int(random() % surnames.size())) + given.at(int(random() % given.size()));
        data.rows.append(
            {QStringLiteral("LX%1").arg(r, 6, 10, QLatin1Char('0')), name,
             QStringLiteral("0755-%1").arg(int(random() % 100000000), 8, 10, QLatin1Char('0')),
             QString::number(random() % 1000),
             QString::number((int(random() % 2000000) - 500000) / 100.0, 'f', 2),
             QDate(1960, 1, 1).addDays(int(random() % 15000)).toString(Qt::ISODate),
             r % 7 == 0 ? QStringLiteral("Customer visit, \"urgent\", call back")
                        : QStringLiteral("备注 %1").arg(r)});
    }
    return data;
}

PrintLabels labels()
{
    return {QStringLiteral("Operator: %1"), QStringLiteral("Account: %1  Year: %2"),
            QStringLiteral("Date: %1"), QStringLiteral("Page %1 / %2")};
}

// The same cells on the same pages with nothing around them: one drawText per non-empty cell
// into the cell's rectangle, a new page every `rowsPerPage` rows.
void barePdf(const PrintData &data, const PrintStyle &style, int rowsPerPage, const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageLayout(style.pageLayout());
    QPainter painter(&writer);
    QFont font;
    font.setPointSizeF(style.fontSize);
    painter.setFont(font);
    const double rowHeight = double(writer.height()) / (rowsPerPage + 4);
    double total = 0;
    for (const PrintColumn &column : data.columns)
        total += column.width;
    const double scale = writer.width() / total;
    for (qsizetype r = 0; r < data.rows.size(); ++r) {
        if (r > 0 && r % rowsPerPage == 0)
            writer.newPage();
        const double y = (r % rowsPerPage + 2) * rowHeight;
        double x = 0;
        for (qsizetype c = 0; c < data.columns.size(); ++c) {
            const double width = data.columns[c].width * scale;
            const QString &text = data.rows[r][c];
            if (!text.isEmpty())
                painter.drawText(QRectF(x, y, width, rowHeight),
                                 Qt::AlignVCenter | Qt::TextSingleLine | int(data.columns[c].align),
                                 text);
            x += width;
        }
    }
}

// The same cells straight into libxlsxwriter, each converted the least way its type needs.
void rawXlsx(const PrintData &data, const QList<ExportColumn> &columns, const QString &path)
{
    lxw_workbook *book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *dateFormat = workbook_add_format(book);
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    for (qsizetype c = 0; c < columns.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), columns[c].caption.toUtf8().constData(),
                               nullptr);
    for (qsizetype r = 0; r < data.rows.size(); ++r) {
        const auto row = lxw_row_t(r + 1);
        for (qsizetype c = 0; c < columns.size(); ++c) {
            const QString &text = data.rows[r][c];
            const auto col = lxw_col_t(c);
            switch (columns[c].kind) {
            case CellKind::Integer:
            case CellKind::Decimal:
                worksheet_write_number(sheet, row, col, text.toDouble(), nullptr);
                break;
            case CellKind::Date: {
                const QDate d = QDate::fromString(text, Qt::ISODate);
                lxw_datetime value{d.year(), d.month(), d.day(), 0, 0, 0};
                worksheet_write_datetime(sheet, row, col, &value, dateFormat);
                break;
            }
            case CellKind::Text:
                worksheet_write_string(sheet, row, col, text.toUtf8().constData(), nullptr);
                break;
            }
        }
    }
    workbook_close(book);
}

void rawWrite(const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char *what, double ours, const char *bareName, double bare)
{
    std::printf("%-5s exporter %9.2f ms | %-32s %9.2f ms | ratio %5.2fx (target <= 1.50x)\n", what,
                ours, bareName, bare, ours / bare);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(QByteArray(argv[1]).toInt(), 1) : 10000;
    const int runs = argc > 2 ? std::max(QByteArray(argv[2]).toInt(), 1) : 7;
    const QByteArray only = argc > 3 ? QByteArray(argv[3]) : QByteArray();
    const auto wanted = [&only](const char *format) {
        return only.isEmpty() || only == format;
    };
    const PrintData data = makeList(rows);
    const PrintStyle style;
    QTemporaryDir dir;
    const QString ours = dir.filePath(QStringLiteral("ours"));
    const QString bare = dir.filePath(QStringLiteral("bare"));

    QPdfWriter probe(dir.filePath(QStringLiteral("probe.pdf")));
    probe.setPageLayout(style.pageLayout());
    PrintRenderer layout(data, style.fontSize, labels());
    layout.layout(&probe);
    std::printf("Export of %d rows x %lld columns, %d runs each, medians (%d PDF pages)\n", rows,
                qlonglong(data.columns.size()), runs, layout.pageCount());

    // The two sides take turns, each going first every other run, so neither profits from what
    // the other left in caches or the heap.
    const auto pair = [&](const std::function<void()> &mine, const std::function<void()> &raw) {
        mine(); // warm-up: fonts, allocations
        raw();
        std::vector<double> a, b;
        for (int run = 0; run < runs; ++run) {
            if (run % 2 == 0) {
                a.push_back(timeMs(mine));
                b.push_back(timeMs(raw));
            } else {
                b.push_back(timeMs(raw));
                a.push_back(timeMs(mine));
            }
        }
        return std::pair{median(a), median(b)};
    };

    if (wanted("pdf")) {
        const auto [pdfOurs, pdfBare] = pair(
            [&] { (void)PdfExport::write(data, style, labels(), ours + QStringLiteral(".pdf")); },
            [&] { barePdf(data, style, layout.rowsPerPage(), bare + QStringLiteral(".pdf")); });
        report("PDF", pdfOurs, "bare QPainter loop", pdfBare);
    }

    const QList<ExportColumn> columns = exportColumns(data, kSizes, kTypes);
    if (wanted("xlsx")) {
        const auto [xlsxOurs, xlsxRaw]
            = pair([&] { (void)XlsxExport::write(data, columns, ours + QStringLiteral(".xlsx")); },
                   [&] { rawXlsx(data, columns, bare + QStringLiteral(".xlsx")); });
        report("XLSX", xlsxOurs, "raw libxlsxwriter", xlsxRaw);
    }

    if (wanted("csv")) {
        const QByteArray bytes = CsvExport::encode(data);
        const auto [csvOurs, csvRaw]
            = pair([&] { (void)CsvExport::write(data, ours + QStringLiteral(".csv")); },
                   [&] { rawWrite(bytes, bare + QStringLiteral(".csv")); });
        report("CSV", csvOurs, "QFile write of the same bytes", csvRaw);
    }
    return 0;
}
