// The picture list as the author edits it: the grid of pictures with its
// count, buttons and menu actions; the operations that change it (add,
// import, drop, remove, move, notes, Delete), each one step on the window's
// undo stack; and the check column, which says what the phone and the check
// of the clues make of every picture, kept up to date as the files change.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "app/import_dialog.h"
#include "app/picture_checks.h"
#include "app/picture_list.h"

class QAction;
class QFileSystemWatcher;
class QLabel;
class QPushButton;
class QTableWidget;
class QUndoStack;

namespace grix {

class PictureListEditor : public QWidget {
    Q_OBJECT

  public:
    // What the list asks of the window around it.
    struct Hooks {
        // The open dialog for pictures; empty when cancelled.
        std::function<QStringList(const QString& title, const QString& filter)> ask_files;
        // The import dialog; nothing when the author cancelled.
        std::function<std::optional<ImportedPicture>(const QString& source)> run_import;
        // A passing message in the status bar.
        std::function<void(const QString& text)> show_status;
        // Runs an operation started by an event; what it throws is shown.
        std::function<void(const std::function<void()>& operation)> guarded;
        // The check of a picture's unsaved drawing, which stands for its
        // file's; null where there is none.
        std::function<const PictureCheck*(const QString& path)> drawn_check;
    };

    PictureListEditor(QUndoStack* undo, Hooks hooks, QWidget* parent);
    ~PictureListEditor() override;

    // The menu's list actions, in menu order: add, import, remove, up, down.
    QList<QAction*> Actions() const;
    // The status bar's count ("3 pictures") and the selected picture's size.
    QLabel* CountLabel() const { return status_count_; }
    QLabel* SizeLabel() const { return status_size_; }
    // The grid, for the window's tab order and focus.
    QWidget* FocusWidget() const;

    // One data row whose number cell is empty.
    bool IsEmpty() const;
    // The data row (1..n) that holds the grid's selection; 0 for none.
    int SelectedRow() const;
    // The selected row's picture file; empty for none.
    QString SelectedPath() const;
    // The rows as the author sees them (what the undo stack last saw).
    const PictureRows& Rows() const { return shown_rows_; }
    PictureChecks& Checks() { return checks_; }

    // Shows `rows` as a project brings them, selecting the first.
    void Load(const PictureRows& rows);

    // Adds picture files in the given order after the selected row and
    // selects the last one; a file that cannot be read stays listed without
    // a size and is reported once, by throwing.
    void AddPictureFiles(const QStringList& paths);
    // BMP files are added, folders add their BMP files sorted by name,
    // other pictures go through the import dialog; anything else is
    // refused with the reason in the status bar.
    void AddDroppedFiles(const QList<QUrl>& urls);
    void AddPictures();
    // Opens the import dialog for `source` (asking for a picture when it is
    // empty) and adds the BMP it writes, with its note.
    void ImportPicture(const QString& source = {});
    void RemoveSelectedPicture();
    // The rows of `from` show `to` instead (a drawing saved as a new file).
    void RepointPicture(const QString& from, const QString& to);
    void MovePictureUp();
    void MovePictureDown();
    void DeleteAtSelection();
    // A note still in its editor belongs to the project like one entered.
    void CommitPendingEdit();

    // While a build runs the list cannot change.
    void SetBuilding(bool building);
    // The last build's "Warning: " lines by picture file; their rows are marked.
    void SetWarnings(QHash<QString, QStringList> warnings);
    // The check column, the sizes and the warning marks of every row.
    // `look_again` asks the files whether they changed (and watches them);
    // a finished check only shows what is known.
    void UpdateChecks(bool look_again = true);
    void SaveColumns(QByteArray& state) const;
    void RestoreColumns(const QByteArray& state);

  signals:
    // Another row is selected, or the list changed under the selection.
    void selectionChanged();
    // The selected picture is another one, or may look different.
    void previewNeeded();
    // The check of `path` has ended.
    void pictureChecked(const QString& path);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void ChangeList(const QString& text, const PictureRows& rows, CellPosition cell);
    void ShowList(const PictureRows& rows, CellPosition cell);
    void SelectCell(CellPosition cell);
    CellPosition CurrentCell() const;
    // Where new rows go (0-based): after the selected row, else at the end.
    int InsertionPoint() const;
    // The row `entry` is for `path`, with its size, or why it cannot be read.
    std::optional<std::string> SizeTextOf(const QString& path, int row, PictureRow& entry) const;
    void OnNoteEdited(int row, int column);
    void OnSelectionChanged();
    void UpdateCount();
    void UpdateButtons();
    void WatchListedFiles();
    void ShowCheck(int row, const PictureCheck& check, const QString& refusal);

    QUndoStack* undo_;
    Hooks hooks_;
    QLabel* images_caption_ = nullptr;  // "Images:"
    QLabel* images_count_ = nullptr;
    QPushButton* add_button_ = nullptr;
    QPushButton* remove_button_ = nullptr;
    QPushButton* up_button_ = nullptr;
    QPushButton* down_button_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QLabel* empty_hint_ = nullptr;
    QLabel* status_count_ = nullptr;
    QLabel* status_size_ = nullptr;
    QAction* add_action_ = nullptr;
    QAction* import_action_ = nullptr;
    QAction* remove_action_ = nullptr;
    QAction* up_action_ = nullptr;
    QAction* down_action_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    PictureRows shown_rows_;      // the list as the undo stack last saw it
    bool updating_list_ = false;  // changes made by the list operations themselves
    bool building_ = false;
    int row_at_press_ = -1;
    QHash<QString, QStringList> warnings_;
    PictureChecks checks_;
};

}  // namespace grix
