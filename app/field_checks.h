// What the build would say about the project fields, said while the author
// types: the crossword name (it names the suite's files and the phone's
// menu entry) and the splash picture. An empty answer means no problem.
#pragma once

#include <QString>

namespace grix {

// Phones refuse MIDlet names longer than this (the build warns about them).
inline constexpr int kLongCrosswordNameBytes = 32;
// The build copies no splash picture larger than this.
inline constexpr qint64 kMaxSplashPictureBytes = 1024 * 1024;

// Why `name` cannot name the suite, naming the character at fault.
QString CrosswordNameProblem(const QString& name);

// Why the splash option as set would not give the suite its splash
// picture: ticked without a path, a file that is missing, not a PNG file,
// or too large. Nothing to say when the box is clear and the path empty.
QString SplashProblem(bool wanted, const QString& path);

}  // namespace grix
