// The picture preview: the selected picture as the phone will get it, every
// pixel reduced by the ink test to a black or white cell, enlarged, with
// optional grid lines, on a fixed 640 x 480 surface.
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QWidget>

#include <optional>
#include <string>

namespace grix {

inline constexpr int kPreviewWidth = 640;
inline constexpr int kPreviewHeight = 480;

// Grid lines, over the first column and row of every cell.
inline const QColor kGridLineColor{176, 176, 240};

// The cell pitch for a zoom list index (0 "100%" .. 9 "1000%", -1 none):
// the index itself, at least 1, plus one pixel for the grid line.
int PreviewPitch(int zoom_index, bool grid);

struct PreviewRequest {
    std::string path;  // the picture file of the selected row
    int zoom_index = -1;
    bool grid = false;
    QSize panel;  // client size of the panel the surface sits in
};

// Fills `surface` with `background`, then, when there is a request, draws
// its picture centred in the panel (or from the left/top edge when it does
// not fit) and cut off at the surface's edges. A picture that cannot be
// loaded raises the reader's error with the surface already filled.
void DrawPreview(QImage& surface, const QColor& background,
                 const std::optional<PreviewRequest>& request);

// The preview surface: a fixed 640 x 480 image shown at the top-left
// corner of its panel, not stretched and not scrolled.
class PreviewSurface : public QWidget {
  public:
    explicit PreviewSurface(QWidget* parent = nullptr);
    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

}  // namespace grix
