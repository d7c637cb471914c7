#include "app/picture_list.h"

#include <QTableWidget>

#include <algorithm>

namespace grix {
namespace {

QString Text(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? item->text() : QString();
}

void PrepareRow(QTableWidget& grid, int row) {
    const QPalette& palette = grid.palette();
    for (int column = 0; column < grid.columnCount(); ++column) {
        if (grid.item(row, column) != nullptr)
            continue;
        auto* item = new QTableWidgetItem;
        if (column == kNumberColumn) {
            // The fixed column: never selected, never edited.
            item->setFlags(Qt::NoItemFlags);
            item->setBackground(palette.brush(QPalette::Button));
            item->setForeground(palette.brush(QPalette::ButtonText));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else if (column == kNotesColumn) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        } else {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        grid.setItem(row, column, item);
    }
}

void SetText(QTableWidget& grid, int row, int column, const QString& text) {
    QTableWidgetItem* item = grid.item(row, column);
    if (item->text() != text)
        item->setText(text);
    if (column == kFileColumn)
        item->setToolTip(text);  // the whole path, however narrow the column
}

}  // namespace

bool IsPictureListEmpty(const QTableWidget& grid) {
    return grid.rowCount() == 1 && Text(grid, 0, kNumberColumn).isEmpty();
}

PictureRows ReadPictureRows(const QTableWidget& grid) {
    PictureRows rows;
    if (IsPictureListEmpty(grid))
        return rows;
    for (int row = 0; row < grid.rowCount(); ++row) {
        rows.push_back({Text(grid, row, kFileColumn), Text(grid, row, kSizeColumn),
                        Text(grid, row, kNotesColumn)});
    }
    return rows;
}

void ShowPictureRows(QTableWidget& grid, const PictureRows& rows) {
    const int count = std::max(1, static_cast<int>(rows.size()));
    grid.setRowCount(count);
    for (int row = 0; row < count; ++row) {
        PrepareRow(grid, row);
        const bool data = row < static_cast<int>(rows.size());
        SetText(grid, row, kNumberColumn, data ? QString::number(row + 1) : QString());
        SetText(grid, row, kFileColumn, data ? rows[row].path : QString());
        SetText(grid, row, kSizeColumn, data ? rows[row].size : QString());
        SetText(grid, row, kNotesColumn, data ? rows[row].note : QString());
    }
}

PictureListChange::PictureListChange(const QString& text, PictureRows before,
                                     CellPosition before_cell, PictureRows after,
                                     CellPosition after_cell, Apply apply)
    : QUndoCommand(text),
      before_(std::move(before)),
      after_(std::move(after)),
      before_cell_(before_cell),
      after_cell_(after_cell),
      apply_(std::move(apply)) {}

void PictureListChange::undo() {
    apply_(before_, before_cell_);
    applied_ = false;
}

void PictureListChange::redo() {
    if (!applied_)
        apply_(after_, after_cell_);
    applied_ = false;
}

}  // namespace grix
