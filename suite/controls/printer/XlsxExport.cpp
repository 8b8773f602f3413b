#include "suite/controls/printer/XlsxExport.h"

#include "suite/controls/printer/AtomicFile.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

namespace perikon::suite::printer {
namespace {

// Integers beyond this lose digits as a spreadsheet number; they stay text.
constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53

// Digits with optional thousands separators in groups of three, as a grid shows amounts.
QString withoutGroupSeparators(const QString &text)
{
    if (!text.contains(QLatin1Char(',')))
        return text;
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? text : text.left(point);
    const QStringList groups = whole.split(QLatin1Char(','));
    for (qsizetype i = 1; i < groups.size(); ++i) {
        if (groups[i].size() != 3)
            return text;
    }
    if (groups.first().isEmpty() || groups.first() == QLatin1String("-"))
        return text;
    return QString(text).remove(QLatin1Char(','));
}

int digits(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (i >= text.size() || !text[i].isDigit())
            return -1;
        value = value * 10 + text[i].digitValue();
    }
    return value;
}

struct Workbook
{
    lxw_workbook *book = nullptr;
    ~Workbook()
    {
        if (book)
            workbook_close(book); // only after a failure: the file is discarded anyway
    }
    lxw_error close()
    {
        const lxw_error error = workbook_close(book);
        book = nullptr;
        return error;
    }
};

} // namespace

std::optional<double> XlsxExport::numberOf(const QString &text, CellKind kind)
{
    const QString plain = withoutGroupSeparators(text.trimmed());
    if (plain.isEmpty())
        return std::nullopt;
    bool ok = false;
    if (kind == CellKind::Integer) {
        const qlonglong value = plain.toLongLong(&ok);
        if (!ok || std::abs(double(value)) > kLargestExactInteger)
            return std::nullopt;
        return double(value);
    }
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<SheetDate> XlsxExport::dateOf(const QString &shown)
{
    // yyyy-MM-dd or yyyy/MM/dd, then optionally a blank or 'T' and HH:mm[:ss]
    const QString text = shown.trimmed();
    if (text.size() < 10 || (text[4] != u'-' && text[4] != u'/') || text[7] != text[4])
        return std::nullopt;
    const QDate date(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2));
    if (!date.isValid())
        return std::nullopt;
    if (text.size() == 10)
        return SheetDate{date, QTime(0, 0)};
    if ((text[10] != u' ' && text[10] != u'T') || text.size() < 16 || text[13] != u':')
        return std::nullopt;
    int seconds = 0;
    if (text.size() >= 19 && text[16] == u':')
        seconds = digits(text, 17, 2);
    else if (text.size() != 16)
        return std::nullopt;
    const QTime time(digits(text, 11, 2), digits(text, 14, 2), seconds);
    if (!time.isValid())
        return std::nullopt;
    return SheetDate{date, time};
}

double XlsxExport::columnWidth(const ExportColumn &column)
{
    // Chinese characters take two character widths.
    double caption = 0;
    for (const QChar c : column.caption)
        caption += c.unicode() >= 0x2E80 ? 2 : 1;
    // As wide as the grid shows the column, but never wider than its values can be: a database
    // size of 60 characters would make a sheet of mostly blank columns.
    const double shown = column.pixelWidth / 7.0;
    double width = column.size > 0 ? std::min<double>(column.size, std::max(shown, 8.0)) : shown;
    width = std::max(width, caption + 2);
    if (column.kind == CellKind::Date)
        width = std::max(width, 19.0);
    return std::clamp(width, 6.0, 60.0);
}

std::optional<QString> XlsxExport::write(const PrintData &data, const QList<ExportColumn> &columns,
                                         const QString &path)
{
    AtomicFile file(path);
    if (auto error = file.open())
        return error;
    const QByteArray temporary = QFile::encodeName(file.closedTemporaryPath());

    Workbook workbook;
    workbook.book = workbook_new(temporary.constData());
    if (!workbook.book)
        return QStringLiteral("The workbook could not be created");
    lxw_worksheet *sheet = workbook_add_worksheet(workbook.book, nullptr);
    lxw_format *bold = workbook_add_format(workbook.book);
    format_set_bold(bold);
    lxw_format *textFormat = workbook_add_format(workbook.book);
    format_set_num_format(textFormat, "@");
    lxw_format *dateFormat = workbook_add_format(workbook.book);
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    lxw_format *dateTimeFormat = workbook_add_format(workbook.book);
    format_set_num_format(dateTimeFormat, "yyyy-mm-dd hh:mm:ss");

    const auto columnCount = lxw_col_t(std::min(columns.size(), data.columns.size()));
    for (lxw_col_t c = 0; c < columnCount; ++c) {
        const ExportColumn &column = columns[c];
        // Text columns are formatted as text, so a value typed in later keeps its zeros too.
        worksheet_set_column(sheet, c, c, columnWidth(column),
                             column.kind == CellKind::Text ? textFormat : nullptr);
        worksheet_write_string(sheet, 0, c, column.caption.toUtf8().constData(), bold);
    }

    lxw_row_t row = 1;
    for (const QStringList &cells : data.rows) {
        for (lxw_col_t c = 0; c < columnCount; ++c) {
            const QString &text = cells[c];
            if (text.isEmpty())
                continue;
            const CellKind kind = columns[c].kind;
            if (kind == CellKind::Integer || kind == CellKind::Decimal) {
                if (const std::optional<double> number = numberOf(text, kind)) {
                    worksheet_write_number(sheet, row, c, *number, nullptr);
                    continue;
                }
            } else if (kind == CellKind::Date) {
                // No QDateTime: its time zone lookups would cost more than the whole cell.
                if (const std::optional<SheetDate> when = dateOf(text)) {
                    const QDate d = when->date;
                    const QTime t = when->time;
                    lxw_datetime value{d.year(), d.month(),  d.day(),
                                       t.hour(), t.minute(), double(t.second())};
                    worksheet_write_datetime(sheet, row, c, &value,
                                             t == QTime(0, 0) ? dateFormat : dateTimeFormat);
                    continue;
                }
            }
            worksheet_write_string(sheet, row, c, text.toUtf8().constData(), nullptr);
        }
        ++row;
    }

    if (const lxw_error error = workbook.close(); error != LXW_NO_ERROR)
        return QString::fromUtf8(lxw_strerror(error));
    return file.commit();
}

} // namespace perikon::suite::printer
