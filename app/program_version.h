// The program's version as the window and the About box show it.
#pragma once

#include <QString>

namespace grix {

// The build defines GRIX_VERSION from the project's version; a build that
// does not is an unversioned one, which calls itself 3.0.
inline QString ProgramVersion() {
#ifdef GRIX_VERSION
    return QStringLiteral(GRIX_VERSION);
#else
    return QStringLiteral("3.0");
#endif
}

}  // namespace grix
