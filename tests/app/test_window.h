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
#include <QMenu>
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

#include <gtest/gtest.h>

namespace grix::test {

// The control of `window` with the object name `name`; a test fails when
// there is none.
template <typename Control>
Control* Find(const QObject& window, const char* name) {
    auto* found = window.findChild<Control*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class TestWindow : public TfmMain {
  public:
    explicit TestWindow(std::string settings_path, BuildRunner run_build = {},
                        std::string app_folder = "/suites/")
        : TfmMain(std::move(settings_path), std::move(run_build), std::move(app_folder)) {}

    // The controls, found as a user's settings and scripts know them: by name.
    QLineEdit* const Edit2 = Find<QLineEdit>(*this, "Edit2");
    QLineEdit* const Edit6 = Find<QLineEdit>(*this, "Edit6");
    QLineEdit* const Edit1 = Find<QLineEdit>(*this, "Edit1");
    QCheckBox* const CheckBox3 = Find<QCheckBox>(*this, "CheckBox3");
    QPushButton* const Button5 = Find<QPushButton>(*this, "Button5");
    QLabel* const Label3 = Find<QLabel>(*this, "Label3");
    QLabel* const Label14 = Find<QLabel>(*this, "Label14");
    QPushButton* const BitBtn4 = Find<QPushButton>(*this, "BitBtn4");
    QPushButton* const BitBtn5 = Find<QPushButton>(*this, "BitBtn5");
    QPushButton* const BitBtn6 = Find<QPushButton>(*this, "BitBtn6");
    QPushButton* const BitBtn7 = Find<QPushButton>(*this, "BitBtn7");
    QTableWidget* const sgImages = Find<QTableWidget>(*this, "sgImages");
    QLabel* const ListHint = Find<QLabel>(*this, "ListHint");
    QComboBox* const ComboBox1 = Find<QComboBox>(*this, "ComboBox1");
    QCheckBox* const CheckBox1 = Find<QCheckBox>(*this, "CheckBox1");
    QCheckBox* const ShowAmbiguity = Find<QCheckBox>(*this, "ShowAmbiguity");
    QScrollArea* const Panel3 = Find<QScrollArea>(*this, "Panel3");
    PreviewSurface* const Image1 = Find<PreviewSurface>(*this, "Image1");
    QSplitter* const Splitter1 = Find<QSplitter>(*this, "Splitter1");
    QPlainTextEdit* const Memo2 = Find<QPlainTextEdit>(*this, "Memo2");
    QWidget* const Panel2 = Find<QWidget>(*this, "Panel2");
    QPushButton* const Button1 = Find<QPushButton>(*this, "Button1");
    QPushButton* const Button2 = Find<QPushButton>(*this, "Button2");
    QPushButton* const Button4 = Find<QPushButton>(*this, "Button4");
    QProgressBar* const BuildProgress = Find<QProgressBar>(*this, "BuildProgress");
    QPushButton* const CancelButton = Find<QPushButton>(*this, "CancelButton");
    QLabel* const StatusBuild = Find<QLabel>(*this, "StatusBuild");
    QLabel* const StatusSuites = Find<QLabel>(*this, "StatusSuites");
    QMenu* const menuRecent = Find<QMenu>(*this, "menuRecent");
    QAction* const actionNew = Find<QAction>(*this, "actionNew");
    QAction* const actionOpen = Find<QAction>(*this, "actionOpen");
    QAction* const actionSave = Find<QAction>(*this, "actionSave");
    QAction* const actionSaveAs = Find<QAction>(*this, "actionSaveAs");
    QAction* const actionUndo = Find<QAction>(*this, "actionUndo");
    QAction* const actionRedo = Find<QAction>(*this, "actionRedo");
    QAction* const actionAddImage = Find<QAction>(*this, "actionAddImage");
    QAction* const actionImport = Find<QAction>(*this, "actionImport");
    QAction* const actionStart = Find<QAction>(*this, "actionStart");
    QAction* const actionShowMidlets = Find<QAction>(*this, "actionShowMidlets");
    QAction* const actionExport = Find<QAction>(*this, "actionExport");
    QAction* const actionHelp = Find<QAction>(*this, "actionHelp");

    struct Asked {
        QString title;
        QString filter;
        QString proposed = {};  // the name a save dialog offered
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
    // Answers of the new picture's size; cancelled when none left.
    std::deque<QSize> size_answers;
    // Answers of "Apply the fix?"; yes when none left.
    std::deque<bool> fix_answers;
    QStringList fix_questions;
    std::vector<Asked> asked;
    std::vector<Box> boxes;
    QStringList opened_folders;
    bool open_folder_succeeds = true;

  protected:
    QStringList AskOpenFileNames(const QString& title, const QString& filter) override;
    QString AskSaveFileName(const QString& title, const QString& filter,
                            const QString& proposed) override;
    std::optional<QSize> AskPictureSize() override;
    bool AskApplyFix(const QString& text) override;
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
