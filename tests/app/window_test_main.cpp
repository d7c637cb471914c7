// One QApplication for all window tests. The offscreen platform unless the
// caller chose another, so the tests run (and are listed) without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previous_handler = qInstallMessageHandler(QuietMessages);
    // Nothing a test does may reach the user's own settings or folders:
    // Qt's test mode moves every standard location, and the window's own
    // state (size, recent projects) goes to a folder of this run.
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    const QTemporaryDir state;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, state.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnfield"));
    QCoreApplication::setApplicationName(QStringLiteral("GrixTest"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Grix"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
