// The main window with its dialogs, message boxes and shell answered by the
// test, plus helpers shared by the window tests.
#pragma once

#include <QImage>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>

#include "app/background_build.h"
#include "app/main_window.h"
#include "app/preview.h"
#include "support/test_support.h"

namespace grix::test {

class TestWindow : public TfmMain {
  public:
    explicit TestWindow(std::string settings_path, BuildRunner run_build = {})
        : TfmMain(std::move(settings_path), std::move(run_build), "/suites/") {}

    struct Asked {
        QString title;
        QString filter;
    };
    struct Box {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        bool over_the_window = false;  // the window was on screen when it came
    };

    std::deque<QString> file_answers;  // answers of the open dialog, "" cancels
    std::deque<QString> save_answers;  // answers of the save dialog, "" cancels
    // Answers of the box after a failed save; Cancel ("Stay") when none left.
    std::deque<QMessageBox::StandardButton> save_failure_answers;
    QStringList save_failures;  // the texts of those boxes
    // Answers of "Save changes to P?"; Save when none left, so that a test
    // closing a changed window keeps its project as closing always did.
    std::deque<QMessageBox::StandardButton> save_changes_answers;
    QStringList save_changes_questions;
    // What the import dialog "writes" for each source it is opened for.
    std::deque<std::optional<ImportedPicture>> import_answers;
    QStringList imported_sources;
    std::vector<Asked> asked;
    std::vector<Box> boxes;
    QStringList opened_folders;
    bool open_folder_succeeds = true;

  protected:
    QStringList AskOpenFileNames(const QString& title, const QString& filter) override;
    QString AskSaveFileName(const QString& title, const QString& filter) override;
    QMessageBox::StandardButton AskAfterSaveFailure(const QString& text) override;
    QMessageBox::StandardButton AskSaveChanges(const QString& text) override;
    std::optional<ImportedPicture> RunImport(const QString& source) override;
    QString AskOpenFileName(const QString& title, const QString& filter) override;
    void ShowMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text) override;
    bool OpenFolder(const QString& path) override;
};

// Shows a window for `settings_path` (first activation included).
std::unique_ptr<TestWindow> ShowWindow(const std::string& settings_path,
                                       BuildRunner run_build = {});

// Writes a 24-bit BMP whose pixel (x, y) has the colour color(x, y).
void WriteColorBmp(const std::string& path, int width, int height,
                   const std::function<QRgb(int, int)>& color);
// Writes a 24-bit BMP whose pixel (x, y) is black where ink(x, y), else white.
void WriteBmp(const std::string& path, int width, int height,
              const std::function<bool(int, int)>& ink);

// Clicks a button and lets the window handle it, waiting for a build the
// click started.
void Click(QWidget* button);

// Lets the window's events run until its build has ended.
void WaitForBuild(TfmMain& window);

// Adds pictures through "Add image".
void AddImages(TestWindow& window, const std::vector<std::string>& paths);

// The texts of the rows: "number|file|size|notes" each.
std::vector<std::string> Rows(const TfmMain& window);

// What the preview surface shows on screen.
QImage GrabPreview(TfmMain& window);

}  // namespace grix::test
