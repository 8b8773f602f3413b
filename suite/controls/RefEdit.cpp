#include "suite/controls/RefEdit.h"

#include <utility>

namespace perikon::controls {
namespace {

QStringView withoutTrailingBlanks(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

} // namespace

bool sameRefText(QStringView left, QStringView right)
{
    return withoutTrailingBlanks(left) == withoutTrailingBlanks(right);
}

RefEdit::RefEdit(QWidget *parent)
    : HostEdit(parent)
{
    connect(this, &HostEdit::edited, this, &RefEdit::markUnchecked);
}

RefEdit::~RefEdit() = default;

void RefEdit::setResolver(RefResolver resolver)
{
    m_resolver = std::move(resolver);
}

bool RefEdit::recheck()
{
    const QString shown = text();
    if (withoutTrailingBlanks(shown).isEmpty()) {
        setTag({});
        m_valid = true;
        return true;
    }
    if (!m_resolver) {
        m_valid = true;
        return true;
    }
    const QList<RefEntry> entries = m_resolver(shown);
    const RefEntry *byCode = nullptr;
    int codeMatches = 0;
    for (const RefEntry &entry : entries) {
        if (sameRefText(entry.code, shown)) {
            byCode = &entry;
            ++codeMatches;
        }
    }
    // The resolver found the other rows by one of the names (a name or an abbreviation): a code
    // that equals the text settles an ambiguity, two rows of the same name do not.
    const RefEntry *chosen = codeMatches == 1                          ? byCode
                             : codeMatches == 0 && entries.size() == 1 ? &entries.first()
                                                                       : nullptr;
    setTag(chosen ? chosen->code : QString());
    m_valid = chosen != nullptr;
    return m_valid;
}

void RefEdit::setReference(const QString &code, const QString &text)
{
    setText(text);
    setTag(code);
    m_valid = true;
}

void RefEdit::setRefConditions(const QString &conditionsXml, const QString &filter)
{
    m_conditionsXml = conditionsXml;
    m_filter = filter;
}

} // namespace perikon::controls
