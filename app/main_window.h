// The main window: the crossword project being edited (name, information
// line, picture list, splash option), the preview, the build log and the
// buttons that build the suite, open its folder, export byte arrays and show
// the About box.
//
// Controls carry the names they have always had (Edit2, sgImages, CheckBox3
// ...): the settings file stores them under those names. Handlers are named
// after control and event. A handler reports a failure by throwing; the
// connections in the window catch it once and show it in the general error
// display, as for every other failure outside a build.
#pragma once

#include <QDateTime>
#include <QMessageBox>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "builder/build_driver.h"
#include "builder/project.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableWidget;

namespace grix {

class PreviewSurface;

// Runs one build of a project and reports its lines to the sink.
using BuildRunner = std::function<BuildOutcome(const CrosswordProject&, const LogSink&)>;

class TfmMain : public QWidget {
    Q_OBJECT

  public:
    // `settings_path` is read at the first activation and written when the
    // window closes; `run_build` is what "Start" runs.
    TfmMain(std::string settings_path, BuildRunner run_build, QWidget* parent = nullptr);
    ~TfmMain() override;

    // Appends a line to the build log and shows it at once, even while a
    // build blocks the window.
    void AddLogLine(const std::string& text);

    // One data row whose number cell is empty.
    bool IsListEmpty() const;
    // Label14: the rows with a number.
    void UpdateCount();

    // The project as the controls hold it, as "Start" hands it to a build.
    CrosswordProject Project() const;

    const std::string& SettingsPath() const { return settings_path_; }
    // The suite folder the last build reported; "Show midlets" opens it.
    const std::string& ShowTarget() const { return show_target_; }
    // The data row (1..n) that holds the grid's selection; 0 for none.
    int SelectedRow() const;

    // Adds picture files as "Add image" does, in the given order; a file
    // that cannot be read stays listed without a size and is reported.
    void AddPictureFiles(const QStringList& paths);

    // Handlers.
    void FormActivate();
    void FormClose();
    void BitBtn4Click();  // "Add image"
    void BitBtn5Click();  // "Remove image"
    void BitBtn6Click();  // "Up"
    void BitBtn7Click();  // "Down"
    void Button5Click();  // "..." beside the splash path
    void Button1Click();  // "Start"
    void Button2Click();  // "Show midlets"
    void Button3Click();  // "Hex"
    void Button4Click();  // "About"
    void sgImagesClick();
    void sgImagesSelectCell(int row, int column);
    void RefreshPreview();

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
    QLineEdit* Edit1 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QPushButton* Button5 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QWidget* Panel3 = nullptr;
    PreviewSurface* Image1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QWidget* Panel2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button6 = nullptr;  // "Text", never shown
    QPushButton* Button7 = nullptr;  // "Font", never shown
    QPushButton* Button4 = nullptr;

  protected:
    // The platform's dialogs and shell, replaceable so that tests can answer
    // them. An empty answer means the dialog was cancelled.
    virtual QString AskOpenFileName(const QString& title, const QString& filter);
    virtual void ShowMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text);
    virtual bool OpenFolder(const QString& path);

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <typename Control>
    Control* Create(const char* name, QWidget* parent);
    void BuildLayout();
    void ConnectHandlers();

    // Runs a handler; whatever it throws goes to the general error display.
    void Guarded(const std::function<void()>& handler);
    void ShowError(const QString& message);

    void LoadSettings();
    void SaveSettings();
    void CommitPendingEdit();
    void SetRows(const std::vector<PictureEntry>& rows);
    void PrepareRow(int row);
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    int LastRow() const;
    void SelectRow(int row, int column);
    void SwapRows(int a, int b);
    std::optional<std::string> AddPictureRow(const QString& path);
    void RefreshPreviewQuietly();

    std::string settings_path_;
    BuildRunner run_build_;
    std::vector<QWidget*> components_;  // creation order: the settings visiting order
    QDateTime first_activation_;        // null until the first activation
    std::string show_target_;
    bool updating_list_ = false;  // selection changes made by the list operations
    bool building_ = false;
    bool close_after_build_ = false;
    int row_at_press_ = -1;
};

}  // namespace grix
