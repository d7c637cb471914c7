// The main of a test program that shows widgets: one QApplication for all
// its tests, on the offscreen platform unless the caller chose another (so
// the tests run, and are listed, without a display), with settings of its
// own run.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace grix::test {

inline int RunQtTests(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing a test does may reach the user's own settings or folders:
    // Qt's test mode moves every standard location, and what the program
    // remembers (window and dialog sizes, recent projects) goes to a folder
    // of this run.
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

}  // namespace grix::test
