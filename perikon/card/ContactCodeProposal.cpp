#include "perikon/card/ContactCodeProposal.h"

#include "perikon/data/ContactStatements.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"

#include <algorithm>
#include <memory>

namespace perikon {

namespace {

constexpr int kCodeWidth = 8;

bool allDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
}

// digits + 1, at least `width` digits wide (wider past the largest number of that width).
std::optional<QString> incremented(QStringView digits, int width)
{
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return QStringLiteral("%1").arg(value + 1, width, 10, QLatin1Char('0'));
}

} // namespace

namespace internal {

std::optional<QString> contactCodeAfter(const QVariant &maximum)
{
    if (maximum.isNull())
        return QStringLiteral("00000001");
    const QString code = maximum.toString();
    if (allDigits(code))
        return incremented(code, kCodeWidth);
    const QStringView lastThree = QStringView(code).right(3);
    if (lastThree.size() == 3 && allDigits(lastThree)) {
        // The card's own numbering restarts from these three digits alone, as it always has.
        if (lastThree == u"999")
            return QStringLiteral("00001000");
        return incremented(lastThree, kCodeWidth);
    }
    qsizetype runStart = code.size();
    while (runStart > 0 && code[runStart - 1].isDigit())
        --runStart;
    const int run = int(code.size() - runStart);
    if (run == 0)
        return std::nullopt;
    const std::optional<QString> next = incremented(QStringView(code).mid(runStart), run);
    if (!next)
        return std::nullopt;
    return code.left(runStart) + *next;
}

std::optional<QString> proposedContactCode(const QVariant &maximum, const ContactCodeTaken &isTaken)
{
    std::optional<QString> code = contactCodeAfter(maximum);
    // Every successor is greater than the code before it, so a finite set of used codes ends this.
    while (code) {
        const std::optional<bool> taken = isTaken(*code);
        if (!taken)
            return std::nullopt;
        if (!*taken)
            return code;
        code = contactCodeAfter(*code);
    }
    return code;
}

QString contactCodeUsedSql(QStringView code)
{
    return QStringLiteral("Select top 1 * FROM Crm_Contact")
           + QStringLiteral(" WHERE cContactCode = ") + db::sqlNQuoted(code);
}

} // namespace internal

std::optional<QString> proposeContactCode(IClsCommon &ICom)
{
    std::unique_ptr<db::Recordset> rs(ICom.OpenX(internal::nextContactCodeSql(2)));
    if (!rs || rs->recordCount() == 0)
        return std::nullopt;
    return internal::proposedContactCode(
        rs->value(0), [&ICom](const QString &code) { return contactCodeUsed(ICom, code); });
}

std::optional<bool> contactCodeUsed(IClsCommon &ICom, QStringView code)
{
    std::unique_ptr<db::Recordset> rs(ICom.OpenX(internal::contactCodeUsedSql(code)));
    if (!rs)
        return std::nullopt;
    return rs->recordCount() > 0;
}

} // namespace perikon
