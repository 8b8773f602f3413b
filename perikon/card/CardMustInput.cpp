#include "perikon/card/CardMustInput.h"

#include "perikon/data/db/ColumnType.h"

#include <array>
#include <utility>

namespace perikon::internal {

namespace {

constexpr std::array<std::pair<QStringView, QStringView>, 6> kDisplayColumns{{
    {u"cCusName", u"cCusCode"},
    {u"cDepName", u"cConDepart"},
    {u"cprincipalname", u"cPrincipal"},
    {u"cMarriageName", u"bcMarriageID"},
    {u"csuperiorname", u"cSuperiorID"},
    {u"cSexName", u"bcSexID"},
}};

bool isFlagOrBinary(int type)
{
    using namespace db::ColumnType;
    return type == Boolean || type == Binary || type == VarBinary || type == LongVarBinary;
}

} // namespace

QString mustInputColumn(QStringView cFld)
{
    for (const auto &[display, stored] : kDisplayColumns) {
        if (cFld.compare(display, Qt::CaseInsensitive) == 0)
            return stored.toString();
    }
    return cFld.toString();
}

bool mustInputValueMissing(const MustInputField &field)
{
    if (isFlagOrBinary(field.columnType))
        return field.value == u"0";
    return field.value.isEmpty();
}

QList<MustInputField> missingMustInput(std::span<const MustInputField> fields)
{
    QList<MustInputField> missing;
    for (const MustInputField &field : fields) {
        if (field.mustInput && mustInputValueMissing(field))
            missing.append(field);
    }
    return missing;
}

QString mustInputMessage(const MustInputField &field, const QString &mustInputText)
{
    return field.caption + mustInputText;
}

QStringView requiredFieldMissingKey(const QString &contactCode, const QString &contactName)
{
    if (contactCode.trimmed().isEmpty())
        return kContactCodeEmptyKey;
    if (contactName.trimmed().isEmpty())
        return kContactNameEmptyKey;
    return {};
}

} // namespace perikon::internal
