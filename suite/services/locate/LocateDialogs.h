#pragma once

#include "suite/services/locate/LocateSearch.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace perikon::controls {
class HostGrid;
}

namespace perikon::suite::locate {

// How locating works in an archive: the column it reads (by caption) and the match. Children
// "cboColumn", "cboMatch", "cmdOK", "cmdCancel".
class LocateSetDialog : public QDialog
{
    Q_OBJECT
public:
    LocateSetDialog(const QStringList &captions, const LocateSettings &current,
                    QWidget *parent = nullptr);
    LocateSettings settings() const;

private:
    QComboBox *m_column;
    QComboBox *m_match;
};

// Finding a text in one column of a grid's page: each Find Next makes the next matching row
// current and shows it; none, a message and the current row stays. Children "txtFind",
// "cmdFindNext", "cmdClose".
class LocateDialog : public QDialog
{
    Q_OBJECT
public:
    LocateDialog(controls::HostGrid &grid, int column, const LocateSettings &settings,
                 QWidget *parent = nullptr);
    // One Find Next; true when a row was found.
    bool findNext();

private:
    controls::HostGrid &m_grid;
    int m_column;
    LocateSettings m_settings;
    QLineEdit *m_text;
    QPushButton *m_next;
};

// The grid columns locating may read: the shown data columns from 2 on (column 1 carries the
// marks), by their captions.
QStringList locatableCaptions(const controls::HostGrid &grid);
// The grid column of a caption (blanks around it do not count); -1 when no column has it.
int columnOfCaption(const controls::HostGrid &grid, const QString &caption);

} // namespace perikon::suite::locate
