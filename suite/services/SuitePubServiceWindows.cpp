// The public service's window services: page fill, column layout, help and window options.

#include "suite/services/SuitePubService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/host/contract/HostLogin.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/HelpViewer.h"
#include "suite/services/ListColumns.h"
#include "suite/services/LocalText.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/SuiteUiHelper.h"
#include "suite/services/ToolbarDefinitions.h"

#include <QAction>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <numeric>

namespace perikon::suite {

namespace {

const char kHelpCommand[] = "HelpCommand";
const char kHelpFamily[] = "HelpFamily";

QString optionKey(const QString &archive)
{
    return archive.trimmed() + QStringLiteral(".frmopt");
}

void showStatusBar(QWidget *window, bool visible)
{
    if (QWidget *bar = window->findChild<QWidget *>(QStringLiteral("Stb")))
        bar->setVisible(visible);
    if (QAction *item = window->findChild<QAction *>(QStringLiteral("mStb"))) {
        item->setCheckable(true);
        item->setChecked(visible);
    }
}

} // namespace

void SuitePubService::FlipPageFillGrid(QWidget *window, QWidget *grid, QObject *&result,
                                       int pageSize, int page, int &pageCount)
{
    Q_UNUSED(grid) // the window's FillGrid writes its own grid
    auto *rows = qobject_cast<db::Recordset *>(result);
    const qint64 total = rows && rows->state() == 1 ? rows->recordCount() : 0;
    const qint64 size = std::max(pageSize, 1);
    pageCount = int(std::max<qint64>(1, (total + size - 1) / size));
    const int shown = std::clamp(page, 1, pageCount);
    if (!window)
        return;
    std::unique_ptr<db::Recordset> pageRows;
    if (rows && rows->state() == 1)
        pageRows = rows->slice((shown - 1) * size, size);
    QMetaObject::invokeMethod(window, "FillGrid", Qt::DirectConnection,
                              Q_ARG(QObject *, pageRows.get()));
    if (QObject *spinner = window->findChild<QObject *>(QStringLiteral("UpDown2")))
        spinner->setProperty("Max", pageCount);
    if (auto *label = window->findChild<QLabel *>(QStringLiteral("LblTotalPage")))
        label->setText(localText(QStringLiteral("共%1页").arg(pageCount),
                                 pageCount == 1 ? QStringLiteral("of 1 page")
                                                : QStringLiteral("of %1 pages").arg(pageCount)));
}

bool SuitePubService::getColSet(const QString &colInfoXml, QString &selectList, int &fixedCols,
                                QString &orderText, int &reserved, QWidget *grid, QString &message)
{
    Q_UNUSED(reserved)
    const std::optional<ListColumns> columns = listColumns(colInfoXml, &message);
    if (!columns)
        return false;
    selectList = columns->selectList;
    orderText = columns->orderText;
    fixedCols = 1;
    if (auto *hostGrid = qobject_cast<controls::HostGrid *>(grid)) {
        hostGrid->setCols(int(columns->columns.size()) + 1);
        const QFontMetrics metrics(hostGrid->font());
        for (int i = 0; i < columns->columns.size(); ++i) {
            const ListColumn &column = columns->columns.at(i);
            hostGrid->setTextMatrix(0, i + 1, column.caption);
            // A shown column is at least as wide as its caption, so no heading is cut off.
            const int width
                = column.width > 0
                      ? std::max(column.width, metrics.horizontalAdvance(column.caption) + 16)
                      : 0;
            hostGrid->setColWidth(i + 1, width);
            // SaveColSet finds the column's field again by this key, wherever the operator
            // dragged it.
            hostGrid->setColKey(i + 1, column.alias);
        }
        hostGrid->horizontalHeader()->setSectionsMovable(true);
        QList<int> shownOrder(columns->columns.size());
        std::iota(shownOrder.begin(), shownOrder.end(), 0);
        std::stable_sort(shownOrder.begin(), shownOrder.end(), [&](int a, int b) {
            return columns->columns.at(a).place < columns->columns.at(b).place;
        });
        for (int position = 0; position < shownOrder.size(); ++position)
            hostGrid->setColPosition(shownOrder.at(position) + 1, position + 1);
    }
    return true;
}

QString SuitePubService::helpTopic(const QString &commandKey)
{
    static const QStringList cardCommands{QStringLiteral("add"), QStringLiteral("modify")};
    return cardCommands.contains(commandKey.trimmed().toLower()) ? QStringLiteral("card")
                                                                 : QStringLiteral("list");
}

void SuitePubService::HelpShow(const QString &key, QWidget *window)
{
    if (window)
        window->setProperty(kHelpCommand, key);
}

void SuitePubService::HelpX(QWidget *window, const QString &topicFamily)
{
    if (window)
        window->setProperty(kHelpFamily, topicFamily);
}

void SuitePubService::ShowHelp(QWidget *window)
{
    SuiteUiHelper helper;
    const QString command = window ? window->property(kHelpCommand).toString() : QString();
    // The card's own help family opens the card's section whatever command ran last.
    const bool card = window
                      && window->property(kHelpFamily)
                                 .toString()
                                 .compare(QLatin1String("ContactCard"), Qt::CaseInsensitive)
                             == 0;
    HelpViewer::open(window, helper.GetHelpFile(),
                     card ? QStringLiteral("card") : helpTopic(command));
}

void SuitePubService::forgetHelp(QWidget *window)
{
    if (auto *viewer = window->findChild<HelpViewer *>(QString(), Qt::FindDirectChildrenOnly)) {
        HelpHide(window, {}, false);
        viewer->deleteLater();
    }
    // A window loaded again starts without the last command's topic.
    window->setProperty(kHelpCommand, QVariant());
    window->setProperty(kHelpFamily, QVariant());
}

void SuitePubService::FrmOpt(QWidget *window, const QString &key, const QString &archive,
                             QObject *login, QObject *ICom)
{
    Q_UNUSED(ICom) // settings live in the operator's account, reached through the login
    if (!window || key.compare(QLatin1String("mStb"), Qt::CaseInsensitive) != 0)
        return;
    QWidget *bar = window->findChild<QWidget *>(QStringLiteral("Stb"));
    const bool visible = !(bar && bar->isVisibleTo(window));
    showStatusBar(window, visible);
    const QString userId = hostlogin::text(login, "cUserId");
    if (!userId.isEmpty())
        SaveRegEdit(optionKey(archive), QStringLiteral("mStb"),
                    visible ? QStringLiteral("1") : QStringLiteral("0"), false, userId);
}

void SuitePubService::FrmLoadInit(QWidget *window, const QString &archive, QObject *login)
{
    if (!window)
        return;
    const QString userId = hostlogin::text(login, "cUserId");
    const QString stored
        = userId.isEmpty() || archive.isEmpty()
              ? QString()
              : GetRegEdit(optionKey(archive), QStringLiteral("mStb"), false, userId);
    showStatusBar(window, stored != QLatin1String("0"));
}

void SuitePubService::FrmResize(QWidget *window)
{
    if (!window || !window->layout())
        return;
    const QSize least = window->layout()->minimumSize();
    if (window->minimumSize() != least)
        window->setMinimumSize(least);
}

void SuitePubService::FrmUniteFont(QWidget *window)
{
    if (!window)
        return;
    // A family that holds both scripts, so Chinese and Latin captions sit on one baseline.
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString &wanted :
             {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
              QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans SC")}) {
            if (families.contains(wanted))
                return wanted;
        }
        return QString();
    }();
    if (family.isEmpty())
        return;
    QFont font = window->font();
    font.setFamily(family);
    window->setFont(font);
}

void SuitePubService::FrmPreCompile(QObject *ICom)
{
    db::Connection *connection = connectionOf(ICom);
    if (!connection)
        return;
    for (const char *table : {"Crm_Contact", "Customer", "Crm_BaseCode", "Userdef"}) {
        try {
            queryRows(*connection,
                      QStringLiteral("select * from %1 where 1=0").arg(QLatin1String(table)));
        } catch (const db::DbError &) {
            // Only a warm-up: the command that needs the table reports the failure itself.
        }
    }
}

bool SuitePubService::InitToolbar(QWidget *toolbar, const QString &definitionKey,
                                  const QString &module, QObject *login)
{
    auto *bar = qobject_cast<controls::HostToolbar *>(toolbar);
    const auto definition = toolbarDefinition(module, definitionKey);
    if (!bar || !definition)
        return false;
    const QString language = sessionLanguage();
    QPointer<QObject> owner = login;
    bar->setDefinition(
        *definition,
        [language](const QString &captionKey) {
            const QString caption = ResourceTexts::text(language, captionKey);
            return caption.isEmpty() ? captionKey.section(u'.', -1) : caption;
        },
        [owner](const QString &functionId) {
            if (!owner)
                return false;
            bool allowed = false;
            bool state = false;
            QMetaObject::invokeMethod(owner, "TaskExec", Qt::DirectConnection,
                                      Q_RETURN_ARG(bool, allowed), Q_ARG(QString, functionId),
                                      Q_ARG(bool &, state));
            return allowed;
        });
    return true;
}

} // namespace perikon::suite
