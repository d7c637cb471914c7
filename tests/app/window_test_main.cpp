// The window tests' program.
#include <QString>

#include <cstdio>

#include "support/qt_test_main.h"

namespace {

QtMessageHandler previous_handler = nullptr;

// The offscreen platform says, for every fixed-size widget, that it cannot
// pass size hints on; nothing a test needs to see.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (previous_handler != nullptr) {
        previous_handler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

}  // namespace

int main(int argc, char** argv) {
    previous_handler = qInstallMessageHandler(QuietMessages);
    return grix::test::RunQtTests(argc, argv);
}
