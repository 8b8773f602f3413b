#pragma once

#include "perikon/host/contract/ColumnSetControl.h"
#include "suite/controls/colset/ColumnSetExport.h"
#include "suite/controls/colset/ColumnSetRows.h"
#include "suite/controls/colset/ColumnSetTexts.h"

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace perikon::suite {

// The suite's column-settings control ("ColumnSetControl"). "GridCols" lists one column a row:
// Show ("√" when shown; Space, a click on the cell toggles it), Caption and Width (edited in
// place), Original caption. "cmdUp"/"cmdDown" move the current row; "chkSave" keeps the layout
// as the operator's; "cmdOK" confirms, "cmdCancel" closes; "cmdMine", "cmdAll" and "cmdDefault"
// ask for the operator's layout, every column, and the default layout.
class PERIKON_COLSET_EXPORT SuiteColumnSetControl : public ColumnSetControl
{
    Q_OBJECT
public:
    explicit SuiteColumnSetControl(QWidget *parent = nullptr);
    ~SuiteColumnSetControl() override;

    void setTexts(const colset::ColumnSetTexts &texts);

    bool Load(const QString &colInfoXml, QString &error) override;
    QString colInfo() const override;

    // The grid's columns.
    enum Column { ShowColumn, CaptionColumn, OriginalColumn, WidthColumn, ColumnCount };

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillGrid();
    void fillRow(int row);
    void toggleCurrent();
    void moveCurrent(bool up);
    void onItemChanged(int row, int column);

    colset::ColumnSetRows m_rows;
    colset::ColumnSetTexts m_texts;
    QTableWidget *m_grid = nullptr;
    QPushButton *m_up = nullptr;
    QPushButton *m_down = nullptr;
    QPushButton *m_mine = nullptr;
    QPushButton *m_all = nullptr;
    QPushButton *m_default = nullptr;
    QCheckBox *m_save = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_filling = false;
};

} // namespace perikon::suite
