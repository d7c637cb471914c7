// grix: the window. Opens the project file named with --project, else the
// project last worked on, else grix.ini beside the program (or in the
// per-user data folder when the program's folder is read-only).
#include <QApplication>
#include <QCommandLineParser>

#include "app/main_window.h"
#include "app/program_version.h"
#include "app/suite_builder.h"
#include "builder/app_folder.h"
#include "core/paths.h"

namespace {

void NameTheProgram() {
    QCoreApplication::setApplicationVersion(grix::ProgramVersion());
    // Where the window keeps its size and the recent projects.
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnfield"));
    QCoreApplication::setApplicationName(QStringLiteral("Grix"));
}

}  // namespace

int main(int argc, char** argv) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Grix: turns black-and-white pictures into nonogram games for Java ME phones"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption project(
        QStringLiteral("project"),
        QStringLiteral("Open the project saved in FILE instead of the last one; "
                       "the project is saved back to FILE."),
        QStringLiteral("FILE"));
    parser.addOption(project);
    {
        // The options are read before the window system starts, so that
        // --help and --version work without a display.
        QCoreApplication options(argc, argv);
        NameTheProgram();
        parser.process(options);
    }

    QApplication application(argc, argv);
    NameTheProgram();
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Grix"));

    std::string settings;
    if (parser.isSet(project)) {
        settings = grix::AbsolutePath(parser.value(project).toStdString());
    } else if (const QString last = grix::LastProjectFile(); !last.isEmpty()) {
        settings = last.toStdString();
    } else {
        settings = grix::SettingsFilePath();
    }
    grix::SuiteBuilder builder;
    const std::string folder = grix::ApplicationFolder();
    grix::TfmMain window(
        settings,
        [&builder, folder](const grix::CrosswordProject& p, const grix::LogSink& log,
                           const grix::BuildControl& control) {
            return builder.Run(p, folder, log, control);
        },
        folder);
    window.show();
    return application.exec();
}
