// What the build would say about the project fields, said while the author
// types: the crossword name (it names the suite's files and the phone's
// menu entry) and the splash picture. An empty answer means no problem.
#pragma once

#include <QString>

namespace grix {

// Phones refuse MIDlet names longer than this (the build warns about them).
inline constexpr int kLongCrosswordNameBytes = 32;
// Why `name` cannot name the suite, naming the character at fault.
QString CrosswordNameProblem(const QString& name);

// Why the splash option as set would not give the suite its splash
// picture: ticked without a path, or the build's own reason for leaving the
// file out (missing, a folder, not a PNG picture, too large, damaged).
// Nothing to say when the box is clear and the path empty.
QString SplashProblem(bool wanted, const QString& path);

}  // namespace grix
