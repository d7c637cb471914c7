// The check column: what the phone will refuse, what is missing or cannot
// be read, and what the check of the clues found, row by row, following the
// files as they change on disk.
#include <QApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QIcon>
#include <QPixmap>
#include <QSet>
#include <QStyle>
#include <QTableWidget>

#include "app/picture_list_editor.h"

namespace grix {

void PictureListEditor::SetWarnings(QHash<QString, QStringList> warnings) {
    warnings_ = std::move(warnings);
    UpdateChecks();
}

void PictureListEditor::UpdateChecks(bool look_again) {
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
        const PictureCheck* drawn = hooks_.drawn_check ? hooks_.drawn_check(entry.path) : nullptr;
        const PictureCheck* found = drawn != nullptr ? drawn : checks_.Find(entry.path);
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
                grid_->item(row - 1, kSizeColumn)->setText(size);
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

void PictureListEditor::WatchListedFiles() {
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

void PictureListEditor::ShowCheck(int row, const PictureCheck& check, const QString& refusal) {
    QTableWidgetItem* item = grid_->item(row - 1, kCheckColumn);
    QTableWidgetItem* number = grid_->item(row - 1, kNumberColumn);
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

}  // namespace grix
