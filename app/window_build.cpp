// The build as the window runs it: off the interface thread, with its log
// lines, progress bar, Cancel and the result in the status bar.
#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

#include <filesystem>

#include "app/main_window.h"
#include "app/utf8_text.h"
#include "core/errors.h"

namespace grix {

namespace {

// "2 warnings", "1 warning".
QString WarningCount(int count) {
    return count == 1 ? QStringLiteral("1 warning") : QStringLiteral("%1 warnings").arg(count);
}

}  // namespace

void TfmMain::AddLogLine(const std::string& text) {
    const QString line = FromUtf8(text);
    if (build_.Running() && line.startsWith(QLatin1String("Warning: "))) {
        ++build_warnings_;
        // "picture N (PATH)" names the row the warning is about.
        static const QRegularExpression kPicture(QStringLiteral("picture (\\d+) \\("));
        const QRegularExpressionMatch match = kPicture.match(line);
        const std::size_t number = match.hasMatch() ? match.captured(1).toULongLong() : 0;
        if (number >= 1 && number <= built_paths_.size())
            warnings_[FromUtf8(built_paths_[number - 1])].append(line);
    }
    Memo2->appendPlainText(line);
    Memo2->verticalScrollBar()->setValue(Memo2->verticalScrollBar()->maximum());
}

void TfmMain::SetBuilding(bool building) {
    BuildProgress->setVisible(building);
    CancelButton->setVisible(building);
    CancelButton->setEnabled(building);
    OnSelectionChanged();  // edit triggers and buttons
    if (building) {
        BuildProgress->setRange(0, 0);  // busy until the first picture is packed
        statusBar()->clearMessage();
        StatusBuild->setText(QStringLiteral("Building..."));
    }
}

void TfmMain::StartBuild() {
    if (build_.Running())
        return;
    Button2->setEnabled(false);
    actionShowMidlets->setEnabled(false);
    CommitPendingEdit();
    CrosswordProject project = Project();
    last_suite_name_ = project.name;
    built_paths_.clear();
    for (const PictureEntry& picture : project.pictures)
        built_paths_.push_back(picture.path);
    warnings_.clear();
    build_warnings_ = 0;
    UpdateChecks();
    if (!build_.Start(run_build_, std::move(project)))
        return;
    SetBuilding(true);
}

void TfmMain::CancelBuild() {
    if (!build_.Running())
        return;
    build_.Cancel();
    CancelButton->setEnabled(false);
    StatusBuild->setText(QStringLiteral("Cancelling..."));
}

void TfmMain::FinishBuild(const BuildOutcome& outcome) {
    if (!outcome.suite_folder.empty())
        show_target_ = outcome.suite_folder;
    Button2->setEnabled(outcome.success);
    SetBuilding(false);
    if (outcome.success) {
        std::error_code ec;
        const std::string jar = show_target_ + "/" + last_suite_name_ + ".jar";
        const auto size = std::filesystem::file_size(jar, ec);
        StatusBuild->setText(QStringLiteral("Built ") + FromUtf8(last_suite_name_) +
                             QStringLiteral(".jar") +
                             (ec ? QString()
                                 : QStringLiteral(", ") + QLocale().formattedDataSize(
                                                              static_cast<qint64>(size), 1,
                                                              QLocale::DataSizeTraditionalFormat)));
    } else {
        StatusBuild->setText(build_.CancelRequested() ? QStringLiteral("Build cancelled")
                                                      : QStringLiteral("Build failed"));
    }
    // The warnings are easy to miss among the build's lines: their count
    // closes the log and joins the result.
    if (build_warnings_ > 0) {
        const QString warnings = WarningCount(build_warnings_);
        StatusBuild->setText(StatusBuild->text() + QStringLiteral(", ") + warnings);
        AddLogLine(
            Utf8(warnings + (warnings_.isEmpty() ? QString()
                                                 : QStringLiteral(" (the pictures concerned are "
                                                                  "marked in the list)"))));
    }
    StatusBuild->setToolTip(StatusBuild->text());
    UpdateChecks();
    if (close_after_build_)
        QTimer::singleShot(0, this, &QWidget::close);
}

void TfmMain::ShowSuiteFolder() {
    if (show_target_.empty())
        return;
    if (!OpenFolder(FromUtf8(show_target_)))
        throw Error("Can not open folder " + show_target_);
}

}  // namespace grix
