// The public service's services for commands over the list's rows: putting the cursor back on a
// row, the confirmation before a delete, the busy state of a run and its result list.

#include "suite/services/SuitePubService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/PanelStatusBar.h"
#include "suite/services/LocalText.h"
#include "suite/services/RunMessages.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/SuiteUiHelper.h"

#include <QApplication>
#include <QSet>

namespace perikon::suite {

namespace {

// How many marked rows the delete confirmation lists before it only counts the rest.
constexpr int kListedRows = 20;

QString folded(const QString &text)
{
    return text.trimmed().toCaseFolded();
}

// Every caption the column of `caption` may carry: the text itself, its dictionary captions in
// both languages and the operator's own captions of that field.
QSet<QString> captionsOf(const QString &caption)
{
    QSet<QString> captions{folded(caption)};
    SuiteLogin *login = currentLogin();
    if (!login || caption.trimmed().isEmpty())
        return captions;
    try {
        db::Connection &connection = login->accountConnection();
        const QString meta = db::ConnectionString(connection.connectionString()).metaDatabase();
        const QString wanted = db::sqlNQuoted(caption.trimmed());
        const QList<QStringList> rows = queryRows(
            connection,
            QStringLiteral("select cFieldName, cCaption, cCaptionEn from %1..aa_columndic "
                           "where cCaption=%2 or upper(cCaptionEn)=upper(%2)")
                .arg(meta, wanted));
        QStringList fields;
        for (const QStringList &row : rows) {
            fields.append(db::sqlNQuoted(row.value(0)));
            captions.insert(folded(row.value(1)));
            if (!row.value(2).trimmed().isEmpty())
                captions.insert(folded(row.value(2)));
        }
        if (!fields.isEmpty()) {
            for (const QStringList &row : queryRows(
                     connection,
                     QStringLiteral("select cCaption from qz_ColumnLayout where cUser_Id=%1 and "
                                    "cFieldName in (%2) and cCaption is not null")
                         .arg(db::sqlNQuoted(login->cUserId), fields.join(QLatin1Char(',')))))
                captions.insert(folded(row.value(0)));
        }
    } catch (const db::DbError &) {
        // Without the dictionary the caption still finds a column captioned exactly so.
    }
    return captions;
}

int columnCaptioned(const controls::HostGrid &grid, const QString &caption)
{
    const QSet<QString> captions = captionsOf(caption);
    for (int col = 0; col < grid.Cols(); ++col) {
        if (captions.contains(folded(grid.TextMatrix(0, col))))
            return col;
    }
    return -1;
}

// Puts the cursor on the row listing `code`; false when none does.
bool selectCode(controls::HostGrid &grid, const QString &caption, const QString &code)
{
    if (code.trimmed().isEmpty())
        return false;
    const int col = columnCaptioned(grid, caption);
    if (col < 0)
        return false;
    for (int row = 1; row < grid.Rows(); ++row) {
        if (grid.TextMatrix(row, col).trimmed() == code.trimmed()) {
            grid.setRow(row);
            return true;
        }
    }
    return false;
}

controls::PanelStatusBar *statusBarOf(QWidget *window)
{
    return window ? window->findChild<controls::PanelStatusBar *>(QStringLiteral("Stb")) : nullptr;
}

} // namespace

void SuitePubService::SetGridRow(QWidget *grid, const QString &caption, const QString &code)
{
    if (auto *hostGrid = qobject_cast<controls::HostGrid *>(grid))
        selectCode(*hostGrid, caption, code);
}

void SuitePubService::SetGridRow(QWidget *grid, const QString &caption, const QString &code,
                                 int row, int topRow)
{
    auto *hostGrid = qobject_cast<controls::HostGrid *>(grid);
    if (!hostGrid || selectCode(*hostGrid, caption, code) || hostGrid->Rows() < 2)
        return;
    const int last = hostGrid->Rows() - 1;
    hostGrid->setTopRow(std::clamp(topRow, 1, last));
    hostGrid->setRow(std::clamp(row, 1, last));
}

int SuitePubService::ShowTipMsg(QWidget *grid, int codeColumn, int nameColumn, QObject *, QObject *,
                                QObject *, const QVariant &, const QVariant &, const QString &)
{
    auto *hostGrid = qobject_cast<controls::HostGrid *>(grid);
    if (!hostGrid)
        return 0;
    QStringList lines;
    int marked = 0;
    for (int row = 1; row < hostGrid->Rows(); ++row) {
        if (!hostGrid->TextMatrix(row, 1).contains(QStringLiteral("√")))
            continue;
        if (++marked <= kListedRows)
            lines.append(hostGrid->TextMatrix(row, codeColumn).trimmed() + QStringLiteral("  ")
                         + hostGrid->TextMatrix(row, nameColumn).trimmed());
    }
    if (marked == 0)
        return 0;
    if (marked > kListedRows)
        lines.append(localText(QStringLiteral("……另有 %1 条").arg(marked - kListedRows),
                               QStringLiteral("... and %1 more").arg(marked - kListedRows)));
    const QString question
        = localText(QStringLiteral("确定要删除以下 %1 条记录吗？").arg(marked),
                    marked == 1 ? QStringLiteral("Delete this record?")
                                : QStringLiteral("Delete these %1 records?").arg(marked));
    const int answer = SuiteUiHelper().ShowMsgBox(
        question + QStringLiteral("\n\n") + lines.join(QLatin1Char('\n')),
        MsgBoxStyle::OKCancel | MsgBoxStyle::Question,
        localText(QStringLiteral("删除"), QStringLiteral("Delete")), {}, 0, 0);
    return answer == MsgBoxButton::OK ? 1 : 2;
}

QObject *SuitePubService::ModifyInitMsg(const QString &fields, const QString &titles)
{
    return new RunMessages(fields, titles);
}

void SuitePubService::ModifyAddMsg(QObject *messages, const QStringList &values)
{
    auto *list = qobject_cast<RunMessages *>(messages);
    if (!list)
        return;
    list->add(values);
    if (controls::PanelStatusBar *status = statusBarOf(m_runWindow)) {
        status->setPanelText(0, localText(QStringLiteral("正在删除……已处理 %1 条"),
                                          QStringLiteral("Deleting... %1 done"))
                                    .arg(list->lines().size()));
        status->repaint();
    }
}

void SuitePubService::ModifyShowMsg(QObject *messages, const QString &title, QObject *, QObject *)
{
    auto *list = qobject_cast<RunMessages *>(messages);
    if (!list)
        return;
    if (!MessageBoxScript::interactive()) {
        MessageBoxScript::recordShown(list->text(title));
        return;
    }
    RunMessagesDialog dialog(*list, title, QApplication::activeWindow());
    dialog.exec();
}

void SuitePubService::DeleteStart(QWidget *window)
{
    if (m_running)
        DeleteEnded(m_runWindow);
    m_running = true;
    m_runWindow = window;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (controls::PanelStatusBar *status = statusBarOf(window)) {
        m_runStatusText = status->panelText(0);
        status->setPanelText(
            0, localText(QStringLiteral("正在删除……"), QStringLiteral("Deleting...")));
        status->repaint();
    }
}

void SuitePubService::DeleteEnded(QWidget *window)
{
    Q_UNUSED(window)
    if (!m_running)
        return; // no run began: nothing to undo
    m_running = false;
    if (controls::PanelStatusBar *status = statusBarOf(m_runWindow))
        status->setPanelText(0, m_runStatusText);
    m_runWindow = nullptr;
    m_runStatusText.clear();
    QApplication::restoreOverrideCursor();
}

void SuitePubService::DebugPrint(const QString &text)
{
    SuiteUiHelper().WriteTrace(QStringLiteral("DebugPrint"), text, false);
}

} // namespace perikon::suite
