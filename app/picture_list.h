// The picture list as the window shows it: the grid sgImages, one data row
// per picture (number, file, size text, note, and the solvability check),
// read and written as a whole list of rows so that every change, and its
// undo, is "this list replaced that one".
#pragma once

#include <QString>
#include <QUndoCommand>

#include <functional>
#include <vector>

class QTableWidget;

namespace grix {

enum PictureColumn {
    kNumberColumn = 0,
    kFileColumn = 1,
    kSizeColumn = 2,
    kNotesColumn = 3,
    kCheckColumn = 4,  // shown only; never stored in the settings file
    kPictureColumnCount = 5
};

// The check column's short form of its text, for a narrow column.
inline constexpr int kBriefCheckRole = Qt::UserRole + 1;

struct PictureRow {
    QString path;
    QString size;
    QString note;
    bool operator==(const PictureRow&) const = default;
};
using PictureRows = std::vector<PictureRow>;

// The grid's cell that holds the selection, 1-based row; row 0 for none.
struct CellPosition {
    int row = 0;
    int column = kFileColumn;
};

// The rows of the grid; empty for the empty list (one row, no number).
PictureRows ReadPictureRows(const QTableWidget& grid);

// Shows `rows` numbered 1..n; no rows gives the empty list. Items are
// reused, so a grid that changes by one row does not flicker.
void ShowPictureRows(QTableWidget& grid, const PictureRows& rows);

bool IsPictureListEmpty(const QTableWidget& grid);

// One change of the list on the undo stack: the list and the selection
// before and after. The change is already on screen when it is pushed, so
// the first redo does nothing.
class PictureListChange : public QUndoCommand {
  public:
    using Apply = std::function<void(const PictureRows&, CellPosition)>;
    PictureListChange(const QString& text, PictureRows before, CellPosition before_cell,
                      PictureRows after, CellPosition after_cell, Apply apply);
    void undo() override;
    void redo() override;

  private:
    PictureRows before_;
    PictureRows after_;
    CellPosition before_cell_;
    CellPosition after_cell_;
    Apply apply_;
    bool applied_ = true;
};

}  // namespace grix
