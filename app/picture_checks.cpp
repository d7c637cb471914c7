#include "app/picture_checks.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <iterator>
#include <new>

#include "builder/player_limits.h"
#include "cells/pack_picture.h"
#include "core/errors.h"

namespace grix {

QString CheckText(const PictureCheck& check) {
    if (!check.done)
        return QStringLiteral("checking...");
    if (check.missing)
        return QStringLiteral("file not found");
    if (!check.readable)
        return QStringLiteral("cannot read: ") + check.failure;
    return QString::fromLatin1(VerdictText(check.result.verdict));
}

QString BriefCheckText(const PictureCheck& check) {
    if (!check.done)
        return QStringLiteral("checking");
    if (check.missing)
        return QStringLiteral("missing");
    if (!check.readable)
        return QStringLiteral("unreadable");
    switch (check.result.verdict) {
        case Verdict::Line:
            return QStringLiteral("unique");
        case Verdict::Search:
            return QStringLiteral("search");
        case Verdict::Several:
            return QStringLiteral("several");
        case Verdict::Blank:
            return QStringLiteral("blank");
        case Verdict::Undecided:
            break;
    }
    return QStringLiteral("undecided");
}

QString ReadFailureCause(const QString& path, const std::exception& error) {
    if (!QFileInfo::exists(path))
        return QStringLiteral("file not found");
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr)
        return QLatin1String(kOutOfMemory);
    // The reader raises this for a read past the end of the file.
    if (dynamic_cast<const EReadError*>(&error) != nullptr)
        return QStringLiteral("the file ends early");
    return QString::fromStdString(error.what());
}

std::vector<QString> PhoneRefusals(const std::vector<std::optional<QSize>>& sizes) {
    std::vector<std::optional<CellSize>> cells;
    for (const std::optional<QSize>& size : sizes)
        cells.push_back(size ? std::optional<CellSize>(CellSize{size->width(), size->height()})
                             : std::nullopt);
    const std::vector<PlayerRefusal> refusals = PlayerRefusals(cells);
    std::vector<QString> texts(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        switch (refusals[i]) {
            case PlayerRefusal::TooWide:
                texts[i] = QStringLiteral("too wide for phones: %1 > %2")
                               .arg(sizes[i]->width())
                               .arg(kPlayerMaxSide);
                break;
            case PlayerRefusal::TooTall:
                texts[i] = QStringLiteral("too tall for phones: %1 > %2")
                               .arg(sizes[i]->height())
                               .arg(kPlayerMaxSide);
                break;
            case PlayerRefusal::OverCellBytes:
                texts[i] = QStringLiteral("over the phone's %1 KB: shown as unavailable")
                               .arg(kPlayerMaxCellBytes / 1024);
                break;
            case PlayerRefusal::None:
                break;
        }
    }
    return texts;
}

QColor VerdictColour(Verdict verdict) {
    switch (verdict) {
        case Verdict::Line:
            return QColor(40, 170, 60);
        case Verdict::Search:
            return QColor(230, 190, 20);
        case Verdict::Several:
        case Verdict::Blank:
            return QColor(220, 40, 40);
        case Verdict::Undecided:
            break;
    }
    return QColor(160, 160, 160);
}

QColor CheckColour(const PictureCheck& check) {
    if (!check.done)
        return QColor(160, 160, 160);
    if (!check.readable)
        return VerdictColour(Verdict::Several);  // the phone gets nothing: red
    return VerdictColour(check.result.verdict);
}

PictureChecks::PictureChecks(QObject* context, std::function<void(const QString&)> checked)
    : context_(context), checked_(std::move(checked)) {
    // One core stays free for the window and for a build.
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

PictureChecks::~PictureChecks() {
    *cancel_ = true;
    pool_.waitForDone();
}

const PictureCheck* PictureChecks::Find(const QString& path) const {
    const auto found = entries_.constFind(path);
    return found != entries_.constEnd() && found->check.done ? &found->check : nullptr;
}

void PictureChecks::Keep(const QStringList& paths) {
    for (auto entry = entries_.begin(); entry != entries_.end();) {
        entry = paths.contains(entry.key()) ? std::next(entry) : entries_.erase(entry);
    }
}

const PictureCheck& PictureChecks::Request(const QString& path) {
    const QFileInfo file(path);
    const QDateTime modified = file.lastModified();
    const qint64 size = file.exists() ? file.size() : -1;
    auto found = entries_.find(path);
    if (found != entries_.end() && found->modified == modified && found->size == size)
        return found->check;

    Entry& entry = entries_[path];
    entry = Entry{modified, size, PictureCheck{}};
    QObject* context = context_;
    const std::shared_ptr<std::atomic<bool>> cancel = cancel_;
    pool_.start([this, context, cancel, path, modified, size] {
        PictureCheck check;
        check.done = true;
        try {
            check.result =
                CheckCells(CellsOfPicture(path.toStdString()), kDefaultCheckBudget, cancel.get());
        } catch (const std::exception& e) {
            check.readable = false;
            check.missing = !QFileInfo::exists(path);
            check.failure = ReadFailureCause(path, e);
        }
        if (*cancel)
            return;
        // The pool is waited for before this object goes, and the window
        // (the context) owns it: both are alive when the answer arrives.
        QMetaObject::invokeMethod(
            context,
            [this, path, modified, size, check] {
                auto entry = entries_.find(path);
                if (entry == entries_.end() || entry->modified != modified || entry->size != size)
                    return;  // the file changed meanwhile; a newer check runs
                entry->check = check;
                checked_(path);
            },
            Qt::QueuedConnection);
    });
    return entry.check;
}

}  // namespace grix
