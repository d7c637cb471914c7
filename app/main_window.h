// The main window: the crossword project being edited (name, information
// line, picture list, splash option), the preview, the build log, the menus
// and the buttons that build the suite and open its folder.
//
// Controls keep the object names they have always had (Edit2, sgImages,
// CheckBox3 ...): the settings file stores them under those names. Slots
// are named for what they do. A slot reports a failure by throwing; the
// connections catch it once and show it in the general error display.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/background_build.h"
#include "app/import_dialog.h"
#include "app/picture_checks.h"
#include "app/picture_list.h"
#include "builder/project.h"
#include "core/ini_file.h"

class QAction;
class QCheckBox;
class QFileSystemWatcher;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTableWidget;
class QUndoStack;

namespace grix {

class PreviewSurface;

// The project file the recent list names first, if it still exists: what
// the window opens when no project is named.
QString LastProjectFile();
// How the title and questions name a project: its file's name, "Untitled".
QString ProjectDisplayName(const std::string& settings_path);

class TfmMain : public QMainWindow {
    Q_OBJECT

  public:
    // `settings_path` is the project file, read at the first activation and
    // written when the window closes; `run_build` is what "Start" runs, off
    // the interface thread; `app_folder` is where suites are kept.
    TfmMain(std::string settings_path, BuildRunner run_build, std::string app_folder = {},
            QWidget* parent = nullptr);
    ~TfmMain() override;

    // Appends a line to the build log.
    void AddLogLine(const std::string& text);

    // One data row whose number cell is empty.
    bool IsListEmpty() const;
    // Label14 and the status bar: the rows with a number.
    void UpdateCount();

    // The project as the controls hold it, as "Start" hands it to a build.
    CrosswordProject Project() const;

    const std::string& SettingsPath() const { return settings_path_; }
    // The suite folder the last build reported; "Show midlets" opens it.
    const std::string& ShowTarget() const { return show_target_; }
    // The data row (1..n) that holds the grid's selection; 0 for none.
    int SelectedRow() const;
    bool IsBuilding() const { return build_.Running(); }
    QUndoStack* UndoStack() const { return undo_; }
    PictureChecks& Checks() { return checks_; }

    // Adds picture files in the given order and selects the last one; a
    // file that cannot be read stays listed without a size and is reported.
    void AddPictureFiles(const QStringList& paths);
    // What a drop on the list does: BMP files are added, folders add their
    // BMP files sorted by name, anything else is refused with the reason in
    // the status bar.
    void AddDroppedFiles(const QList<QUrl>& urls);

    // The actions a user meets.
    void AddPictures();
    // Opens the import dialog for `source` (asking for a picture when it is
    // empty) and adds the BMP it writes, with its note.
    void ImportPicture(const QString& source = {});
    void RemoveSelectedPicture();
    void MovePictureUp();
    void MovePictureDown();
    void DeleteAtSelection();
    void ChooseSplashPicture();
    void StartBuild();
    void CancelBuild();
    void ShowSuiteFolder();
    void ExportFileAsByteArray();
    void ShowAbout();
    void ShowHelp();
    void NewProject();
    void OpenProject();
    void OpenProjectFile(const QString& path);
    bool SaveProject();
    bool SaveProjectAs();
    void RefreshPreview();

    // The project differs from its file (the title's mark).
    bool IsProjectModified() const { return isWindowModified(); }
    // The number of "Warning: " lines of the last build.
    int LastBuildWarnings() const { return build_warnings_; }

    // The controls, as the window creates them.
    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QPushButton* BitBtn7 = nullptr;
    QTableWidget* sgImages = nullptr;
    QLabel* ListHint = nullptr;
    QLineEdit* Edit1 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QPushButton* Button5 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* ShowAmbiguity = nullptr;
    QScrollArea* Panel3 = nullptr;
    PreviewSurface* Image1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QWidget* Panel2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QProgressBar* BuildProgress = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* Button4 = nullptr;
    QLabel* StatusProject = nullptr;
    QLabel* StatusCount = nullptr;
    QLabel* StatusSize = nullptr;
    QLabel* StatusBuild = nullptr;
    QLabel* StatusSuites = nullptr;

    QAction* actionNew = nullptr;
    QAction* actionOpen = nullptr;
    QAction* actionSave = nullptr;
    QAction* actionSaveAs = nullptr;
    QMenu* menuRecent = nullptr;
    QAction* actionQuit = nullptr;
    QAction* actionUndo = nullptr;
    QAction* actionRedo = nullptr;
    QAction* actionAddImage = nullptr;
    QAction* actionImport = nullptr;
    QAction* actionRemoveImage = nullptr;
    QAction* actionUp = nullptr;
    QAction* actionDown = nullptr;
    QAction* actionStart = nullptr;
    QAction* actionCancel = nullptr;
    QAction* actionShowMidlets = nullptr;
    QAction* actionExport = nullptr;
    QAction* actionHelp = nullptr;
    QAction* actionAbout = nullptr;

  protected:
    // The platform's dialogs and shell, replaceable so that tests can answer
    // them. An empty answer means the dialog was cancelled.
    virtual QStringList AskOpenFileNames(const QString& title, const QString& filter);
    virtual QString AskOpenFileName(const QString& title, const QString& filter);
    virtual QString AskSaveFileName(const QString& title, const QString& filter);
    virtual void ShowMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text);
    virtual bool OpenFolder(const QString& path);
    // The import dialog; nothing when the author cancelled.
    virtual std::optional<ImportedPicture> RunImport(const QString& source);
    // The project could not be saved: Save (elsewhere), Discard or Cancel.
    virtual QMessageBox::StandardButton AskAfterSaveFailure(const QString& text);
    // "Save changes to P?": Save, Discard or Cancel.
    virtual QMessageBox::StandardButton AskSaveChanges(const QString& text);

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

    // The project file: window_settings.cpp.
    void LoadSettings();
    void SaveSettings();
    void WriteProject(IniFile& ini);
    void ResetProject();
    // Saves, asking what to do when that fails; false when the user stays.
    bool SaveOrAsk();
    // Before the project goes: asks whether to save a modified one; false
    // when the author cancels.
    bool MaybeSave();
    void SetProjectModified(bool modified);
    void UpdateTitle();
    // The log and the last build's result belong to the project they came from.
    void ForgetBuild();
    // "Show midlets" opens the suite folder once it holds this project's suite.
    void FindBuiltSuite();
    void CheckFields();
    void LoadWindowState();
    void SaveWindowState() const;
    void RememberRecent(const QString& path);
    void UpdateRecentMenu();

    void CommitPendingEdit();
    void ChangeList(const QString& text, const PictureRows& rows, CellPosition cell);
    void ShowList(const PictureRows& rows, CellPosition cell);
    void SelectCell(CellPosition cell);
    CellPosition CurrentCell() const;
    void OnNoteEdited(int row, int column);
    void OnSelectionChanged();
    void UpdateButtons();
    void SetBuilding(bool building);
    void FinishBuild(const BuildOutcome& outcome);
    void ShowStatus(const QString& text);
    // The project file in the status bar, after it was opened or saved as.
    void ShowProjectFile();
    // The check column, the sizes and the build's warning marks of every
    // row. `look_again` asks the files whether they changed (and watches
    // them); a finished check only shows what is known.
    void UpdateChecks(bool look_again = true);
    void WatchListedFiles();
    void ShowCheck(int row, const PictureCheck& check, const QString& refusal);
    void OnPictureChecked(const QString& path);
    std::optional<std::string> SizeTextOf(const QString& path, int row, PictureRow& entry) const;

    std::string settings_path_;
    BuildRunner run_build_;
    std::string app_folder_;
    std::vector<QWidget*> components_;  // creation order: the settings visiting order
    QDateTime first_activation_;        // null until the first activation
    std::string show_target_;
    QUndoStack* undo_ = nullptr;
    PictureRows shown_rows_;      // the list as the undo stack last saw it
    bool updating_list_ = false;  // changes made by the list operations themselves
    bool close_after_build_ = false;
    int row_at_press_ = -1;
    std::string last_suite_name_;           // the crossword name of the build running
    std::vector<std::string> built_paths_;  // the pictures of that build, in list order
    QHash<QString, QStringList> warnings_;  // the last build's warnings by picture file
    int build_warnings_ = 0;
    bool loading_ = false;          // fields set by loading, not by the author
    bool fields_modified_ = false;  // a stored control changed since the last save
    QFileSystemWatcher* watcher_ = nullptr;
    BackgroundBuild build_;
    PictureChecks checks_;
};

}  // namespace grix
