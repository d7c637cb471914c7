// The preview of the selected picture and the drawing over it: the file's
// cells or the unsaved drawing, its ambiguity marks, a fix being proposed,
// and "Fix it".
#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>

#include "app/cell_editor.h"
#include "app/main_window.h"
#include "app/picture_list_editor.h"
#include "app/preview.h"
#include "app/utf8_text.h"
#include "builder/picture_label.h"
#include "core/scope_exit.h"

namespace grix {
namespace {

const QString kLookingForFix = QStringLiteral("Looking for the fewest cells to change...");

}  // namespace

void TfmMain::RefreshPreview() {
    std::optional<PreviewRequest> request;
    const int row = list_->SelectedRow();
    const QString path = list_->SelectedPath();
    if (row >= 1) {
        request = PreviewRequest{Utf8(path),
                                 zoom_box_->currentIndex(),
                                 grid_box_->isChecked(),
                                 preview_panel_->maximumViewportSize(),
                                 {}};
        request->scroll_bar_extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const CellGrid* drawn = editor_->EditedCells(path);
        const PictureCheck* check =
            drawn != nullptr ? editor_->EditedCheck(path) : list_->Checks().Find(path);
        if (const FixResult* proposal = editor_->Proposal(path)) {
            // The picture as the fix would leave it, the changed cells
            // framed: what the author is being asked about.
            request->cells = proposal->cells;
            for (const CellChange& change : proposal->changes)
                request->fix_marks.emplace_back(change.x, change.y);
        } else {
            if (drawn != nullptr)
                request->cells = *drawn;
            if (ambiguity_box_->isChecked() && check != nullptr && check->done && check->readable) {
                for (const auto& [x, y] : check->result.differs)
                    request->marks.emplace_back(x, y);
            }
        }
    }
    const ScopeExit repaint([this] { preview_->Fit(); });
    if (!request) {
        // Nothing to show: the surface just fills the panel.
        preview_->Image() = QImage(preview_panel_->maximumViewportSize().expandedTo(QSize(1, 1)),
                                   QImage::Format_RGB32);
    }
    // A picture that cannot be read was reported when it was added and is
    // marked in its row; the preview says why in place of the picture, so
    // that moving through the list never raises a box per row.
    preview_->SetMessage({});
    preview_->SetLayout({});
    try {
        preview_->SetLayout(
            DrawPreview(preview_->Image(), palette().color(QPalette::Button), request));
    } catch (const std::exception& e) {
        preview_->SetMessage(QStringLiteral("Cannot show ") +
                             FromUtf8(PictureLabel(static_cast<std::size_t>(row), Utf8(path))) +
                             QStringLiteral(":\n") + ReadFailureCause(path, e));
    }
}

void TfmMain::OnPictureDrawn(const QString& path) {
    list_->UpdateChecks(false);
    if (list_->SelectedPath() == path)
        Guarded([this] { RefreshPreview(); });
    UpdateFixControls();
    UpdateTitle();
}

void TfmMain::FixSelectedPicture() {
    if (IsBuilding() || list_->SelectedRow() == 0)
        return;
    const bool stopping = editor_->FixRunning();
    editor_->StartFix(list_->SelectedPath());
    if (!stopping && editor_->FixRunning())
        ShowStatus(kLookingForFix);
}

void TfmMain::UpdateFixControls() {
    const bool running = editor_->FixRunning();
    // A search that runs can always be stopped; a new one needs a picture.
    const bool can = running || (!IsBuilding() && list_->SelectedRow() > 0);
    fix_button_->setEnabled(can);
    fix_action_->setEnabled(can);
    fix_button_->setText(running ? QStringLiteral("Stop") : QStringLiteral("Fi&x it"));
    if (!running && statusBar()->currentMessage() == kLookingForFix)
        statusBar()->clearMessage();
}

}  // namespace grix
