// The recordset filter on arbitrary expressions over a small disconnected recordset that holds
// every storage kind in columns of the common types. A filter is applied or refused with a
// DbError that leaves the previous filter in place, and the records it shows follow the logic of
// its AND, OR and parentheses. An input of two lines also checks the two expressions joined.

#include "FuzzCheck.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"

#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

using namespace perikon::db;
using perikon::fuzz::visible;

namespace {

// Column k numbers the rows, so the records a filter shows can be told apart.
const char kRows[] = R"(<recordset xmlns="urn:perikon:recordset" version="1"><columns>
<column name="k" type="3" size="4" nullable="0" key="1"/>
<column name="cName" type="202" size="50" nullable="1"/>
<column name="iCount" type="3" size="4" nullable="1"/>
<column name="fAmount" type="5" size="8" nullable="1"/>
<column name="mPrice" type="6" size="8" nullable="1"/>
<column name="dDate" type="135" size="16" nullable="1"/>
<column name="bFlag" type="11" size="2" nullable="1"/>
<column name="cCode" type="200" size="20" nullable="1"/>
<column name="cMemo" type="203" size="1073741823" nullable="1"/>
<column name="bPic" type="205" size="2147483647" nullable="1"/>
<column name="Contact Name" type="202" size="50" nullable="1"/>
</columns><rows>
<row><i>0</i><t>Zhang San</t><i>3</i><r>1.5</r><r>12.5</r><t>2024-03-01 08:30:00</t><i>1</i><t>A*</t><t>line1
line2&lt;&amp;&gt;</t><b>AP8Q</b><t>张三</t></row>
<row><i>1</i><n/><n/><n/><n/><n/><n/><n/><n/><n/><n/></row>
<row><i>2</i><t></t><i>-7</i><r>-0.1</r><i>0</i><t>1999-12-31</t><i>0</i><t>it's</t><t enc="base64">ICA=</t><b></b><t> </t></row>
<row><i>3</i><t>张三</t><r>2.5</r><r>1e300</r><r>-1e-300</r><t>not a date</t><t>true</t><t>100%</t><t>50%_off</t><b>AAAA</b><t>Zhang</t></row>
<row><i>4</i><t>zhang san</t><t>12abc</t><t>3.5</t><t>x</t><r>45352.5</r><t>0</t><t>a''b</t><t>[x]</t><b>/w==</b><t>#1#</t></row>
<row><i>5</i><t>Zhang San</t><i>9223372036854775807</i><i>-9223372036854775807</i><i>1</i><t>2024-02-29T23:59:59.999</t><r>0.5</r><t></t><t>*</t><n/><t>OR</t></row>
</rows></recordset>)";

Recordset &recordset()
{
    static const std::unique_ptr<Recordset> rs = [] {
        auto opened = std::make_unique<Recordset>();
        opened->openXml(QString::fromUtf8(kRows));
        return opened;
    }();
    return *rs;
}

// The row numbers of the records the filter shows, in order; nothing when it is refused.
std::optional<std::vector<qint64>> shownRows(const QString &expression)
{
    Recordset &rs = recordset();
    const QString before = rs.filter();
    try {
        rs.setFilter(expression);
    } catch (const DbError &e) {
        FUZZ_CHECK(!e.description().isEmpty(), visible(expression));
        FUZZ_CHECK(rs.filter() == before, visible(expression));
        return std::nullopt;
    }
    std::vector<qint64> rows;
    if (rs.recordCount() > 0) {
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            rows.push_back(rs.value(0).toLongLong());
    }
    FUZZ_CHECK(qint64(rows.size()) == rs.recordCount(), visible(expression));
    FUZZ_CHECK(std::ranges::is_sorted(rows), visible(expression));
    return rows;
}

QString describe(const std::optional<std::vector<qint64>> &rows)
{
    if (!rows)
        return QStringLiteral("refused");
    QStringList numbers;
    for (const qint64 row : *rows)
        numbers << QString::number(row);
    return u'[' + numbers.join(u',') + u']';
}

void expectRows(const QString &expression, const std::vector<qint64> &expected)
{
    const auto rows = shownRows(expression);
    FUZZ_CHECK(rows && *rows == expected, visible(expression) + QStringLiteral(" shows ")
                                              + describe(rows) + QStringLiteral(", expected ")
                                              + describe(expected));
}

QString grouped(const QString &expression)
{
    return u'(' + expression + u')';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype newline = input.indexOf(u'\n');
    const QString first = newline < 0 ? input : input.left(newline);
    const QString second = newline < 0 ? QString() : input.mid(newline + 1);

    const auto a = shownRows(first);
    if (a && !first.trimmed().isEmpty()) {
        expectRows(grouped(first), *a);
        expectRows(grouped(first) + QStringLiteral(" OR ") + grouped(first), *a);
        expectRows(grouped(first) + QStringLiteral(" AND ") + grouped(first), *a);
    }
    if (newline >= 0 && a && !first.trimmed().isEmpty() && !second.trimmed().isEmpty()) {
        const auto b = shownRows(second);
        if (b) {
            std::vector<qint64> both, either;
            std::ranges::set_intersection(*a, *b, std::back_inserter(both));
            std::ranges::set_union(*a, *b, std::back_inserter(either));
            expectRows(grouped(first) + QStringLiteral(" AND ") + grouped(second), both);
            expectRows(grouped(first) + QStringLiteral(" OR ") + grouped(second), either);
        }
    }
    recordset().setFilter(QString());
    return 0;
}
