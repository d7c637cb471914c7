#include "app/build_panel.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

#include <filesystem>

#include "app/eliding_label.h"
#include "app/utf8_text.h"
#include "app/window_actions.h"
#include "builder/build_driver.h"

namespace grix {
namespace {

constexpr int kButtonBarHeight = 33;

// "2 warnings", "1 warning".
QString WarningCount(int count) {
    return count == 1 ? QStringLiteral("1 warning") : QStringLiteral("%1 warnings").arg(count);
}

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

}  // namespace

BuildPanel::BuildPanel(QWidget* window, BuildRunner run_build, std::string app_folder)
    : QObject(window),
      run_build_(std::move(run_build)),
      app_folder_(std::move(app_folder)),
      build_(this, {[this](const std::string& line) { AddLogLine(line); },
                    [this](std::size_t done, std::size_t total) {
                        if (done >= total) {
                            // Every picture is packed; the checks of their
                            // clues run next and take a while of their own.
                            progress_->setRange(0, 0);
                            status_->setText(QStringLiteral("Checking the pictures..."));
                            return;
                        }
                        progress_->setMaximum(static_cast<int>(total));
                        progress_->setValue(static_cast<int>(done));
                    },
                    [this](const BuildOutcome& outcome) { Finish(outcome); }}) {
    setObjectName(QStringLiteral("BuildPanel"));
    log_ = new QPlainTextEdit(window);
    log_->setObjectName(QStringLiteral("Memo2"));
    log_->setReadOnly(true);
    log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);

    bar_ = new QWidget(window);
    bar_->setObjectName(QStringLiteral("Panel2"));
    bar_->setFixedHeight(kButtonBarHeight);
    start_button_ = Button("Button1", QStringLiteral("Start"), bar_);
    show_button_ = Button("Button2", QStringLiteral("Show midlets"), bar_);
    show_button_->setEnabled(false);
    progress_ = new QProgressBar(bar_);
    progress_->setObjectName(QStringLiteral("BuildProgress"));
    progress_->setFormat(QStringLiteral("%v of %m pictures"));
    progress_->hide();
    cancel_button_ = Button("CancelButton", QStringLiteral("Cancel"), bar_);
    cancel_button_->hide();
    about_button_ = Button("Button4", QStringLiteral("About"), bar_);
    auto* layout = new QHBoxLayout(bar_);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->addWidget(start_button_);
    layout->addWidget(show_button_);
    layout->addWidget(progress_, 1);
    layout->addWidget(cancel_button_);
    layout->addStretch(1);
    layout->addWidget(about_button_);
    status_ = new ElidingLabel(window);
    status_->setObjectName(QStringLiteral("StatusBuild"));

    start_action_ = MakeAction(this, "actionStart", QStringLiteral("&Start"),
                               QKeySequence(QStringLiteral("Ctrl+B")));
    cancel_action_ = MakeAction(this, "actionCancel", QStringLiteral("&Cancel build"),
                                QKeySequence(Qt::Key_Escape));
    cancel_action_->setEnabled(false);
    show_action_ = MakeAction(this, "actionShowMidlets", QStringLiteral("Show &midlets"),
                              QKeySequence(QStringLiteral("Ctrl+M")));
    show_action_->setEnabled(false);
    start_button_->setToolTip(QStringLiteral("Build the MIDlet suite (Ctrl+B)"));
    show_button_->setToolTip(QStringLiteral("Open the folder the suites are written to (Ctrl+M)"));
    cancel_button_->setToolTip(QStringLiteral("Stop the build (Esc)"));
    about_button_->setToolTip(QStringLiteral("About Grix (F1 for help)"));

    connect(start_button_, &QPushButton::clicked, this, &BuildPanel::startRequested);
    connect(start_action_, &QAction::triggered, this, &BuildPanel::startRequested);
    connect(show_button_, &QPushButton::clicked, this, &BuildPanel::showRequested);
    connect(show_action_, &QAction::triggered, this, &BuildPanel::showRequested);
    connect(cancel_button_, &QPushButton::clicked, this, &BuildPanel::Cancel);
    connect(cancel_action_, &QAction::triggered, this, &BuildPanel::Cancel);
    connect(about_button_, &QPushButton::clicked, this, &BuildPanel::aboutRequested);
}

QList<QAction*> BuildPanel::Actions() const {
    return {start_action_, cancel_action_, show_action_};
}

void BuildPanel::AddLogLine(const std::string& text) {
    const QString line = FromUtf8(text);
    if (build_.Running() && line.startsWith(QLatin1String("Warning: "))) {
        ++warnings_;
        // "picture N (PATH)" names the row the warning is about.
        static const QRegularExpression kPicture(QStringLiteral("picture (\\d+) \\("));
        const QRegularExpressionMatch match = kPicture.match(line);
        const std::size_t number = match.hasMatch() ? match.captured(1).toULongLong() : 0;
        if (number >= 1 && number <= built_paths_.size())
            by_picture_[FromUtf8(built_paths_[number - 1])].append(line);
    }
    log_->appendPlainText(line);
    log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
}

void BuildPanel::EnableShow(bool enabled) {
    show_button_->setEnabled(enabled);
    show_action_->setEnabled(enabled);
}

void BuildPanel::SetBuilding(bool building) {
    progress_->setVisible(building);
    cancel_button_->setVisible(building);
    cancel_button_->setEnabled(building);
    start_button_->setEnabled(!building);
    start_action_->setEnabled(!building);
    cancel_action_->setEnabled(building);
    if (building) {
        progress_->setRange(0, 0);  // busy until the first picture is packed
        status_->setText(QStringLiteral("Building..."));
    }
    emit buildingChanged(building);
}

bool BuildPanel::Start(CrosswordProject project) {
    if (build_.Running())
        return false;
    EnableShow(false);
    suite_name_ = project.name;
    built_paths_.clear();
    for (const PictureEntry& picture : project.pictures)
        built_paths_.push_back(picture.path);
    by_picture_.clear();
    warnings_ = 0;
    if (!build_.Start(run_build_, std::move(project)))
        return false;
    SetBuilding(true);
    return true;
}

void BuildPanel::Cancel() {
    if (!build_.Running())
        return;
    build_.Cancel();
    cancel_button_->setEnabled(false);
    status_->setText(QStringLiteral("Cancelling..."));
}

void BuildPanel::Finish(const BuildOutcome& outcome) {
    if (!outcome.suite_folder.empty())
        show_target_ = outcome.suite_folder;
    EnableShow(outcome.success);
    SetBuilding(false);
    if (outcome.success) {
        std::error_code ec;
        const std::string jar = show_target_ + "/" + suite_name_ + ".jar";
        const auto size = std::filesystem::file_size(jar, ec);
        status_->setText(QStringLiteral("Built ") + FromUtf8(suite_name_) + QStringLiteral(".jar") +
                         (ec ? QString()
                             : QStringLiteral(", ") + QLocale().formattedDataSize(
                                                          static_cast<qint64>(size), 1,
                                                          QLocale::DataSizeTraditionalFormat)));
    } else {
        status_->setText(build_.CancelRequested() ? QStringLiteral("Build cancelled")
                                                  : QStringLiteral("Build failed"));
    }
    // The warnings are easy to miss among the build's lines: their count
    // closes the log and joins the result.
    if (warnings_ > 0) {
        const QString count = WarningCount(warnings_);
        status_->setText(status_->text() + QStringLiteral(", ") + count);
        AddLogLine(Utf8(count + (by_picture_.isEmpty()
                                     ? QString()
                                     : QStringLiteral(" (the pictures concerned are "
                                                      "marked in the list)"))));
    }
    status_->setToolTip(status_->text());
    emit finished();
}

void BuildPanel::Forget() {
    log_->clear();
    status_->clear();
    status_->setToolTip(QString());
    by_picture_.clear();
    warnings_ = 0;
    show_target_.clear();
    EnableShow(false);
}

void BuildPanel::FindBuiltSuite(const QString& name) {
    if (app_folder_.empty() || build_.Running())
        return;
    const std::string folder = FoldersFor(app_folder_).suite;
    const bool built = QFileInfo::exists(FromUtf8(folder + "/" + Utf8(name) + ".jar"));
    if (built)
        show_target_ = folder;
    if (built || show_target_.empty())
        EnableShow(built);
}

}  // namespace grix
