// The picture preview: the selected picture as the phone will get it, every
// pixel reduced by the ink test to a black or white cell, enlarged, with
// optional grid lines, on a surface that grows with the picture and scrolls
// in its panel.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cells/cell_grid.h"

namespace grix {

// The zoom list: "100%" (index 0, one pixel per cell) to "1000%" (index 9,
// ten pixels per cell), then "Fit".
inline constexpr int kZoomSteps = 10;
inline constexpr int kFitZoomIndex = kZoomSteps;

// A surface side never grows past this: a huge picture at a high zoom is
// cut here instead of taking gigabytes.
inline constexpr int kMaxSurfaceSide = 8192;

// Grid lines, over the first column and row of every cell.
inline const QColor kGridLineColor{176, 176, 240};
// Cells that differ in another solution of the picture's clues.
inline const QColor kAmbiguityColor{230, 40, 40};
// Cells a proposed fix changes: blue, which neither the red of ambiguity nor
// the grid's pale lines can be taken for, and which red-green colour
// blindness leaves apart from the red.
inline const QColor kFixColor{20, 110, 240};

// Pixels per cell for a fixed zoom index (0..9); any other index but Fit
// (none, or out of range from a hand-edited file) counts as "100%".
int ZoomFactor(int zoom_index);

// The largest whole number of pixels per cell whose canvas fits `panel`;
// 1 when even that does not fit (the preview then scrolls).
int FitZoomFactor(QSize picture, QSize panel, bool grid);

// The cell pitch: the factor, plus one pixel for the grid line.
int PreviewPitch(int factor, bool grid);

struct PreviewRequest {
    std::string path;  // the picture file of the selected row
    int zoom_index = kFitZoomIndex;
    bool grid = false;
    QSize panel;                // what the panel shows without scroll bars
    std::vector<QPoint> marks;  // cells drawn in the ambiguity colour
    int scroll_bar_extent = 0;  // what a scroll bar takes of the panel
    // Cells to draw instead of the file's: a picture with unsaved edits, or
    // a proposed fix. The file is then not read at all.
    std::optional<CellGrid> cells = std::nullopt;
    std::vector<QPoint> fix_marks = {};  // cells drawn in the fix colour
};

// Where a drawing put the cells on the surface, for finding the cell under
// the mouse.
struct PreviewLayout {
    QPoint origin;  // the first cell's top left pixel (its grid line's, with a grid)
    int pitch = 0;  // 0: no picture drawn
    QSize cells;    // the picture's size in cells
};

// The cell (column, row) under surface pixel `pixel`, outside the picture
// where the pixel is (a drag leaving the picture keeps its direction);
// nothing when no picture is drawn.
std::optional<QPoint> CellAt(const PreviewLayout& layout, QPoint pixel);

// Sizes `surface` to the panel (or to the canvas where that is larger, up
// to kMaxSurfaceSide), fills it with `background`, then, when there is a
// request, draws its picture centred (or from the left/top edge where it
// does not fit). A picture that cannot be loaded raises the reader's error
// with the surface already filled. Answers where the cells went.
PreviewLayout DrawPreview(QImage& surface, const QColor& background,
                          const std::optional<PreviewRequest>& request);

// A stroke of the mouse's first button over the preview's cells.
enum class StrokeStep { Press, Move, Release };

// The surface as a widget: the image at its natural size, not stretched.
// With a cell handler it reports strokes over the picture in cells: a press
// on a cell, every move while the button is down, and the release.
class PreviewSurface : public QWidget {
  public:
    explicit PreviewSurface(QWidget* parent = nullptr);
    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }
    // Takes the image's size after a redraw.
    void Fit();
    // Text shown over the surface instead of a picture (why it cannot be
    // shown); empty for none.
    void SetMessage(const QString& text);
    const QString& Message() const { return message_; }
    // The tooltip while no message shows.
    void SetHint(const QString& text);

    // Where the last drawing put the cells (DrawPreview's answer).
    void SetLayout(const PreviewLayout& layout);
    const PreviewLayout& Layout() const { return layout_; }
    using CellHandler = std::function<void(StrokeStep, QPoint cell)>;
    void SetCellHandler(CellHandler handler);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void Report(StrokeStep step, QPoint pixel);

    QImage image_;
    QString message_;
    QString hint_;
    PreviewLayout layout_;
    CellHandler cell_handler_;
    bool stroking_ = false;
    QPoint last_cell_;
};

}  // namespace grix
