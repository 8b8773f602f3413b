#pragma once

// The list's paging rules, apart from the widgets that show them: the spinners add or take back a
// step, the page field keeps within the pages there are, a request keeps the page size within its
// limits, and the page links move and enable by the page count.

#include <QString>

namespace perikon::list {

inline constexpr int kMinPageSize = 5;
inline constexpr int kPageSizeStep = 5;
inline constexpr int kDefaultPageSize = 500;

// The page size after a click on its spinner: the step is undone when it leaves 5..maxPageSize.
int spinPageSize(int pageSize, bool up, int maxPageSize);
// The page after a click on its spinner: the step is undone when it leaves 1..maxPage.
int spinPage(int page, bool up, int maxPage);
// What the page field shows after the operator (or the program) put `text` into it; empty text
// stays empty until a number is typed.
QString clampPageField(const QString &text, int pageCount);
// The page size a request uses.
int clampRequestPageSize(int pageSize, int maxPageSize);

enum class PageLink { First = 0, Previous = 1, Next = 2, Last = 3 };
// The page a link moves to (before the page field's own clamp).
int pageLinkTarget(PageLink link, int page, int pageCount);

struct LinkStates
{
    bool backward = false; // first and previous
    bool forward = false;  // next and last
    bool operator==(const LinkStates &) const = default;
};
// Which links are enabled after a move, by the page field's text and the page count.
LinkStates linkStates(const QString &pageText, int pageCount);

} // namespace perikon::list
