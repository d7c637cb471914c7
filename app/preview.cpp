#include "app/preview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "cells/pack_picture.h"

namespace grix {

int ZoomFactor(int zoom_index) {
    return zoom_index >= 0 && zoom_index < kZoomSteps ? zoom_index + 1 : 1;
}

int FitZoomFactor(QSize picture, QSize panel, bool grid) {
    // Not bounded by the list's largest entry: a 2 x 2 picture fills a wide
    // window as well as a 200 x 150 one fills a narrow panel.
    if (picture.width() <= 0 || picture.height() <= 0)
        return 1;
    const int pitch = std::min(panel.width() / picture.width(), panel.height() / picture.height());
    return std::max(1, grid ? pitch - 1 : pitch);
}

int PreviewPitch(int factor, bool grid) {
    return grid ? factor + 1 : factor;
}

std::optional<QPoint> CellAt(const PreviewLayout& layout, QPoint pixel) {
    if (layout.pitch <= 0)
        return std::nullopt;
    const auto cell = [&](int at, int origin) {
        const int from = at - origin;
        // Rounded down, so that the pixels left of the picture are column -1.
        return from >= 0 ? from / layout.pitch : -((-from + layout.pitch - 1) / layout.pitch);
    };
    return QPoint(cell(pixel.x(), layout.origin.x()), cell(pixel.y(), layout.origin.y()));
}

PreviewLayout DrawPreview(QImage& surface, const QColor& background,
                          const std::optional<PreviewRequest>& request) {
    const QSize panel = request ? request->panel.expandedTo(QSize(1, 1)) : surface.size();
    if (!request) {
        surface =
            QImage(panel.boundedTo(QSize(kMaxSurfaceSide, kMaxSurfaceSide)), QImage::Format_RGB32);
        surface.fill(background);
        return {};
    }

    TPicture picture;
    std::int64_t pitch = 1;
    std::int64_t canvas_width = 0;
    std::int64_t canvas_height = 0;
    const TBitmap* bitmap = nullptr;
    const CellGrid* edited = request->cells ? &*request->cells : nullptr;
    if (edited == nullptr) {
        try {
            bitmap = &LoadPackBitmap(picture, request->path);
        } catch (...) {
            surface = QImage(panel.boundedTo(QSize(kMaxSurfaceSide, kMaxSurfaceSide)),
                             QImage::Format_RGB32);
            surface.fill(background);
            throw;
        }
    }
    const QSize cells = edited != nullptr ? QSize(edited->width, edited->height)
                                          : QSize(picture.Width(), picture.Height());
    // Fit never scrolls a picture that fits at one pixel per cell: where
    // the grid lines would not fit too, they are left out.
    const bool fit = request->zoom_index == kFitZoomIndex;
    const bool grid =
        request->grid && !(fit && (std::int64_t{cells.width()} * 2 > panel.width() ||
                                   std::int64_t{cells.height()} * 2 > panel.height()));
    const int factor = fit ? FitZoomFactor(cells, panel, grid) : ZoomFactor(request->zoom_index);
    pitch = PreviewPitch(factor, grid);
    canvas_width = std::int64_t{cells.width()} * pitch;
    canvas_height = std::int64_t{cells.height()} * pitch;
    // A canvas that scrolls one way takes a scroll bar's room from the other
    // side; the surface gives that room up, so that a wide picture does not
    // get a needless second scroll bar.
    const std::int64_t bar = std::max(0, request->scroll_bar_extent);
    std::int64_t room_width = panel.width();
    std::int64_t room_height = panel.height();
    if (canvas_width > room_width)
        room_height = std::max<std::int64_t>(1, room_height - bar);
    if (canvas_height > room_height)
        room_width = std::max<std::int64_t>(1, room_width - bar);
    if (canvas_width > room_width)
        room_height = std::max<std::int64_t>(1, panel.height() - bar);
    const int surface_width = static_cast<int>(
        std::min<std::int64_t>(kMaxSurfaceSide, std::max(room_width, canvas_width)));
    const int surface_height = static_cast<int>(
        std::min<std::int64_t>(kMaxSurfaceSide, std::max(room_height, canvas_height)));
    surface = QImage(surface_width, surface_height, QImage::Format_RGB32);
    surface.fill(background);

    const std::int64_t left = canvas_width < surface_width ? (surface_width - canvas_width) / 2 : 0;
    const std::int64_t top =
        canvas_height < surface_height ? (surface_height - canvas_height) / 2 : 0;
    const PreviewLayout layout{QPoint(static_cast<int>(left), static_cast<int>(top)),
                               static_cast<int>(pitch), cells};

    // Only the cells that reach the surface are read, so a huge picture at a
    // high zoom costs no more than a small one.
    const int right = static_cast<int>(std::min<std::int64_t>(surface_width, left + canvas_width));
    const int bottom =
        static_cast<int>(std::min<std::int64_t>(surface_height, top + canvas_height));
    if (right <= left || bottom <= top)
        return layout;
    const std::int64_t cells_across = (right - left + pitch - 1) / pitch;
    const std::int64_t cells_down = (bottom - top + pitch - 1) / pitch;

    enum : std::uint8_t { kEmpty = 0, kInk = 1, kMarked = 2, kFix = 4 };
    std::vector<std::uint8_t> ink(static_cast<std::size_t>(cells_across * cells_down));
    for (std::int64_t y = 0; y < cells_down; ++y) {
        for (std::int64_t x = 0; x < cells_across; ++x) {
            const auto cx = static_cast<std::int32_t>(x);
            const auto cy = static_cast<std::int32_t>(y);
            const bool filled =
                edited != nullptr ? edited->Filled(cx, cy) : IsInk(bitmap->PixelColor(cx, cy));
            ink[static_cast<std::size_t>(y * cells_across + x)] = filled ? kInk : kEmpty;
        }
    }
    const auto mark_all = [&](const std::vector<QPoint>& marks, std::uint8_t kind) {
        for (const QPoint& mark : marks) {
            if (mark.x() >= 0 && mark.y() >= 0 && mark.x() < cells_across && mark.y() < cells_down)
                ink[static_cast<std::size_t>(mark.y() * cells_across + mark.x())] |= kind;
        }
    };
    mark_all(request->marks, kMarked);
    mark_all(request->fix_marks, kFix);

    // A marked cell keeps its own colour inside a frame of the ambiguity
    // (or fix) colour, so that black and white stay visible; a cell too
    // small for a frame (under 3 pixels) is filled with it instead. A fix
    // proposed for a cell is what the author is asked about, so its frame
    // is the one shown.
    const QRgb colours[] = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    const QRgb marked = kAmbiguityColor.rgb();
    const QRgb fixed = kFixColor.rgb();
    const std::int64_t first = grid ? 1 : 0;  // the cell's first pixel after its line
    const bool framed = pitch - first >= 3;
    const std::int64_t frame = std::max<std::int64_t>(1, (pitch - first) / 8);  // its width
    // A proposed fix is what the author must find at a glance: twice as thick.
    const std::int64_t fix_frame = std::max<std::int64_t>(1, (pitch - first) / 4);
    const QRgb line = kGridLineColor.rgb();
    for (int sy = static_cast<int>(top); sy < bottom; ++sy) {
        auto* row = reinterpret_cast<QRgb*>(surface.scanLine(sy));
        const std::int64_t cy = sy - top;
        const std::uint8_t* cell_row = ink.data() + (cy / pitch) * cells_across;
        const bool line_row = grid && cy % pitch == 0;
        for (int sx = static_cast<int>(left); sx < right; ++sx) {
            const std::int64_t cx = sx - left;
            if (line_row || (grid && cx % pitch == 0)) {
                row[sx] = line;
                continue;
            }
            const std::uint8_t cell = cell_row[cx / pitch];
            if ((cell & (kMarked | kFix)) == 0) {
                row[sx] = colours[cell];
                continue;
            }
            const std::int64_t px = cx % pitch;
            const std::int64_t py = cy % pitch;
            const bool fix = (cell & kFix) != 0;
            const std::int64_t width = fix ? fix_frame : frame;
            const bool edge = px - first < width || py - first < width || pitch - 1 - px < width ||
                              pitch - 1 - py < width;
            row[sx] = !framed || edge ? (fix ? fixed : marked) : colours[cell & kInk];
        }
    }
    return layout;
}

PreviewSurface::PreviewSurface(QWidget* parent)
    : QWidget(parent), image_(1, 1, QImage::Format_RGB32) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_.fill(palette().color(QPalette::Button));
}

void PreviewSurface::Fit() {
    if (size() != image_.size())
        setFixedSize(image_.size());
    update();
}

void PreviewSurface::SetMessage(const QString& text) {
    if (text == message_)
        return;
    message_ = text;
    setToolTip(text.isEmpty() ? hint_ : text);
    update();
}

void PreviewSurface::SetHint(const QString& text) {
    hint_ = text;
    if (message_.isEmpty())
        setToolTip(hint_);
}

void PreviewSurface::SetLayout(const PreviewLayout& layout) {
    layout_ = layout;
}

void PreviewSurface::SetCellHandler(CellHandler handler) {
    cell_handler_ = std::move(handler);
    setCursor(cell_handler_ ? Qt::CrossCursor : Qt::ArrowCursor);
}

void PreviewSurface::Report(StrokeStep step, QPoint pixel) {
    // A stroke always ends, even when the picture went away under it.
    if (const std::optional<QPoint> cell = CellAt(layout_, pixel))
        last_cell_ = *cell;
    else if (step != StrokeStep::Release)
        return;
    if (cell_handler_)
        cell_handler_(step, last_cell_);
}

void PreviewSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !cell_handler_)
        return QWidget::mousePressEvent(event);
    const QPoint pixel = event->position().toPoint();
    const std::optional<QPoint> cell = CellAt(layout_, pixel);
    // A stroke starts on the picture only: a press on the margin draws
    // nothing, so a click meant for the panel changes no cell.
    if (!cell || cell->x() < 0 || cell->y() < 0 || cell->x() >= layout_.cells.width() ||
        cell->y() >= layout_.cells.height())
        return;
    stroking_ = true;
    Report(StrokeStep::Press, pixel);
}

void PreviewSurface::mouseMoveEvent(QMouseEvent* event) {
    if (!stroking_)
        return QWidget::mouseMoveEvent(event);
    Report(StrokeStep::Move, event->position().toPoint());
}

void PreviewSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (!stroking_ || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    stroking_ = false;
    Report(StrokeStep::Release, event->position().toPoint());
}

void PreviewSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
    if (!message_.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect().adjusted(8, 8, -8, -8),
                         Qt::AlignCenter | Qt::TextWordWrap | Qt::TextWrapAnywhere, message_);
    }
}

}  // namespace grix
