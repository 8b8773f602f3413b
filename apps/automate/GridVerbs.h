#pragma once

#include <QJsonObject>

class QAbstractItemView;

namespace perikon::automation {

// The grid verbs in host numbering: row 0 is the header row, data rows count from 1. On the host
// grid column 0 is the row-number column and column c >= 1 is model column c - 1; on any other
// item view a column is the model's own column.
QJsonObject readGrid(QAbstractItemView *view, const QJsonObject &request);
QJsonObject selectCell(QAbstractItemView *view, int row, int col);
QJsonObject clickCell(QAbstractItemView *view, int row, int col, bool twice,
                      Qt::MouseButton button = Qt::LeftButton);

} // namespace perikon::automation
