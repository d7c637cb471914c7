#include "app/cells_view.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <algorithm>

namespace grix {
namespace {

const QColor kLineColour(176, 176, 240);
const QColor kFifthLineColour(96, 96, 176);
const QColor kDiffersColour(220, 40, 40);

QString ClueText(const LineClue& clue) {
    if (clue.empty())
        return QStringLiteral("0");
    QStringList parts;
    for (const int run : clue)
        parts << QString::number(run);
    return parts.join(QLatin1Char(' '));
}

}  // namespace

CellsView::CellsView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 260);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CellsView::SetCells(const CellGrid& cells) {
    cells_ = cells;
    rows_ = RowClues(cells);
    columns_ = ColumnClues(cells);
    differs_.clear();
    update();
}

void CellsView::SetDiffers(const std::vector<std::pair<int, int>>& differs) {
    differs_ = differs;
    update();
}

void CellsView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (cells_.width <= 0 || cells_.height <= 0)
        return;

    // The clue font follows the cell size, down to a size still read;
    // below it the clues give way to the cells.
    QFont font = this->font();
    int cell = 0, clue_width = 0, clue_height = 0;
    bool clues = true;
    for (int pixel_size : {13, 11, 9, 7}) {
        font.setPixelSize(pixel_size);
        const QFontMetrics metrics(font);
        clue_width = 0;
        int numbers = 1;
        for (const LineClue& clue : rows_)
            clue_width = std::max(clue_width, metrics.horizontalAdvance(ClueText(clue)));
        // A column's numbers stand one above the other, each no wider
        // than its cell, or two-digit numbers run into their neighbours.
        int number_width = 0;
        for (const LineClue& clue : columns_) {
            numbers = std::max(numbers, static_cast<int>(clue.size()));
            for (const int run : clue)
                number_width =
                    std::max(number_width, metrics.horizontalAdvance(QString::number(run)));
        }
        clue_width += 6;
        clue_height = numbers * metrics.height() + 4;
        cell = std::min((width() - 8 - clue_width) / cells_.width,
                        (height() - 8 - clue_height) / cells_.height);
        if (cell >= pixel_size + 2 && cell >= number_width + 2)
            break;
    }
    if (cell < 9) {
        clues = false;
        clue_width = clue_height = 0;
        cell = std::max(1, std::min((width() - 8) / cells_.width, (height() - 8) / cells_.height));
    }
    const int left = (width() - clue_width - cell * cells_.width) / 2 + clue_width;
    const int top = (height() - clue_height - cell * cells_.height) / 2 + clue_height;

    // One pixel per cell, enlarged without smoothing: a 1000 x 1000
    // crossword paints as fast as a small one.
    QImage image(cells_.width, cells_.height, QImage::Format_Grayscale8);
    for (int y = 0; y < cells_.height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < cells_.width; ++x)
            row[x] = cells_.Filled(x, y) ? 0 : 255;
    }
    painter.drawImage(QRect(left, top, cell * cells_.width, cell * cells_.height), image);
    if (cell >= 4) {
        for (int i = 0; i <= cells_.width; ++i) {
            painter.setPen(i % 5 == 0 ? kFifthLineColour : kLineColour);
            painter.drawLine(left + i * cell, top, left + i * cell, top + cells_.height * cell);
        }
        for (int i = 0; i <= cells_.height; ++i) {
            painter.setPen(i % 5 == 0 ? kFifthLineColour : kLineColour);
            painter.drawLine(left, top + i * cell, left + cells_.width * cell, top + i * cell);
        }
    }
    painter.setPen(QPen(kDiffersColour, std::max(1, cell / 6)));
    for (const auto& [x, y] : differs_) {
        const int inset = std::max(1, cell / 5);
        painter.drawRect(left + x * cell + inset, top + y * cell + inset, cell - 2 * inset,
                         cell - 2 * inset);
    }
    if (!clues)
        return;

    painter.setFont(font);
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics(font);
    for (int y = 0; y < cells_.height; ++y) {
        painter.drawText(QRect(left - clue_width, top + y * cell, clue_width - 4, cell),
                         Qt::AlignRight | Qt::AlignVCenter,
                         ClueText(rows_[static_cast<std::size_t>(y)]));
    }
    for (int x = 0; x < cells_.width; ++x) {
        const LineClue& clue = columns_[static_cast<std::size_t>(x)];
        const QStringList numbers = ClueText(clue).split(QLatin1Char(' '));
        for (int i = 0; i < numbers.size(); ++i) {
            const int row_from_bottom = static_cast<int>(numbers.size()) - i;
            painter.drawText(QRect(left + x * cell, top - 2 - row_from_bottom * metrics.height(),
                                   cell, metrics.height()),
                             Qt::AlignCenter, numbers[i]);
        }
    }
}

}  // namespace grix
