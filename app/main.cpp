// grix: the window. Opens the project of grix.ini beside the program (or in
// the per-user data folder when the program's folder is read-only), or the
// project file named with --project, which is then saved back on closing.
#include <QApplication>
#include <QCommandLineParser>

#include "app/main_window.h"
#include "app/program_version.h"
#include "app/suite_builder.h"
#include "builder/app_folder.h"
#include "core/paths.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(grix::ProgramVersion());
    // Where the window keeps its size and the recent projects.
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnfield"));
    QCoreApplication::setApplicationName(QStringLiteral("Grix"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Grix: turns black-and-white pictures into nonogram games for Java ME phones"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption project(
        QStringLiteral("project"),
        QStringLiteral("Open the project saved in FILE instead of grix.ini; "
                       "the project is saved back to FILE on closing."),
        QStringLiteral("FILE"));
    parser.addOption(project);
    parser.process(application);

    const std::string settings = parser.isSet(project)
                                     ? grix::AbsolutePath(parser.value(project).toStdString())
                                     : grix::SettingsFilePath();
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
