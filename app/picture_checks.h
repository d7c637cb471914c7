// The solvability check of every listed picture, run in the background so
// that the list never waits for it: each file is checked once (again when
// it changes on disk) and the answer comes back on the window's thread.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "puzzle/solvability.h"

namespace grix {

struct PictureCheck {
    bool done = false;     // false while the check runs
    bool readable = true;  // false when the picture could not be read
    bool missing = false;  // not readable because there is no such file
    CheckResult result;    // when done and readable
    QString failure;       // when not readable: the cause, as an author reads it
};

// The check column's text and mark colour for a check.
QString CheckText(const PictureCheck& check);

// One word for the check, beside its mark: "unique", "search", "several",
// "blank", "undecided", "checking", "missing", "unreadable".
QString BriefCheckText(const PictureCheck& check);

// Why the picture at `path` cannot be read, for the author: "file not
// found" when it is gone, "the file ends early" for a short read, else the
// reader's message.
QString ReadFailureCause(const QString& path, const std::exception& error);

// What the phone will refuse of each picture, in list order: a side over
// the player's limit, or the picture whose cells pass the player's 64 KB
// together with the playable ones before it. Empty where the phone plays
// the picture or its size is not known (no value).
std::vector<QString> PhoneRefusals(const std::vector<std::optional<QSize>>& sizes);
// The mark of a verdict: green line logic, yellow search, red several or
// blank, grey undecided.
QColor VerdictColour(Verdict verdict);
QColor CheckColour(const PictureCheck& check);

class PictureChecks {
  public:
    // `checked(path)` runs on `context`'s thread when a check has ended.
    PictureChecks(QObject* context, std::function<void(const QString& path)> checked);
    // Cancels the running checks and waits for them.
    ~PictureChecks();
    PictureChecks(const PictureChecks&) = delete;
    PictureChecks& operator=(const PictureChecks&) = delete;

    // The check of `path` as far as it has come; starts it when the file
    // was never checked or has changed since.
    const PictureCheck& Request(const QString& path);
    // The finished check of `path`, if any (never starts one).
    const PictureCheck* Find(const QString& path) const;
    // Forgets every check of files no longer listed.
    void Keep(const QStringList& paths);
    // Waits for every running check (tests).
    void WaitForAll() { pool_.waitForDone(); }

  private:
    struct Entry {
        QDateTime modified;
        qint64 size = -1;
        PictureCheck check;
    };
    QObject* context_;
    std::function<void(const QString&)> checked_;
    QHash<QString, Entry> entries_;
    std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
    QThreadPool pool_;
};

}  // namespace grix
