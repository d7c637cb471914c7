// "New picture...": the size of a blank picture to draw from scratch.
#pragma once

#include <QSize>

#include <optional>

class QWidget;

namespace grix {

// The size a new picture starts at: a common crossword size, small enough
// to draw cell by cell.
inline constexpr int kNewPictureSide = 15;

// Asks for the width and height in cells (1 to the player's largest side);
// nothing when the author cancels.
std::optional<QSize> AskNewPictureSize(QWidget* parent);

}  // namespace grix
