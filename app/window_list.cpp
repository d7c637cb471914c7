// The picture list's operations: adding (by dialog and by drop), removing,
// moving, notes, Delete, the undo stack, the count and the check column.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSet>
#include <QStyle>
#include <QTableWidget>
#include <QUndoStack>

#include <algorithm>
#include <new>

#include "app/import_dialog.h"
#include "app/main_window.h"
#include "app/utf8_text.h"
#include "builder/picture_label.h"
#include "cells/pack_picture.h"
#include "core/errors.h"

namespace grix {
namespace {

bool HasSuffix(const QString& path, std::initializer_list<const char*> suffixes) {
    const QString suffix = QFileInfo(path).suffix();
    for (const char* wanted : suffixes) {
        if (suffix.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace

// ---- the picture list ----------------------------------------------------

bool TfmMain::IsListEmpty() const {
    return IsPictureListEmpty(*sgImages);
}

int TfmMain::SelectedRow() const {
    const int row = sgImages->currentRow();
    return row < 0 || IsListEmpty() ? 0 : row + 1;
}

CellPosition TfmMain::CurrentCell() const {
    const int column = sgImages->currentColumn();
    return {SelectedRow(), column < kFileColumn ? kFileColumn : column};
}

void TfmMain::SelectCell(CellPosition cell) {
    const bool was = updating_list_;
    updating_list_ = true;
    const int row = std::clamp(cell.row, 1, sgImages->rowCount());
    sgImages->setCurrentCell(row - 1, cell.column);
    updating_list_ = was;
    OnSelectionChanged();
}

void TfmMain::ShowList(const PictureRows& rows, CellPosition cell) {
    const bool was = updating_list_;
    updating_list_ = true;
    ShowPictureRows(*sgImages, rows);
    shown_rows_ = rows;
    UpdateChecks();
    updating_list_ = was;
    SelectCell(cell);
    UpdateCount();
    RefreshPreview();
}

void TfmMain::ChangeList(const QString& text, const PictureRows& rows, CellPosition cell) {
    const PictureRows before = shown_rows_;
    const CellPosition before_cell = CurrentCell();
    ShowList(rows, cell);
    undo_->push(new PictureListChange(
        text, before, before_cell, rows, cell,
        [this](const PictureRows& shown, CellPosition at) { ShowList(shown, at); }));
}

void TfmMain::OnNoteEdited(int row, int column) {
    if (updating_list_ || column != kNotesColumn || row < 0 ||
        row >= static_cast<int>(shown_rows_.size()))
        return;
    PictureRows rows = shown_rows_;
    rows[static_cast<std::size_t>(row)].note = sgImages->item(row, column)->text();
    if (rows == shown_rows_)
        return;
    const PictureRows before = shown_rows_;
    shown_rows_ = rows;
    const CellPosition cell{row + 1, kNotesColumn};
    undo_->push(new PictureListChange(
        QStringLiteral("edit note"), before, cell, rows, cell,
        [this](const PictureRows& shown, CellPosition at) { ShowList(shown, at); }));
}

void TfmMain::UpdateChecks(bool look_again) {
    static const PictureCheck kPending;
    const int count = static_cast<int>(shown_rows_.size());
    QStringList paths;
    std::vector<const PictureCheck*> checks;
    std::vector<std::optional<QSize>> sizes;
    // Requests first: they may add entries, which moves the ones before.
    if (look_again) {
        for (const PictureRow& entry : shown_rows_)
            (void)checks_.Request(entry.path);
    }
    for (int row = 1; row <= count; ++row) {
        PictureRow& entry = shown_rows_[row - 1];
        paths.append(entry.path);
        const PictureCheck* found = checks_.Find(entry.path);
        const PictureCheck& check = found != nullptr ? *found : kPending;
        checks.push_back(&check);
        // The size follows the file as it is now, so a row never shows the
        // size of a picture that has changed or gone since it was added.
        if (check.done) {
            const QString size =
                check.readable
                    ? QStringLiteral("%1 * %2").arg(check.result.width).arg(check.result.height)
                    : QString();
            if (size != entry.size) {
                entry.size = size;
                const bool was = updating_list_;
                updating_list_ = true;
                sgImages->item(row - 1, kSizeColumn)->setText(size);
                updating_list_ = was;
            }
            sizes.push_back(check.readable ? std::optional<QSize>(
                                                 QSize(check.result.width, check.result.height))
                                           : std::nullopt);
        } else {
            const QStringList parts = entry.size.split(QStringLiteral(" * "));
            bool wide = false, high = false;
            const int w = parts.size() == 2 ? parts[0].toInt(&wide) : 0;
            const int h = parts.size() == 2 ? parts[1].toInt(&high) : 0;
            sizes.push_back(wide && high ? std::optional<QSize>(QSize(w, h)) : std::nullopt);
        }
    }
    const std::vector<QString> refusals = PhoneRefusals(sizes);
    for (int row = 1; row <= count; ++row) {
        const auto i = static_cast<std::size_t>(row - 1);
        ShowCheck(row, *checks[i], refusals[i]);
    }
    if (look_again) {
        checks_.Keep(paths);
        WatchListedFiles();
    }
    OnSelectionChanged();  // the selected size in the status bar
}

void TfmMain::WatchListedFiles() {
    // The listed files, and their folders for files that come back or are
    // replaced by a rename (as editors save).
    QSet<QString> wanted;
    for (const PictureRow& entry : shown_rows_) {
        for (const QString& path : {entry.path, QFileInfo(entry.path).absolutePath()}) {
            if (!wanted.contains(path) && QFileInfo::exists(path))
                wanted.insert(path);
        }
    }
    QSet<QString> watched;
    QStringList gone;
    for (const QString& path : watcher_->files() + watcher_->directories()) {
        watched.insert(path);
        if (!wanted.contains(path))
            gone.append(path);
    }
    if (!gone.isEmpty())
        watcher_->removePaths(gone);
    QStringList added;
    for (const QString& path : wanted) {
        if (!watched.contains(path))
            added.append(path);
    }
    if (!added.isEmpty())
        watcher_->addPaths(added);
}

void TfmMain::ShowCheck(int row, const PictureCheck& check, const QString& refusal) {
    QTableWidgetItem* item = sgImages->item(row - 1, kCheckColumn);
    QTableWidgetItem* number = sgImages->item(row - 1, kNumberColumn);
    const PictureRow& entry = shown_rows_[row - 1];
    const bool was = updating_list_;
    updating_list_ = true;
    // What the phone will refuse outranks what the check says of the clues.
    const bool refused = !refusal.isEmpty() && (!check.done || check.readable);
    const QString text = refused ? refusal : CheckText(check);
    item->setText(text);
    item->setData(kBriefCheckRole, refused ? QStringLiteral("refused") : BriefCheckText(check));
    QPixmap mark(10, 10);
    mark.fill(refused ? VerdictColour(Verdict::Several) : CheckColour(check));
    item->setIcon(QIcon(mark));
    const bool red = refused || (check.done && !check.readable);
    item->setForeground(red ? QBrush(QColor(190, 0, 0)) : QBrush());
    QString tip = text;
    if (refused && check.done) {
        tip += QStringLiteral("\nClues: ") + CheckText(check);
    } else if (check.done && check.readable && check.result.verdict == Verdict::Several) {
        tip += QStringLiteral(
                   ": another solution fits the same clues; it differs in %1 cells "
                   "(Show ambiguity marks them)")
                   .arg(check.result.differs.size());
    }
    item->setToolTip(tip);
    // The last build's warnings about this picture.
    const auto warned = warnings_.constFind(entry.path);
    if (warned != warnings_.constEnd()) {
        number->setIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
        number->setToolTip(warned->join(QLatin1Char('\n')));
    } else {
        number->setIcon(QIcon());
        number->setToolTip(QString());
    }
    updating_list_ = was;
}

void TfmMain::OnPictureChecked(const QString& path) {
    UpdateChecks(false);
    const int selected = SelectedRow();
    if (ShowAmbiguity->isChecked() && selected > 0 && shown_rows_[selected - 1].path == path)
        RefreshPreview();
}

void TfmMain::UpdateCount() {
    const int count = static_cast<int>(ReadPictureRows(*sgImages).size());
    Label14->setText(QString::number(count));
    StatusCount->setText(count == 1 ? QStringLiteral("1 picture")
                                    : QString::number(count) + QStringLiteral(" pictures"));
    ListHint->setVisible(count == 0);
    UpdateButtons();
}

void TfmMain::OnSelectionChanged() {
    // Only "Notes" is typed into; "File" and "Size" change through the buttons.
    const int column = sgImages->currentColumn();
    if (column == kFileColumn || column == kSizeColumn || column == kCheckColumn ||
        build_.Running()) {
        sgImages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    } else {
        sgImages->setEditTriggers(
            QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    }
    const int row = SelectedRow();
    const QTableWidgetItem* size = row > 0 ? sgImages->item(row - 1, kSizeColumn) : nullptr;
    StatusSize->setText(size && !size->text().isEmpty()
                            ? QStringLiteral("Selected: ") + size->text() + QStringLiteral(" cells")
                            : QString());
    UpdateButtons();
}

void TfmMain::UpdateButtons() {
    if (actionStart == nullptr)
        return;  // still being built
    const bool idle = !build_.Running();
    const int row = SelectedRow();
    const int last = static_cast<int>(shown_rows_.size());
    BitBtn4->setEnabled(idle);
    actionAddImage->setEnabled(idle);
    actionImport->setEnabled(idle);
    BitBtn5->setEnabled(idle && row > 0);
    actionRemoveImage->setEnabled(idle && row > 0);
    BitBtn6->setEnabled(idle && row > 1);
    actionUp->setEnabled(idle && row > 1);
    BitBtn7->setEnabled(idle && row > 0 && row < last);
    actionDown->setEnabled(idle && row > 0 && row < last);
    Button1->setEnabled(idle);
    actionStart->setEnabled(idle);
    actionCancel->setEnabled(!idle);
    actionShowMidlets->setEnabled(Button2->isEnabled());
    for (QAction* action : {actionNew, actionOpen, actionSave, actionSaveAs})
        action->setEnabled(idle);
    undo_->setActive(idle);
    actionUndo->setEnabled(idle && undo_->canUndo());
    actionRedo->setEnabled(idle && undo_->canRedo());
}

std::optional<std::string> TfmMain::SizeTextOf(const QString& path, int row,
                                               PictureRow& entry) const {
    entry = {path, QString(), QString()};
    try {
        entry.size = FromUtf8(PictureSizeText(Utf8(path)));
    } catch (const std::exception& e) {
        const QString cause =
            QFileInfo::exists(path) ? ReadFailureCause(e) : QStringLiteral("file not found");
        return "Cannot read " + PictureLabel(static_cast<std::size_t>(row), Utf8(path)) + ": " +
               Utf8(cause);
    }
    return std::nullopt;
}

void TfmMain::AddPictureFiles(const QStringList& paths) {
    if (paths.isEmpty() || build_.Running())
        return;
    PictureRows rows = shown_rows_;
    QStringList failures;
    // New pictures go after the selected one, like an insert in a text.
    int at = SelectedRow();
    if (at == 0)
        at = static_cast<int>(rows.size());
    for (const QString& path : paths) {
        PictureRow entry;
        if (auto failure = SizeTextOf(path, at + 1, entry))
            failures.append(FromUtf8(*failure));
        rows.insert(rows.begin() + at, entry);
        ++at;
    }
    // A picture that could not be read stays listed without a size; the
    // last new picture is selected so that the author sees what was added.
    // Its reader error is reported once, as the add's failure.
    ChangeList(paths.size() == 1 ? QStringLiteral("add image") : QStringLiteral("add images"), rows,
               {at, kFileColumn});
    if (!failures.isEmpty())
        throw Error(Utf8(failures.join(QLatin1Char('\n'))));
}

void TfmMain::AddDroppedFiles(const QList<QUrl>& urls) {
    QStringList pictures;
    QStringList imports;
    QStringList refused;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            refused.append(url.toDisplayString() +
                           QStringLiteral(" is not a file on this computer"));
            continue;
        }
        const QString path = url.toLocalFile();
        const QFileInfo info(path);
        if (info.isDir()) {
            const QDir folder(path);
            const QStringList found = folder.entryList(
                {QStringLiteral("*.bmp"), QStringLiteral("*.BMP"), QStringLiteral("*.Bmp")},
                QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
            if (found.isEmpty())
                refused.append(info.fileName() + QStringLiteral(" holds no BMP files"));
            for (const QString& name : found)
                pictures.append(folder.filePath(name));
        } else if (HasSuffix(path, {"bmp"})) {
            pictures.append(path);
        } else if (IsImportPicture(path)) {
            imports.append(path);
        } else {
            refused.append(info.fileName() +
                           QStringLiteral(" is not a BMP, PNG, JPEG or GIF picture"));
        }
    }
    pictures.removeDuplicates();
    if (!refused.isEmpty())
        ShowStatus(QStringLiteral("Not added: ") + refused.join(QStringLiteral("; ")));
    AddPictureFiles(pictures);
    // Other pictures become crossword pictures through the import dialog,
    // one after another.
    for (const QString& path : imports)
        ImportPicture(path);
}

void TfmMain::ImportPicture(const QString& source) {
    if (build_.Running())
        return;
    const std::optional<ImportedPicture> imported = RunImport(source);
    if (!imported)
        return;
    PictureRows rows = shown_rows_;
    PictureRow entry;
    int at = SelectedRow();
    if (at == 0)
        at = static_cast<int>(rows.size());
    const std::optional<std::string> failure = SizeTextOf(imported->path, at + 1, entry);
    entry.note = imported->note;
    rows.insert(rows.begin() + at, entry);
    ChangeList(QStringLiteral("import picture"), rows, {at + 1, kFileColumn});
    if (failure)
        throw Error(*failure);
}

void TfmMain::AddPictures() {
    const QStringList paths =
        AskOpenFileNames(QStringLiteral("Select image"), QStringLiteral("*.bmp (*.bmp)"));
    AddPictureFiles(paths);
}

void TfmMain::RemoveSelectedPicture() {
    const int row = SelectedRow();
    if (row == 0 || build_.Running())
        return;
    PictureRows rows = shown_rows_;
    rows.erase(rows.begin() + (row - 1));
    ChangeList(QStringLiteral("remove image"), rows,
               {std::min(row, std::max(1, static_cast<int>(rows.size()))), CurrentCell().column});
}

void TfmMain::MovePictureUp() {
    const int row = SelectedRow();
    if (row <= 1 || build_.Running())
        return;
    PictureRows rows = shown_rows_;
    std::swap(rows[row - 2], rows[row - 1]);
    ChangeList(QStringLiteral("move up"), rows, {row - 1, CurrentCell().column});
}

void TfmMain::MovePictureDown() {
    const int row = SelectedRow();
    if (row < 1 || row >= static_cast<int>(shown_rows_.size()) || build_.Running())
        return;
    PictureRows rows = shown_rows_;
    std::swap(rows[row - 1], rows[row]);
    ChangeList(QStringLiteral("move down"), rows, {row + 1, CurrentCell().column});
}

void TfmMain::DeleteAtSelection() {
    const CellPosition cell = CurrentCell();
    if (cell.row == 0 || build_.Running())
        return;
    if (cell.column == kNotesColumn) {
        PictureRows rows = shown_rows_;
        if (rows[cell.row - 1].note.isEmpty())
            return;
        rows[cell.row - 1].note.clear();
        ChangeList(QStringLiteral("clear note"), rows, cell);
    } else if (cell.column == kFileColumn) {
        RemoveSelectedPicture();
    } else {
        ShowStatus(QStringLiteral("Select the File cell to remove a picture with Delete"));
    }
}

CrosswordProject TfmMain::Project() const {
    CrosswordProject project;
    project.name = Utf8(Edit2->text());
    project.info = Utf8(Edit6->text());
    project.splash = CheckBox3->isChecked();
    project.splash_path = Utf8(Edit1->text());
    const PictureRows rows = ReadPictureRows(*sgImages);
    project.list_empty = rows.empty();
    int number = 0;
    for (const PictureRow& row : rows)
        project.pictures.push_back({++number, Utf8(row.path), Utf8(row.size), Utf8(row.note)});
    return project;
}

void TfmMain::CommitPendingEdit() {
    // A note still in its editor when the window closes or a build starts
    // belongs to the project like one already entered. Editors live in the
    // grid's viewport; nothing else there takes focus.
    QWidget* editor = QApplication::focusWidget();
    if (editor != nullptr && sgImages->viewport()->isAncestorOf(editor)) {
        QMetaObject::invokeMethod(sgImages, "commitData", Qt::DirectConnection,
                                  Q_ARG(QWidget*, editor));
    }
}

}  // namespace grix
