// Saving drawings (in place, or as a new file when the picture would change
// beyond its cells) and making new blank pictures.
#include <QFileInfo>

#include <exception>

#include "app/cell_editor.h"
#include "app/utf8_text.h"
#include "convert/cell_bmp_writer.h"
#include "convert/picture_write_back.h"

namespace grix {
namespace {

// The name the author gave, ".bmp" added where it has another ending: the
// list takes BMP files only.
QString WithBmpSuffix(QString path) {
    if (!HasBmpExtension(Utf8(path)))
        path += QLatin1String(".bmp");
    return path;
}

}  // namespace

bool CellEditor::Save(const QString& path) {
    const std::shared_ptr<Picture> picture = Find(path);
    if (!picture || !picture->Edited())
        return true;
    const std::string source = Utf8(path);
    const QString title = tr("Save the edited picture");
    if (CanWriteBackInPlace(source, picture->cells)) {
        try {
            WriteCellsBack(source, picture->cells);
        } catch (const std::exception& e) {
            Tell(title, FromUtf8(e.what()));
            return false;
        }
        picture->saved = picture->cells;
        Changed(picture);
        return true;
    }
    // Any other picture would come back changed beyond the drawing: it
    // stays as it is, and the drawing goes to a new file.
    const QString chosen =
        hooks_.save_name ? hooks_.save_name(title, FromUtf8(EditedCopyPath(source))) : QString();
    if (chosen.isEmpty())
        return false;
    const QString target = WithBmpSuffix(chosen);
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(path).absoluteFilePath()) {
        Tell(title, tr("%1 cannot take the drawing without changing more than its cells, so "
                       "it is not overwritten: choose another name.")
                        .arg(QFileInfo(path).fileName()));
        return false;
    }
    try {
        WriteCellBmp(Utf8(target), picture->cells);
    } catch (const std::exception& e) {
        Tell(title, FromUtf8(e.what()));
        return false;
    }
    // The drawing now belongs to the new file; the source keeps no edits.
    pictures_.erase(path);
    if (const std::shared_ptr<Picture> replaced = Find(target); replaced && replaced->check_cancel)
        *replaced->check_cancel = true;
    picture->path = target;
    picture->saved = picture->cells;
    pictures_[target] = picture;
    Changed(picture);
    if (hooks_.repoint)
        hooks_.repoint(path, target);
    return true;
}

bool CellEditor::SaveAll() {
    for (const QString& path : UnsavedPaths()) {
        if (!Save(path))
            return false;
    }
    return true;
}

void CellEditor::DiscardAll() {
    for (const auto& [path, picture] : pictures_) {
        if (picture->check_cancel)
            *picture->check_cancel = true;
        picture->proposal.reset();
        picture->cells = picture->saved;
        picture->check_wanted = false;
        ++picture->generation;
    }
    stroke_.reset();
}

std::optional<QString> CellEditor::NewPicture() {
    const std::optional<QSize> size = hooks_.picture_size ? hooks_.picture_size() : std::nullopt;
    if (!size || size->isEmpty())
        return std::nullopt;
    const QString title = tr("New picture");
    const QString chosen =
        hooks_.save_name
            ? hooks_.save_name(title,
                               tr("picture-%1x%2.bmp").arg(size->width()).arg(size->height()))
            : QString();
    if (chosen.isEmpty())
        return std::nullopt;
    const QString path = WithBmpSuffix(chosen);
    const CellGrid blank{size->width(), size->height(),
                         std::vector<std::uint8_t>(static_cast<std::size_t>(size->width()) *
                                                   static_cast<std::size_t>(size->height()))};
    try {
        WriteCellBmp(Utf8(path), blank);
    } catch (const std::exception& e) {
        Tell(title, FromUtf8(e.what()));
        return std::nullopt;
    }
    if (hooks_.add_picture)
        hooks_.add_picture(path);
    return path;
}

}  // namespace grix
