// "Import picture": a PNG, JPEG, GIF or BMP picture into a crossword
// picture. The author picks the cell size (linked to the aspect ratio
// unless unlinked), the threshold (or Auto) and Invert, and sees the cells
// with their clues and the solvability verdict as they change them; "Make
// it fair" looks for the closest settings that line logic solves, "Save
// and add" writes the 1-bit BMP the project lists.
//
// The picture is decoded once and kept reduced (ImportPreview); every
// change thresholds or rescales that copy, and the check runs off the
// interface thread, so dragging never waits for it.
#pragma once

#include <QDialog>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "convert/fair_search.h"
#include "convert/import_preview.h"
#include "puzzle/solvability.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace grix {

class CellsView;

// What the dialog wrote: the BMP to add to the list and its note.
struct ImportedPicture {
    QString path;
    QString note;  // the written file's name
};

// Opens the import dialog for `source` (asking for a picture first when it
// is empty). A picture that cannot be read is reported in a message box
// naming the file. Answers what was saved, or nothing when the author
// cancelled.
std::optional<ImportedPicture> RunImportDialog(QWidget* parent, const QString& source = {});

// Whether a dropped or chosen file is a picture for the import dialog
// rather than a BMP to list as it is (png, jpg, jpeg, gif; any case).
bool IsImportPicture(const QString& path);

// The file-dialog filter for pictures to import.
QString ImportPictureFilter();

class ImportDialog : public QDialog {
  public:
    ImportDialog(ImportPreview preview, const QString& source, QWidget* parent = nullptr);
    ~ImportDialog() override;
    // Keeps the dialog's size for the next time, however it is closed.
    void done(int result) override;

    // The controls' values, for the window's tests and for callers that
    // preset them.
    void SetCellWidth(int width);
    void SetCellHeight(int height);
    void SetLinked(bool linked);
    void SetThreshold(std::optional<int> threshold);  // none: Auto
    void SetInvert(bool invert);
    [[nodiscard]] int CellWidth() const;
    [[nodiscard]] int CellHeight() const;
    [[nodiscard]] int ThresholdShown() const;

    // The cells the preview shows, brought up to date at once (the preview
    // itself waits for a pause in the author's changes).
    [[nodiscard]] const ConvertedPicture& Cells();
    // The last finished check of the cells shown, if any.
    [[nodiscard]] const std::optional<CheckResult>& LastCheck() const { return check_; }
    // Runs the event loop until the pending check (or fair search) ends.
    void WaitForWork();

    // "<source's folder>/<source's name>-<W>x<H>.bmp".
    [[nodiscard]] QString DefaultSavePath() const;
    // Writes the cells to `path` and closes the dialog with them; a failure
    // is shown in a message box and answers false.
    bool SaveTo(const QString& path);
    // Starts "Make it fair" (or stops it when it runs).
    void MakeFair();

    [[nodiscard]] const std::optional<ImportedPicture>& Result() const { return result_; }

  private:
    void BuildLayout();
    void OnWidthChanged(int width);
    void OnHeightChanged(int height);
    void FollowSize(QSpinBox& other, const std::function<int()>& linked_value);
    void OnThresholdMoved();
    void Schedule();
    void Refresh();
    void StartCheck();
    void OnChecked(std::uint64_t generation, const CheckResult& result);
    void OnFairFound(const FairSearchResult& found, const FairSearchStart& start);
    void ShowVerdict();
    void Save();
    [[nodiscard]] ConversionRequest Request() const;

    ImportPreview preview_;
    QString source_;
    ConvertedPicture cells_;
    bool cells_stale_ = true;
    std::optional<CheckResult> check_;
    std::uint64_t generation_ = 0;  // of the cells shown; older checks are dropped
    std::shared_ptr<std::atomic<bool>> check_cancel_;
    std::shared_ptr<std::atomic<bool>> fair_cancel_;
    bool fair_running_ = false;
    bool updating_ = false;  // while the dialog sets linked controls itself
    std::optional<ImportedPicture> result_;

    QTimer debounce_;
    QThreadPool pool_;

    QLabel* source_view_ = nullptr;
    QSpinBox* width_box_ = nullptr;
    QSpinBox* height_box_ = nullptr;
    QCheckBox* linked_box_ = nullptr;
    QSlider* threshold_slider_ = nullptr;
    QSpinBox* threshold_box_ = nullptr;
    QCheckBox* auto_box_ = nullptr;
    QCheckBox* invert_box_ = nullptr;
    CellsView* cells_view_ = nullptr;
    QLabel* verdict_label_ = nullptr;
    QLabel* fair_label_ = nullptr;
    QPushButton* fair_button_ = nullptr;
    QPushButton* save_button_ = nullptr;
};

}  // namespace grix
