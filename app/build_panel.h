// The build as the window runs it: the Start and Show midlets buttons and
// their actions, the progress bar and Cancel, the log, and the result in
// the status bar. The build itself runs off the interface thread; its
// "Warning: " lines are counted and kept by the picture they name.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

#include "app/background_build.h"
#include "builder/project.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace grix {

class BuildPanel : public QObject {
    Q_OBJECT

  public:
    // `run_build` is what Start runs; `app_folder` is where suites are kept.
    BuildPanel(QWidget* window, BuildRunner run_build, std::string app_folder);

    // The pieces the window lays out: the log, the bar of buttons along the
    // bottom, and the result's place in the status bar.
    QPlainTextEdit* Log() const { return log_; }
    QWidget* Bar() const { return bar_; }
    QLabel* StatusLabel() const { return status_; }
    // The Build menu: start, cancel, show midlets.
    QList<QAction*> Actions() const;

    void AddLogLine(const std::string& text);
    bool Running() const { return build_.Running(); }
    // Starts a build of `project`; false while one runs.
    bool Start(CrosswordProject project);
    void Cancel();
    // The log and the last build's result belong to the project they came from.
    void Forget();
    // "Show midlets" opens the suite folder once it holds the suite of the
    // crossword called `name`.
    void FindBuiltSuite(const QString& name);
    // The suite folder the last build reported; "Show midlets" opens it.
    const std::string& ShowTarget() const { return show_target_; }
    int Warnings() const { return warnings_; }
    const QHash<QString, QStringList>& WarningsByPicture() const { return by_picture_; }

  signals:
    void startRequested();
    void showRequested();
    void aboutRequested();
    // Running() changed.
    void buildingChanged(bool building);
    void finished();

  private:
    void SetBuilding(bool building);
    void Finish(const BuildOutcome& outcome);
    void EnableShow(bool enabled);

    BuildRunner run_build_;
    std::string app_folder_;
    QPlainTextEdit* log_ = nullptr;
    QWidget* bar_ = nullptr;
    QPushButton* start_button_ = nullptr;
    QPushButton* show_button_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_button_ = nullptr;
    QPushButton* about_button_ = nullptr;
    QLabel* status_ = nullptr;
    QAction* start_action_ = nullptr;
    QAction* cancel_action_ = nullptr;
    QAction* show_action_ = nullptr;
    std::string show_target_;
    std::string suite_name_;                // the crossword name of the build running
    std::vector<std::string> built_paths_;  // the pictures of that build, in list order
    QHash<QString, QStringList> by_picture_;
    int warnings_ = 0;
    BackgroundBuild build_;
};

}  // namespace grix
