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

#include <optional>
#include <string>
#include <vector>

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
};

// Sizes `surface` to the panel (or to the canvas where that is larger, up
// to kMaxSurfaceSide), fills it with `background`, then, when there is a
// request, draws its picture centred (or from the left/top edge where it
// does not fit). A picture that cannot be loaded raises the reader's error
// with the surface already filled.
void DrawPreview(QImage& surface, const QColor& background,
                 const std::optional<PreviewRequest>& request);

// The surface as a widget: the image at its natural size, not stretched.
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

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
    QString message_;
};

}  // namespace grix
