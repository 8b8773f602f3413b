#include "perikon/list/ListPaging.h"

namespace perikon::list {

int spinPageSize(int pageSize, bool up, int maxPageSize)
{
    const int next = up ? pageSize + kPageSizeStep : pageSize - kPageSizeStep;
    return next < kMinPageSize || next > maxPageSize ? pageSize : next;
}

int spinPage(int page, bool up, int maxPage)
{
    const int next = up ? page + 1 : page - 1;
    return next < 1 || next > maxPage ? page : next;
}

QString clampPageField(const QString &text, int pageCount)
{
    if (text.trimmed().isEmpty())
        return text;
    bool numeric = false;
    const qlonglong value = text.trimmed().toLongLong(&numeric);
    if (!numeric)
        return QStringLiteral("1");
    if (value > pageCount)
        return QString::number(pageCount);
    if (value < 1)
        return QStringLiteral("1");
    return QString::number(value);
}

int clampRequestPageSize(int pageSize, int maxPageSize)
{
    if (pageSize > maxPageSize)
        return maxPageSize;
    return pageSize < kMinPageSize ? kMinPageSize : pageSize;
}

int pageLinkTarget(PageLink link, int page, int pageCount)
{
    switch (link) {
    case PageLink::First:
        return 1;
    case PageLink::Previous:
        return page - 1 < 1 ? 1 : page - 1;
    case PageLink::Next:
        return page + 1;
    case PageLink::Last:
        return pageCount;
    }
    return page;
}

LinkStates linkStates(const QString &pageText, int pageCount)
{
    if (pageCount < 2)
        return {false, false};
    if (pageText == QLatin1String("1"))
        return {false, true};
    if (pageText == QString::number(pageCount))
        return {true, false};
    return {true, true};
}

} // namespace perikon::list
