#include "app/preview.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "builder/pack_picture.h"

namespace grix {

int PreviewPitch(int zoom_index, bool grid) {
    const int zoom = std::max(1, zoom_index);
    return grid ? zoom + 1 : zoom;
}

void DrawPreview(QImage& surface, const QColor& background,
                 const std::optional<PreviewRequest>& request) {
    if (surface.format() != QImage::Format_RGB32) {
        surface = surface.convertToFormat(QImage::Format_RGB32);
    }
    surface.fill(background);
    if (!request)
        return;

    TPicture picture;
    TBitmap& bitmap = LoadPackBitmap(picture, request->path);
    const std::int64_t pitch = PreviewPitch(request->zoom_index, request->grid);
    const std::int64_t canvas_width = std::int64_t{picture.Width()} * pitch;
    const std::int64_t canvas_height = std::int64_t{picture.Height()} * pitch;

    // Centred against the part of the panel the surface covers: a panel
    // larger than the surface would otherwise push a small picture past the
    // surface's edge, out of sight.
    const std::int64_t room_width = std::min(request->panel.width(), surface.width());
    const std::int64_t room_height = std::min(request->panel.height(), surface.height());
    const std::int64_t left = canvas_width < room_width ? (room_width - canvas_width) / 2 : 0;
    const std::int64_t top = canvas_height < room_height ? (room_height - canvas_height) / 2 : 0;

    // Only the cells that reach the surface are read, so a huge picture at a
    // high zoom costs no more than a small one.
    const int right =
        static_cast<int>(std::min<std::int64_t>(surface.width(), left + canvas_width));
    const int bottom =
        static_cast<int>(std::min<std::int64_t>(surface.height(), top + canvas_height));
    if (right <= left || bottom <= top)
        return;
    const std::int64_t cells_across = (right - left + pitch - 1) / pitch;
    const std::int64_t cells_down = (bottom - top + pitch - 1) / pitch;

    std::vector<std::uint8_t> ink(static_cast<std::size_t>(cells_across * cells_down));
    for (std::int64_t y = 0; y < cells_down; ++y) {
        for (std::int64_t x = 0; x < cells_across; ++x) {
            ink[static_cast<std::size_t>(y * cells_across + x)] = IsInk(
                bitmap.PixelColor(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
        }
    }

    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);
    const QRgb line = kGridLineColor.rgb();
    for (int sy = static_cast<int>(top); sy < bottom; ++sy) {
        auto* row = reinterpret_cast<QRgb*>(surface.scanLine(sy));
        const std::int64_t cy = sy - top;
        const std::uint8_t* cells = ink.data() + (cy / pitch) * cells_across;
        const bool line_row = request->grid && cy % pitch == 0;
        for (int sx = static_cast<int>(left); sx < right; ++sx) {
            const std::int64_t cx = sx - left;
            if (line_row || (request->grid && cx % pitch == 0)) {
                row[sx] = line;
            } else {
                row[sx] = cells[cx / pitch] ? black : white;
            }
        }
    }
}

PreviewSurface::PreviewSurface(QWidget* parent)
    : QWidget(parent), image_(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32) {
    setFixedSize(kPreviewWidth, kPreviewHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_.fill(palette().color(QPalette::Button));
}

void PreviewSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

}  // namespace grix
