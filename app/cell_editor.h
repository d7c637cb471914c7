// Drawing over the listed pictures. Per picture file the editor keeps the
// cells as the author has drawn them until they are saved; every stroke
// and every applied fix is one step on the window's undo stack. The drawn
// cells are checked in the background as they change (a newer change
// supersedes the running check), and "Fix it" searches, off the interface
// thread too, for the fewest cells to change so that the clues have one
// solution.
//
// A picture is saved in place only when the file takes the cells without
// any other change (convert/picture_write_back.h); any other is never
// overwritten: the author names a new file, NAME-edited.bmp proposed, and
// the list row is pointed at it.
#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/picture_checks.h"
#include "app/preview.h"
#include "cells/cell_grid.h"
#include "puzzle/fewest_fix.h"

class QUndoStack;

namespace grix {

// What the editor asks and tells the window. Every member may be left
// empty: a question then counts as cancelled, a notice as unheard.
struct EditorHooks {
    // The drawn cells, their check or the fix proposal of `path` changed.
    std::function<void(const QString& path)> changed;
    // A file name to save an edited picture under, `proposed` offered; ""
    // cancels.
    std::function<QString(const QString& title, const QString& proposed)> save_name;
    // The size of a new picture; nothing cancels.
    std::function<std::optional<QSize>()> picture_size;
    // Whether to apply the fix the preview now shows (`text` says what it
    // changes).
    std::function<bool(const QString& text)> apply_fix;
    // A failure or a search that found nothing, for a message box.
    std::function<void(const QString& title, const QString& text)> tell;
    // The list row of `from` now shows `to` (the edited copy).
    std::function<void(const QString& from, const QString& to)> repoint;
    // A new picture to add to the list.
    std::function<void(const QString& path)> add_picture;
};

class CellEditor : public QObject {
  public:
    // Strokes and fixes go onto `undo` (the window's stack).
    CellEditor(QUndoStack* undo, EditorHooks hooks, QObject* parent = nullptr);
    // Cancels the check and the search that run and waits for them.
    ~CellEditor() override;
    CellEditor(const CellEditor&) = delete;
    CellEditor& operator=(const CellEditor&) = delete;

    // The cells to show for `path` when they differ from its file (unsaved
    // edits); null otherwise.
    [[nodiscard]] const CellGrid* EditedCells(const QString& path) const;
    // The check of those cells (done false while it runs); null without
    // unsaved edits, when the file's own check applies.
    [[nodiscard]] const PictureCheck* EditedCheck(const QString& path) const;
    [[nodiscard]] bool HasUnsavedEdits() const;
    [[nodiscard]] QStringList UnsavedPaths() const;

    // A stroke over the preview of `path`: a press toggles its cell, every
    // move paints the cells on the way (the mouse may skip cells on a fast
    // drag) with what the first got, the release pushes the stroke as one
    // step ("draw cells"). Cells outside the picture are passed over. The
    // first press on a picture reads its file (raising the reader's errors).
    void Stroke(StrokeStep step, const QString& path, QPoint cell);

    // "Fix it": searches for the fewest-cells fix of `path`'s cells as they
    // are shown. When it ends the preview is given the proposal (Proposal),
    // the author is asked, and a yes applies it as one step ("fix it").
    // Calling it while a search runs stops that search instead.
    void StartFix(const QString& path);
    [[nodiscard]] bool FixRunning() const { return fix_running_; }
    // The fix being proposed for `path`, while the author is asked.
    [[nodiscard]] const FixResult* Proposal(const QString& path) const;

    // Saves the unsaved edits of `path`: in place when the file takes
    // them, else under a name the author picks (then the row is
    // repointed). False when the author cancelled or it failed (told).
    bool Save(const QString& path);
    // Saves every picture with unsaved edits; false at the first that is
    // not saved.
    bool SaveAll();
    // Forgets every unsaved edit (the author chose to discard them).
    void DiscardAll();

    // "New picture...": asks the size and the file name, writes a blank
    // 1-bit BMP and adds it to the list. Answers its path, or nothing.
    std::optional<QString> NewPicture();

    // Runs the event loop until no check or search runs (tests).
    void WaitForWork();

  private:
    // One picture drawn on.
    struct Picture {
        QString path;
        CellGrid cells;  // as drawn
        CellGrid saved;  // as the file holds them, last read or written
        PictureCheck check;
        bool check_wanted = false;
        std::uint64_t generation = 0;  // of `cells`; older checks and fixes are dropped
        std::shared_ptr<std::atomic<bool>> check_cancel;
        std::optional<FixResult> proposal;

        [[nodiscard]] bool Edited() const { return cells != saved; }
    };
    class CellsChange;

    std::shared_ptr<Picture> Find(const QString& path) const;
    std::shared_ptr<Picture> Open(const QString& path);
    // Whether the cell (every cell of the line) changed.
    bool Paint(QPoint cell);
    bool PaintLine(QPoint from, QPoint to);
    void EndStroke();
    void Changed(const std::shared_ptr<Picture>& picture);
    void StartChecks();
    void OnFixEnded(const std::shared_ptr<Picture>& picture, std::uint64_t generation,
                    const FixResult& result);
    void Tell(const QString& title, const QString& text) const;

    struct StrokeState {
        std::shared_ptr<Picture> picture;
        bool value = false;  // what every cell of the stroke gets
        QPoint last;
        std::vector<std::size_t> painted;  // cells the stroke changed
    };

    QUndoStack* undo_;
    EditorHooks hooks_;
    std::map<QString, std::shared_ptr<Picture>> pictures_;
    std::optional<StrokeState> stroke_;
    std::shared_ptr<std::atomic<bool>> fix_cancel_;
    bool fix_running_ = false;
    QTimer check_timer_;
    QThreadPool pool_;
};

}  // namespace grix
