// The list's operations: adding (by dialog, by drop and by import),
// removing, moving, notes and Delete, each one step on the undo stack.
#include <QDir>
#include <QFileInfo>
#include <QTableWidget>
#include <QUndoStack>

#include <algorithm>

#include "app/picture_list_editor.h"
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

int PictureListEditor::InsertionPoint() const {
    // New pictures go after the selected one, like an insert in a text.
    const int selected = SelectedRow();
    return selected == 0 ? static_cast<int>(shown_rows_.size()) : selected;
}

void PictureListEditor::Load(const PictureRows& rows) {
    const bool was = updating_list_;
    updating_list_ = true;
    ShowList(rows, {1, kFileColumn});
    updating_list_ = was;
}

void PictureListEditor::ShowList(const PictureRows& rows, CellPosition cell) {
    const bool was = updating_list_;
    updating_list_ = true;
    ShowPictureRows(*grid_, rows);
    shown_rows_ = rows;
    UpdateChecks();
    updating_list_ = was;
    SelectCell(cell);
    UpdateCount();
    emit previewNeeded();
}

void PictureListEditor::ChangeList(const QString& text, const PictureRows& rows, CellPosition cell) {
    const PictureRows before = shown_rows_;
    const CellPosition before_cell = CurrentCell();
    ShowList(rows, cell);
    undo_->push(new PictureListChange(
        text, before, before_cell, rows, cell,
        [this](const PictureRows& shown, CellPosition at) { ShowList(shown, at); }));
}

void PictureListEditor::OnNoteEdited(int row, int column) {
    if (updating_list_ || column != kNotesColumn || row < 0 ||
        row >= static_cast<int>(shown_rows_.size()))
        return;
    PictureRows rows = shown_rows_;
    rows[static_cast<std::size_t>(row)].note = grid_->item(row, column)->text();
    if (rows == shown_rows_)
        return;
    const PictureRows before = shown_rows_;
    shown_rows_ = rows;
    const CellPosition cell{row + 1, kNotesColumn};
    undo_->push(new PictureListChange(
        QStringLiteral("edit note"), before, cell, rows, cell,
        [this](const PictureRows& shown, CellPosition at) { ShowList(shown, at); }));
}

std::optional<std::string> PictureListEditor::SizeTextOf(const QString& path, int row,
                                               PictureRow& entry) const {
    entry = {path, QString(), QString()};
    try {
        entry.size = FromUtf8(PictureSizeText(Utf8(path)));
    } catch (const std::exception& e) {
        return "Cannot read " + PictureLabel(static_cast<std::size_t>(row), Utf8(path)) + ": " +
               Utf8(ReadFailureCause(path, e));
    }
    return std::nullopt;
}

void PictureListEditor::AddPictureFiles(const QStringList& paths) {
    if (paths.isEmpty() || building_)
        return;
    PictureRows rows = shown_rows_;
    QStringList failures;
    int at = InsertionPoint();
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

void PictureListEditor::AddDroppedFiles(const QList<QUrl>& urls) {
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
        hooks_.show_status(QStringLiteral("Not added: ") + refused.join(QStringLiteral("; ")));
    AddPictureFiles(pictures);
    // Other pictures become crossword pictures through the import dialog,
    // one after another.
    for (const QString& path : imports)
        ImportPicture(path);
}

void PictureListEditor::ImportPicture(const QString& source) {
    if (building_)
        return;
    const std::optional<ImportedPicture> imported = hooks_.run_import(source);
    if (!imported)
        return;
    PictureRows rows = shown_rows_;
    PictureRow entry;
    const int at = InsertionPoint();
    const std::optional<std::string> failure = SizeTextOf(imported->path, at + 1, entry);
    entry.note = imported->note;
    rows.insert(rows.begin() + at, entry);
    ChangeList(QStringLiteral("import picture"), rows, {at + 1, kFileColumn});
    if (failure)
        throw Error(*failure);
}

void PictureListEditor::AddPictures() {
    const QStringList paths =
        hooks_.ask_files(QStringLiteral("Select image"), QStringLiteral("*.bmp (*.bmp)"));
    AddPictureFiles(paths);
}

void PictureListEditor::RemoveSelectedPicture() {
    const int row = SelectedRow();
    if (row == 0 || building_)
        return;
    PictureRows rows = shown_rows_;
    rows.erase(rows.begin() + (row - 1));
    ChangeList(QStringLiteral("remove image"), rows,
               {std::min(row, std::max(1, static_cast<int>(rows.size()))), CurrentCell().column});
}

void PictureListEditor::RepointPicture(const QString& from, const QString& to) {
    PictureRows rows = shown_rows_;
    for (PictureRow& row : rows) {
        if (row.path == from)
            row.path = to;
    }
    if (rows != shown_rows_)
        ChangeList(QStringLiteral("save picture as"), rows, CurrentCell());
}

void PictureListEditor::MovePictureUp() {
    const int row = SelectedRow();
    if (row <= 1 || building_)
        return;
    PictureRows rows = shown_rows_;
    std::swap(rows[row - 2], rows[row - 1]);
    ChangeList(QStringLiteral("move up"), rows, {row - 1, CurrentCell().column});
}

void PictureListEditor::MovePictureDown() {
    const int row = SelectedRow();
    if (row < 1 || row >= static_cast<int>(shown_rows_.size()) || building_)
        return;
    PictureRows rows = shown_rows_;
    std::swap(rows[row - 1], rows[row]);
    ChangeList(QStringLiteral("move down"), rows, {row + 1, CurrentCell().column});
}

void PictureListEditor::DeleteAtSelection() {
    const CellPosition cell = CurrentCell();
    if (cell.row == 0 || building_)
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
        hooks_.show_status(QStringLiteral("Select the File cell to remove a picture with Delete"));
    }
}

}  // namespace grix
