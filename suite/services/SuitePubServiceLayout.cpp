// The public service's column settings: the list grid's widths and order kept per operator.

#include "suite/services/SuitePubService.h"

#include "suite/controls/HostGrid.h"
#include "suite/services/SuiteColumnSetService.h"
#include "suite/services/SuiteSql.h"

#include <QEvent>

#include <pugixml.hpp>

#include <algorithm>
#include <limits>
#include <sstream>

namespace perikon::suite {
namespace {

struct PlacedColumn
{
    SuiteColumnSetService::GridColumn column;
    int position = 0;
};

// The grid's field columns left to right as the operator sees them.
QList<SuiteColumnSetService::GridColumn> fieldColumns(const controls::HostGrid &grid)
{
    QList<PlacedColumn> placed;
    for (int col = 1; col < grid.Cols(); ++col) {
        const QString field = grid.ColKey(col);
        // The row marks and the hidden ID only serve the list's commands.
        if (field.isEmpty() || field.compare(QLatin1String("cMark"), Qt::CaseInsensitive) == 0
            || field.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0)
            continue;
        placed.append({{field, grid.ColWidth(col)}, grid.ColPosition(col)});
    }
    std::stable_sort(
        placed.begin(), placed.end(),
        [](const PlacedColumn &a, const PlacedColumn &b) { return a.position < b.position; });
    QList<SuiteColumnSetService::GridColumn> columns;
    for (const PlacedColumn &entry : std::as_const(placed))
        columns.append(entry.column);
    return columns;
}

bool isColSet(const pugi::xml_node &node)
{
    return node.type() == pugi::node_element
           && QString::fromUtf8(node.name()).compare(QLatin1String("ColSet"), Qt::CaseInsensitive)
                  == 0;
}

QString attributeValue(const pugi::xml_node &node, const char *name)
{
    for (pugi::xml_attribute attribute : node.attributes()) {
        if (QString::fromUtf8(attribute.name()).compare(QLatin1String(name), Qt::CaseInsensitive)
            == 0)
            return QString::fromUtf8(attribute.value());
    }
    return {};
}

// Keeps the column-settings control over its window's client area.
class ColSetFill : public QObject
{
public:
    ColSetFill(QWidget *colSet, QWidget *window)
        : QObject(colSet)
        , m_colSet(colSet)
        , m_window(window)
    {
        setObjectName(QStringLiteral("ColSetFill"));
        window->installEventFilter(this);
        fill();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Resize)
            fill();
        return false;
    }

private:
    void fill()
    {
        constexpr int kMargin = 6;
        m_colSet->setGeometry(
            m_window->contentsRect().adjusted(kMargin, kMargin, -kMargin, -kMargin));
    }

    QWidget *m_colSet;
    QWidget *m_window;
};

} // namespace

QString SuitePubService::GetUnSavedColSet(const QString &colInfoXml)
{
    pugi::xml_document document;
    const QByteArray utf8 = colInfoXml.toUtf8();
    if (!document.load_buffer(utf8.constData(), utf8.size()) || !document.document_element())
        return {};
    const pugi::xml_node root = document.document_element();
    QList<pugi::xml_node> shown;
    for (pugi::xml_node node : root.children()) {
        if (!isColSet(node))
            continue;
        const QString show = attributeValue(node, "bShow").trimmed().toLower();
        // A column without the flag is shown, as a stored layout reads it.
        if (show.isEmpty() || show == QLatin1String("true") || show == QLatin1String("1"))
            shown.append(node);
    }
    // Columns without a usable place keep theirs after the placed ones.
    const auto place = [](const pugi::xml_node &node) {
        bool ok = false;
        const int order = attributeValue(node, "iOrder").trimmed().toInt(&ok);
        return ok ? order : std::numeric_limits<int>::max();
    };
    std::stable_sort(
        shown.begin(), shown.end(),
        [&place](const pugi::xml_node &a, const pugi::xml_node &b) { return place(a) < place(b); });

    pugi::xml_document result;
    pugi::xml_node resultRoot = result.append_child(root.name());
    for (pugi::xml_attribute attribute : root.attributes())
        resultRoot.append_copy(attribute);
    for (const pugi::xml_node &node : std::as_const(shown))
        resultRoot.append_copy(node);
    std::ostringstream text;
    result.save(text, "", pugi::format_raw | pugi::format_no_declaration);
    return QString::fromStdString(text.str());
}

void SuitePubService::ColSetResize(QWidget *colSet, QWidget *window)
{
    if (!colSet || !window)
        return;
    // Laid out again: one follower per control, over the window given last.
    delete colSet->findChild<QObject *>(QStringLiteral("ColSetFill"), Qt::FindDirectChildrenOnly);
    new ColSetFill(colSet, window);
}

bool SuitePubService::SaveColSet(QObject *ICom, QWidget *grid, const QString &archive,
                                 const QString &userId)
{
    auto *hostGrid = qobject_cast<controls::HostGrid *>(grid);
    db::Connection *connection = connectionOf(ICom);
    if (!hostGrid || !connection || archive.trimmed().isEmpty() || userId.trimmed().isEmpty())
        return false;
    const QList<SuiteColumnSetService::GridColumn> columns = fieldColumns(*hostGrid);
    if (columns.isEmpty())
        return false; // a grid getColSet did not lay out names no column
    SuiteColumnSetService service;
    return service.Init(*connection, userId)
           && service.SaveWidthsAndOrder(archive.trimmed(), columns);
}

} // namespace perikon::suite
