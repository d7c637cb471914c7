// The main window: the crossword's fields (name, information line, splash
// option), the preview, the menus and the status bar, wired to three
// components that own their own controls: the picture list editor, the
// project document and the build panel.
//
// Controls keep the object names they have always had (Edit2, sgImages,
// CheckBox3 ...): the settings file stores them under those names, and
// that is how tests find them. A slot reports a failure by throwing; the
// connections catch it once and show it in the general error display.
#pragma once

#include <QDateTime>
#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/background_build.h"
#include "app/import_dialog.h"
#include "app/picture_checks.h"
#include "app/project_document.h"
#include "builder/project.h"
#include "core/ini_file.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QSplitter;
class QToolButton;
class QUndoStack;

namespace grix {

class BuildPanel;
class CellEditor;
class PictureListEditor;
class PreviewSurface;

class TfmMain : public QMainWindow {
    Q_OBJECT

  public:
    // `settings_path` is the project file, read at the first activation;
    // `run_build` is what "Start" runs, off the interface thread;
    // `app_folder` is where suites are kept.
    TfmMain(std::string settings_path, BuildRunner run_build, std::string app_folder = {},
            QWidget* parent = nullptr);
    ~TfmMain() override;

    // The project as the controls hold it, as "Start" hands it to a build.
    CrosswordProject Project() const;
    const std::string& SettingsPath() const;
    // The suite folder the last build reported; "Show midlets" opens it.
    const std::string& ShowTarget() const;
    // The data row (1..n) that holds the list's selection; 0 for none.
    int SelectedRow() const;
    // One data row whose number cell is empty.
    bool IsListEmpty() const;
    bool IsBuilding() const;
    QUndoStack* UndoStack() const { return undo_; }
    PictureChecks& Checks();
    // The drawings over the listed pictures.
    CellEditor& Editor() { return *editor_; }
    // The project differs from its file (the title's mark).
    bool IsProjectModified() const;
    // The number of "Warning: " lines of the last build.
    int LastBuildWarnings() const;

    void StartBuild();
    void RemoveSelectedPicture();

  protected:
    // The platform's dialogs and shell, replaceable so that tests can answer
    // them. An empty answer means the dialog was cancelled.
    virtual QStringList AskOpenFileNames(const QString& title, const QString& filter);
    virtual QString AskOpenFileName(const QString& title, const QString& filter);
    // `proposed` is the name offered (in the last folder when relative).
    virtual QString AskSaveFileName(const QString& title, const QString& filter,
                                    const QString& proposed);
    virtual void ShowMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text);
    virtual bool OpenFolder(const QString& path);
    // The import dialog; nothing when the author cancelled.
    virtual std::optional<ImportedPicture> RunImport(const QString& source);
    // The project could not be saved: Save (elsewhere), Discard or Cancel.
    virtual QMessageBox::StandardButton AskAfterSaveFailure(const QString& text);
    // "Save changes to P?": Save, Discard or Cancel.
    virtual QMessageBox::StandardButton AskSaveChanges(const QString& text);
    // The size of a new picture; nothing when cancelled.
    virtual std::optional<QSize> AskPictureSize();
    // Whether to apply the fix the preview shows (`text` says what it changes).
    virtual bool AskApplyFix(const QString& text);

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <typename Control>
    Control* Create(const char* name, QWidget* parent);
    void BuildLayout();
    void BuildMenus();
    void ConnectHandlers();

    void FirstActivation();
    // Runs a slot; whatever it throws goes to the general error display.
    void Guarded(const std::function<void()>& handler);
    void ShowError(const QString& message);
    void ShowStatus(const QString& text);

    // The project file: window_settings.cpp.
    void ReadProject(const IniFile& ini);
    void WriteProject(IniFile& ini);
    void ResetProject();
    void NewProject();
    void OpenProject();
    void OpenProjectFile(const QString& path);
    // The title, its modified mark and the project file in the status bar.
    void UpdateTitle();
    void FindBuiltSuite();
    void LoadWindowState();
    void SaveWindowState() const;
    void UpdateRecentMenu();

    void CheckFields();
    void RefreshPreview();
    // The drawing, its check or its fix proposal changed.
    void OnPictureDrawn(const QString& path);
    void FixSelectedPicture();
    void UpdateFixControls();
    void OnBuilding(bool building);
    void OnBuildFinished();
    void ChooseSplashPicture();
    void ShowSuiteFolder();
    void ExportFileAsByteArray();
    void ShowAbout();
    void ShowHelp();

    // The stored controls, in the order the settings file visits them.
    std::vector<QWidget*> components_;
    QDateTime first_activation_;  // null until the first activation
    QUndoStack* undo_ = nullptr;
    PictureListEditor* list_ = nullptr;
    ProjectDocument* document_ = nullptr;
    BuildPanel* build_ = nullptr;
    CellEditor* editor_ = nullptr;
    bool loading_ = false;  // fields set by loading, not by the author
    bool close_after_build_ = false;

    // The crossword's fields.
    QLineEdit* name_field_ = nullptr;   // Edit2
    QLineEdit* info_field_ = nullptr;   // Edit6
    QLineEdit* splash_path_ = nullptr;  // Edit1
    QCheckBox* splash_box_ = nullptr;   // CheckBox3
    QPushButton* splash_choose_ = nullptr;
    // The preview and its options.
    QComboBox* zoom_box_ = nullptr;    // ComboBox1
    QCheckBox* grid_box_ = nullptr;    // CheckBox1
    QCheckBox* ambiguity_box_ = nullptr;
    QToolButton* fix_button_ = nullptr;  // FixIt
    QAction* fix_action_ = nullptr;
    QAction* new_picture_action_ = nullptr;
    QScrollArea* preview_panel_ = nullptr;
    PreviewSurface* preview_ = nullptr;
    QSplitter* vertical_split_ = nullptr;    // the work above, the log below
    QSplitter* horizontal_split_ = nullptr;  // the project left, the preview right
    QLabel* status_project_ = nullptr;
    QLabel* status_suites_ = nullptr;
    // The File menu's project actions and the undo stack's.
    QAction* new_action_ = nullptr;
    QAction* open_action_ = nullptr;
    QAction* save_action_ = nullptr;
    QAction* save_as_action_ = nullptr;
    QMenu* recent_menu_ = nullptr;
    QAction* undo_action_ = nullptr;
    QAction* redo_action_ = nullptr;
};

}  // namespace grix
