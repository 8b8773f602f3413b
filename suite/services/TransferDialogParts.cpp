#include "suite/services/TransferDialogParts.h"

#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteUiHelper.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

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

namespace {

QString prefixedText(const QString &textPrefix, const char *word)
{
    return ResourceTexts::text(sessionLanguage(), QStringLiteral("K2.Suite.") + textPrefix + u'.'
                                                      + QLatin1String(word));
}

} // namespace

PickButtons pickButtons(QDialog *dialog, const QString &namePrefix, const QString &textPrefix,
                        bool editable)
{
    PickButtons buttons;
    const auto moveButton = [&](const char *word) {
        auto *button = new QPushButton(prefixedText(textPrefix, word), dialog);
        button->setObjectName(namePrefix + QLatin1String(word));
        button->setAutoDefault(false);
        return button;
    };
    buttons.add = moveButton("Add");
    buttons.remove = moveButton("Remove");
    buttons.box = new QDialogButtonBox(dialog);
    buttons.ok
        = buttons.box->addButton(prefixedText(textPrefix, "OK"), QDialogButtonBox::AcceptRole);
    buttons.ok->setObjectName(namePrefix + QStringLiteral("OK"));
    buttons.cancel
        = buttons.box->addButton(prefixedText(textPrefix, "Cancel"), QDialogButtonBox::RejectRole);
    buttons.cancel->setObjectName(namePrefix + QStringLiteral("Cancel"));
    (editable ? buttons.ok : buttons.cancel)->setDefault(true);
    QObject::connect(buttons.box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons.box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void layOutPickDialog(QDialog *dialog, const PickButtons &buttons, const QString &textPrefix,
                      QLayout *pickRows, QWidget *available, QWidget *chosen, bool editable)
{
    auto *moveButtons = new QVBoxLayout;
    moveButtons->addStretch();
    moveButtons->addWidget(buttons.add);
    moveButtons->addWidget(buttons.remove);
    moveButtons->addStretch();
    auto *lists = new QGridLayout;
    lists->addWidget(new QLabel(prefixedText(textPrefix, "Available"), dialog), 0, 0);
    lists->addWidget(new QLabel(prefixedText(textPrefix, "Chosen"), dialog), 0, 2);
    lists->addLayout(pickRows, 1, 0);
    lists->addWidget(available, 2, 0);
    lists->addLayout(moveButtons, 2, 1);
    lists->addWidget(chosen, 1, 2, 2, 1);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(2, 1);
    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(lists, 1);
    if (!editable) {
        auto *note = new QLabel(prefixedText(textPrefix, "ReadOnly"), dialog);
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    layout->addWidget(buttons.box);
}

} // namespace perikon::suite::internal
