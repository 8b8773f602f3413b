#include "suite/controls/RefEdit.h"

#include <QAction>
#include <QKeyEvent>
#include <QStyle>

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

void RefEdit::setOpener(RefOpener opener)
{
    m_opener = std::move(opener);
    if (!m_drop) {
        m_drop = addAction(style()->standardIcon(QStyle::SP_ArrowDown), TrailingPosition);
        connect(m_drop, &QAction::triggered, this, [this] { openReference(); });
    }
    // Named after the editor, so scripts reach it as "<editor>_Drop".
    m_drop->setObjectName(objectName() + QStringLiteral("_Drop"));
    m_drop->setVisible(bool(m_opener) && m_dropVisible);
}

void RefEdit::setDropButtonVisible(bool visible)
{
    m_dropVisible = visible;
    if (m_drop)
        m_drop->setVisible(bool(m_opener) && visible);
}

bool RefEdit::isDropButtonVisible() const
{
    return m_drop && m_drop->isVisible();
}

bool RefEdit::openReference()
{
    if (!m_opener || isReadOnly() || !isEnabled())
        return false;
    emit beforeReference();
    if (!m_opener(*this))
        return false;
    // The pick is a checked reference: no edited() here, which would mark it unchecked again.
    emit afterReference();
    return true;
}

void RefEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier && m_opener) {
        openReference();
        event->accept();
        return;
    }
    HostEdit::keyPressEvent(event);
}

void RefEdit::setRefConditions(const QString &conditionsXml, const QString &filter)
{
    m_conditionsXml = conditionsXml;
    m_filter = filter;
}

} // namespace perikon::controls
