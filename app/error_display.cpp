#include "app/error_display.h"

#include <QGuiApplication>

namespace grix {

QString ErrorDisplayText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString ProgramTitle() {
    // The name desktops show for the program, not its file's: "Grix".
    return QGuiApplication::applicationDisplayName();
}

}  // namespace grix
