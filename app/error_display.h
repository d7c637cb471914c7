// The general error display: every failure of a button handler ends in one
// message box whose text is the error's message.
#pragma once

#include <QString>

namespace grix {

// The message with a full stop appended unless its last character already
// codes at or below the full stop (".", ",", "-", "!", ")", a blank ...).
QString ErrorDisplayText(const QString& message);

// The title of the program's message boxes: its display name.
QString ProgramTitle();

}  // namespace grix
