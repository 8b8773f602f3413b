#include "suite/services/TransferDialogParts.h"

#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteUiHelper.h"

#include <QHeaderView>
#include <QTableView>

namespace perikon::suite::internal {

QString dialogText(const char *key)
{
    return ResourceTexts::text(sessionLanguage(), QString::fromLatin1(key));
}

void showDialogProblem(const char *key, const QString &detail)
{
    const QString language = sessionLanguage();
    SuiteUiHelper().ShowMsgBox(ResourceTexts::format(language, QString::fromLatin1(key), {detail}),
                               MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation, {}, language, 0, 0);
}

QTableView *pickGrid(const QString &objectName, QAbstractItemModel *model, QWidget *parent)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(objectName);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setAlternatingRowColors(true);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setMinimumSectionSize(60);
    return grid;
}

void fitColumns(QTableView *grid)
{
    grid->resizeColumnsToContents();
    for (int column = 0; column + 1 < grid->model()->columnCount(); ++column)
        grid->setColumnWidth(column, grid->columnWidth(column) + 16);
}

} // namespace perikon::suite::internal
