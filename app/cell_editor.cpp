#include "app/cell_editor.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QUndoCommand>
#include <QUndoStack>

#include <cstdlib>
#include <exception>
#include <utility>

#include "app/utf8_text.h"
#include "cells/pack_picture.h"

namespace grix {
namespace {

// Not restarted by every change: while the author drags, the check follows
// every few frames instead of waiting for the drag to stop.
constexpr int kCheckDelayMs = 40;

std::size_t IndexOf(const CellGrid& cells, QPoint cell) {
    return static_cast<std::size_t>(cell.y()) * static_cast<std::size_t>(cells.width) +
           static_cast<std::size_t>(cell.x());
}

bool Inside(const CellGrid& cells, QPoint cell) {
    return cell.x() >= 0 && cell.y() >= 0 && cell.x() < cells.width && cell.y() < cells.height;
}

// "Change 1 cell to make the puzzle unique (line logic):", then the cells as
// grix-cli fix names them.
QString ProposalText(const FixResult& result) {
    QStringList cells;
    for (const CellChange& change : result.changes)
        cells << FromUtf8(CellChangeText(change));
    const auto count = static_cast<int>(result.changes.size());
    QString text =
        (count == 1 ? QObject::tr("Change 1 cell") : QObject::tr("Change %1 cells").arg(count)) +
        QObject::tr(" to make the puzzle %1:\n").arg(FromUtf8(VerdictText(result.verdict))) +
        cells.join(QStringLiteral(", "));
    if (!result.proven_fewest)
        text += QObject::tr("\n(the best found in the time given; fewer may do)");
    return text + QObject::tr("\n\nApply the fix?");
}

}  // namespace

// One stroke or fix: the cells it set and what each got. Already on screen
// when it is pushed, so the first redo does nothing.
class CellEditor::CellsChange : public QUndoCommand {
  public:
    CellsChange(const QString& text, CellEditor* editor, std::shared_ptr<Picture> picture,
                std::vector<std::size_t> indices, std::vector<std::uint8_t> values)
        : QUndoCommand(text),
          editor_(editor),
          picture_(std::move(picture)),
          indices_(std::move(indices)),
          values_(std::move(values)) {}

    void undo() override { Set(true); }
    void redo() override {
        if (applied_) {
            applied_ = false;
            return;
        }
        Set(false);
    }

  private:
    void Set(bool undo) {
        // A picture whose file changed size since cannot take these cells.
        if (picture_->cells.cells.size() != size_)
            return;
        for (std::size_t i = 0; i < indices_.size(); ++i)
            picture_->cells.cells[indices_[i]] = undo ? !values_[i] : values_[i];
        editor_->Changed(picture_);
    }

    CellEditor* editor_;
    std::shared_ptr<Picture> picture_;
    std::vector<std::size_t> indices_;
    std::vector<std::uint8_t> values_;
    std::size_t size_ = picture_->cells.cells.size();
    bool applied_ = true;
};

CellEditor::CellEditor(QUndoStack* undo, EditorHooks hooks, QObject* parent)
    : QObject(parent), undo_(undo), hooks_(std::move(hooks)) {
    pool_.setMaxThreadCount(2);  // the check and the fix search side by side
    check_timer_.setSingleShot(true);
    check_timer_.setInterval(kCheckDelayMs);
    connect(&check_timer_, &QTimer::timeout, this, [this] { StartChecks(); });
}

CellEditor::~CellEditor() {
    for (const auto& [path, picture] : pictures_) {
        if (picture->check_cancel)
            *picture->check_cancel = true;
    }
    if (fix_cancel_)
        *fix_cancel_ = true;
    pool_.waitForDone();
}

std::shared_ptr<CellEditor::Picture> CellEditor::Find(const QString& path) const {
    const auto found = pictures_.find(path);
    return found == pictures_.end() ? nullptr : found->second;
}

std::shared_ptr<CellEditor::Picture> CellEditor::Open(const QString& path) {
    std::shared_ptr<Picture> picture = Find(path);
    if (picture && picture->Edited())
        return picture;
    // Without unsaved edits the file is what the author sees: it is read
    // again, in case another program changed it since.
    CellGrid cells = CellsOfPicture(Utf8(path));
    if (!picture) {
        picture = std::make_shared<Picture>();
        picture->path = path;
        pictures_[path] = picture;
    }
    if (cells != picture->saved || cells != picture->cells) {
        picture->saved = cells;
        picture->cells = std::move(cells);
        ++picture->generation;
    }
    return picture;
}

const CellGrid* CellEditor::EditedCells(const QString& path) const {
    const std::shared_ptr<Picture> picture = Find(path);
    return picture && picture->Edited() ? &picture->cells : nullptr;
}

const PictureCheck* CellEditor::EditedCheck(const QString& path) const {
    const std::shared_ptr<Picture> picture = Find(path);
    return picture && picture->Edited() ? &picture->check : nullptr;
}

bool CellEditor::HasUnsavedEdits() const {
    return !UnsavedPaths().isEmpty();
}

QStringList CellEditor::UnsavedPaths() const {
    QStringList paths;
    for (const auto& [path, picture] : pictures_) {
        if (picture->Edited())
            paths << path;
    }
    return paths;
}

const FixResult* CellEditor::Proposal(const QString& path) const {
    const std::shared_ptr<Picture> picture = Find(path);
    return picture && picture->proposal ? &*picture->proposal : nullptr;
}

// ---- strokes -------------------------------------------------------------

void CellEditor::Stroke(StrokeStep step, const QString& path, QPoint cell) {
    if (step == StrokeStep::Press) {
        // A stroke whose release never came (the mouse went to a box that
        // popped up) still becomes its undo step.
        EndStroke();
        std::shared_ptr<Picture> picture = Open(path);
        if (!Inside(picture->cells, cell))
            return;
        const bool filled = picture->cells.cells[IndexOf(picture->cells, cell)] != 0;
        stroke_ = StrokeState{std::move(picture), !filled, cell, {}};
        if (Paint(cell))
            Changed(stroke_->picture);
        return;
    }
    if (!stroke_)
        return;
    // One redraw per mouse report, however many cells it crossed.
    if (PaintLine(stroke_->last, cell))
        Changed(stroke_->picture);
    stroke_->last = cell;
    if (step == StrokeStep::Release)
        EndStroke();
}

void CellEditor::EndStroke() {
    if (!stroke_)
        return;
    StrokeState stroke = std::move(*stroke_);
    stroke_.reset();
    if (stroke.painted.empty())
        return;
    const std::vector<std::uint8_t> values(stroke.painted.size(), stroke.value ? 1 : 0);
    undo_->push(
        new CellsChange(tr("draw cells"), this, stroke.picture, std::move(stroke.painted), values));
}

bool CellEditor::Paint(QPoint cell) {
    CellGrid& cells = stroke_->picture->cells;
    if (!Inside(cells, cell))
        return false;
    const std::size_t index = IndexOf(cells, cell);
    if ((cells.cells[index] != 0) == stroke_->value)
        return false;
    cells.cells[index] = stroke_->value ? 1 : 0;
    stroke_->painted.push_back(index);
    return true;
}

// Every cell a straight line between the two crosses (Bresenham's), so that
// a drag faster than the mouse reports leaves no gaps.
bool CellEditor::PaintLine(QPoint from, QPoint to) {
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int step_x = from.x() < to.x() ? 1 : -1;
    const int step_y = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    QPoint at = from;
    bool painted = false;
    for (;;) {
        painted = Paint(at) || painted;
        if (at == to)
            return painted;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.rx() += step_x;
        }
        if (twice <= dx) {
            error += dx;
            at.ry() += step_y;
        }
    }
}

// ---- the live check ------------------------------------------------------

void CellEditor::Changed(const std::shared_ptr<Picture>& picture) {
    ++picture->generation;
    picture->proposal.reset();
    if (picture->check_cancel)
        *picture->check_cancel = true;
    picture->check = PictureCheck{};
    picture->check_wanted = picture->Edited();
    if (picture->check_wanted && !check_timer_.isActive())
        check_timer_.start();
    if (hooks_.changed)
        hooks_.changed(picture->path);
}

void CellEditor::StartChecks() {
    for (const auto& [path, picture] : pictures_) {
        if (!picture->check_wanted)
            continue;
        picture->check_wanted = false;
        auto cancel = std::make_shared<std::atomic<bool>>(false);
        picture->check_cancel = cancel;
        const std::uint64_t generation = picture->generation;
        pool_.start([this, picture, generation, cancel, cells = picture->cells] {
            CheckResult result;
            try {
                result = CheckCells(cells, kDefaultCheckBudget, cancel.get());
            } catch (const std::exception&) {
                return;  // only a grid over the size limit, which no file reads as
            }
            if (*cancel)
                return;
            QMetaObject::invokeMethod(
                this,
                [this, picture, generation, result] {
                    if (generation != picture->generation)
                        return;  // drawn on since
                    picture->check.done = true;
                    picture->check.result = result;
                    if (hooks_.changed)
                        hooks_.changed(picture->path);
                },
                Qt::QueuedConnection);
        });
    }
}

// ---- "Fix it" ------------------------------------------------------------

void CellEditor::StartFix(const QString& path) {
    if (fix_running_) {
        *fix_cancel_ = true;
        return;
    }
    const std::shared_ptr<Picture> picture = Open(path);
    fix_cancel_ = std::make_shared<std::atomic<bool>>(false);
    fix_running_ = true;
    if (hooks_.changed)
        hooks_.changed(path);
    const std::uint64_t generation = picture->generation;
    pool_.start([this, picture, generation, cancel = fix_cancel_, cells = picture->cells] {
        FixResult result;
        try {
            result = FindFewestFix(cells, FixLimits{}, cancel.get());
        } catch (const std::exception&) {
            result.outcome = FixOutcome::NotFound;
        }
        QMetaObject::invokeMethod(
            this, [this, picture, generation, result] { OnFixEnded(picture, generation, result); },
            Qt::QueuedConnection);
    });
}

void CellEditor::OnFixEnded(const std::shared_ptr<Picture>& picture, std::uint64_t generation,
                            const FixResult& result) {
    fix_running_ = false;
    if (hooks_.changed)
        hooks_.changed(picture->path);
    if (generation != picture->generation)
        return;  // drawn on meanwhile: the fix was for other cells
    const QString title = tr("Fix it");
    switch (result.outcome) {
        case FixOutcome::Blank:
            Tell(title, tr("%1 is blank: draw the picture first.")
                            .arg(QFileInfo(picture->path).fileName()));
            return;
        case FixOutcome::Fair:
            Tell(title, tr("%1 needs no fix: %2.")
                            .arg(QFileInfo(picture->path).fileName(),
                                 FromUtf8(VerdictText(result.verdict))));
            return;
        case FixOutcome::NotFound:
            Tell(title, result.verdict == Verdict::Undecided
                            ? tr("%1 could not be checked within the time limit.")
                                  .arg(QFileInfo(picture->path).fileName())
                            : tr("No fix of at most %1 cells was found within %2 seconds.")
                                  .arg(kDefaultFixMostCells)
                                  .arg(kDefaultFixBudget));
            return;
        case FixOutcome::Fixed:
            break;
    }
    picture->proposal = result;
    if (hooks_.changed)
        hooks_.changed(picture->path);
    const QString text = ProposalText(result);
    const bool apply = hooks_.apply_fix && hooks_.apply_fix(text);
    // The question may have run the event loop: a stroke since supersedes it.
    if (generation != picture->generation || !picture->proposal)
        return;
    picture->proposal.reset();
    if (!apply) {
        if (hooks_.changed)
            hooks_.changed(picture->path);
        return;
    }
    std::vector<std::size_t> indices;
    std::vector<std::uint8_t> values;
    for (const CellChange& change : result.changes) {
        const QPoint cell(change.x, change.y);
        indices.push_back(IndexOf(picture->cells, cell));
        values.push_back(change.filled ? 1 : 0);
        picture->cells.cells[indices.back()] = values.back();
    }
    Changed(picture);
    undo_->push(
        new CellsChange(tr("fix it"), this, picture, std::move(indices), std::move(values)));
}

void CellEditor::Tell(const QString& title, const QString& text) const {
    if (hooks_.tell)
        hooks_.tell(title, text);
}

void CellEditor::WaitForWork() {
    QEventLoop loop;
    const auto busy = [this] {
        if (fix_running_ || check_timer_.isActive())
            return true;
        for (const auto& [path, picture] : pictures_) {
            if (picture->Edited() && !picture->check.done)
                return true;
        }
        return false;
    };
    while (busy()) {
        pool_.waitForDone(20);
        loop.processEvents(QEventLoop::AllEvents, 20);
    }
}

}  // namespace grix
