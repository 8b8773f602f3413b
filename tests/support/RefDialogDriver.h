#pragma once

// Answers the suite's lookup (RefDialog) the way an operator does, from a timer, while the code
// under test waits in the dialog's exec().

#include "support/TypeText.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace perikon::testing {

// What the operator met in a lookup and did there.
struct Visit
{
    bool seen = false;
    QStringList offered; // the key column, top to bottom
};

inline QTableView *gridOf(QDialog *dialog)
{
    return dialog->findChild<QTableView *>(QStringLiteral("RefGrid"));
}

// The column of a lookup's grid holding the keys (a multiple choice has its boxes first).
inline int keyColumn(QTableView *grid)
{
    return grid->model()->headerData(0, Qt::Horizontal).toString().isEmpty()
                   && grid->model()->columnCount() > 1
               ? 1
               : 0;
}

inline QStringList offeredKeys(QTableView *grid)
{
    QStringList keys;
    const int column = keyColumn(grid);
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        keys.append(grid->model()->index(row, column).data().toString());
    return keys;
}

inline bool moveTo(QTableView *grid, const QString &key)
{
    const int row = int(offeredKeys(grid).indexOf(key));
    if (row < 0)
        return false;
    grid->setCurrentIndex(grid->model()->index(row, keyColumn(grid)));
    return true;
}

// Answers the next lookup: narrows it by `filter`, checks each of `toggle` (a multiple choice),
// then picks `key` (or only confirms the checks when `key` is empty); cancels when the key is
// not offered.
inline void answerLookup(Visit &visit, const QString &key, const QString &filter = {},
                         const QStringList &toggle = {})
{
    QTimer::singleShot(0, qApp, [&visit, key, filter, toggle] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("RefDialog"))
            return;
        visit.seen = true;
        QTableView *grid = gridOf(dialog);
        if (!filter.isEmpty()) {
            typeText(dialog->findChild<QLineEdit *>(QStringLiteral("RefFilter")), filter);
            QTest::qWait(400);
        }
        visit.offered = offeredKeys(grid);
        for (const QString &checked : toggle) {
            if (moveTo(grid, checked))
                QTest::keyClick(grid, Qt::Key_Space);
        }
        if (!key.isEmpty() && !moveTo(grid, key)) {
            dialog->reject();
            return;
        }
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("RefOK")),
                          Qt::LeftButton);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace perikon::testing
