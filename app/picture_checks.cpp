#include "app/picture_checks.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QThread>

#include <algorithm>

#include <exception>
#include <new>

#include "cells/pack_picture.h"
#include "core/errors.h"

namespace grix {

QString CheckText(const PictureCheck& check) {
    if (!check.done)
        return QStringLiteral("checking...");
    if (!check.readable)
        return QStringLiteral("cannot read");
    return QString::fromLatin1(VerdictText(check.result.verdict));
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
    if (!check.done || !check.readable)
        return QColor(160, 160, 160);
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
        } catch (const std::bad_alloc&) {
            check.readable = false;
            check.failure = QLatin1String(kOutOfMemory);
        } catch (const std::exception& e) {
            check.readable = false;
            check.failure = QString::fromStdString(e.what());
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
