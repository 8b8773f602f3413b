#pragma once

#include <QString>
#include <QWidget>

namespace perikon {

// The host's column-settings control ("ColumnSetControl"): the operator shows or hides an
// archive's columns, renames them, sets their widths and their order, over column information
// XML (<ColInfo cKey='…'><ColSet cFld cOriginalCaption cCaption bMustInput bShow iWidth iOrder/>
// …</ColInfo>, as the column-set service gives it).
class ColumnSetControl : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Shows the columns of `colInfoXml` in their iOrder. False, with `error` saying why and the
    // rows shown before kept, when the text is not column information.
    virtual bool Load(const QString &colInfoXml, QString &error) = 0;
    // The columns as the operator left them: one ColSet per row in the rows' order, iOrder from
    // 1, must-input flags as loaded.
    virtual QString colInfo() const = 0;

signals:
    // The operator confirmed the layout `xml`; `save`: keep it as the operator's layout.
    void confirmed(bool save, const QString &xml);
    // The operator asked for another starting point: 0 the operator's layout, 15 every column
    // shown, 2 the default layout. The window loads it.
    void variantRequested(int mode);
    // The operator closed the control without confirming.
    void closeRequested();
};

} // namespace perikon
