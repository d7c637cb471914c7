// The cells as the phone will show the puzzle: the grid with every fifth
// line darker, the row clues on the left and the column clues on top, and
// the cells where another solution differs marked.
#pragma once

#include <QWidget>

#include <utility>
#include <vector>

#include "cells/cell_grid.h"
#include "puzzle/clues.h"

namespace grix {

class CellsView : public QWidget {
  public:
    explicit CellsView(QWidget* parent);

    void SetCells(const CellGrid& cells);
    void SetDiffers(const std::vector<std::pair<int, int>>& differs);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CellGrid cells_;
    Clues rows_, columns_;
    std::vector<std::pair<int, int>> differs_;
};

}  // namespace grix
