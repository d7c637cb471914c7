#include "app/project_document.h"

#include <QFileInfo>
#include <QSettings>
#include <QUndoStack>

#include "app/utf8_text.h"

namespace grix {
namespace {

constexpr int kRecentProjects = 8;

// A project named without an extension is saved as an INI file.
QString WithProjectSuffix(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QStringLiteral(".ini");
}

}  // namespace

QStringList RecentProjects() {
    return QSettings().value(QStringLiteral("recentProjects")).toStringList();
}

QString LastProjectFile() {
    for (const QString& path : RecentProjects()) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString ProjectDisplayName(const std::string& settings_path) {
    return settings_path.empty() ? QStringLiteral("Untitled")
                                 : QFileInfo(FromUtf8(settings_path)).fileName();
}

const QString& ProjectDocument::FileFilter() {
    static const QString kFilter = QStringLiteral("Grix projects (*.ini);;All files (*)");
    return kFilter;
}

ProjectDocument::ProjectDocument(std::string path, QUndoStack* undo, Hooks hooks, QObject* parent)
    : QObject(parent), path_(std::move(path)), undo_(undo), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("ProjectDocument"));
    connect(undo_, &QUndoStack::cleanChanged, this, &ProjectDocument::titleChanged);
}

void ProjectDocument::SetPath(std::string path) {
    path_ = std::move(path);
    emit titleChanged();
}

bool ProjectDocument::IsModified() const {
    // The list is as saved when the undo stack is back at its clean state;
    // the fields keep their own mark until the next save.
    return fields_modified_ || !undo_->isClean() ||
           (hooks_.unsaved_pictures && hooks_.unsaved_pictures());
}

void ProjectDocument::SetModified(bool modified) {
    fields_modified_ = modified;
    if (!modified)
        undo_->setClean();
    emit titleChanged();
}

void ProjectDocument::Load() {
    const IniFile ini(path_);
    hooks_.read(ini);
    undo_->clear();
    SetModified(false);
}

void ProjectDocument::Write() {
    IniFile ini(path_);
    hooks_.write(ini);
    ini.Save();
    SetModified(false);
}

bool ProjectDocument::SavePictures() {
    return !hooks_.save_pictures || hooks_.save_pictures();
}

bool ProjectDocument::SaveOrAsk() {
    // The pictures first: a drawing saved under a new name changes the list.
    if (!SavePictures())
        return false;
    for (;;) {
        try {
            Write();
            return true;
        } catch (const std::exception& e) {
            const QString text =
                QStringLiteral("The project could not be saved to ") + FromUtf8(path_) +
                QStringLiteral(":\n") + FromUtf8(e.what()) +
                QStringLiteral("\n\nSave it elsewhere, discard the changes, or stay?");
            switch (hooks_.ask_after_save_failure(text)) {
                case QMessageBox::Save: {
                    const QString path = WithProjectSuffix(
                        hooks_.ask_save_name(QStringLiteral("Save project as"), FileFilter()));
                    if (!path.isEmpty()) {
                        path_ = Utf8(path);
                        Remember(path);
                    }
                    break;  // and try again
                }
                case QMessageBox::Discard:
                    return true;
                default:
                    return false;
            }
        }
    }
}

bool ProjectDocument::Save() {
    if (path_.empty())
        return SaveAs();
    if (!SaveOrAsk())
        return false;
    emit status(QStringLiteral("Saved ") + FromUtf8(path_));
    return true;
}

bool ProjectDocument::SaveAs() {
    const QString path =
        WithProjectSuffix(hooks_.ask_save_name(QStringLiteral("Save project as"), FileFilter()));
    if (path.isEmpty() || !SavePictures())
        return false;
    // The chosen file holds this project only, whatever it held before.
    IniFile ini = IniFile::FromText(Utf8(path), "");
    hooks_.write(ini);
    ini.Save();
    path_ = Utf8(path);
    SetModified(false);
    Remember(path);
    emit status(QStringLiteral("Saved ") + path);
    return true;
}

bool ProjectDocument::MaybeSave() {
    hooks_.commit_pending();
    if (!IsModified())
        return true;
    switch (hooks_.ask_save_changes(QStringLiteral("Save changes to ") +
                                    ProjectDisplayName(path_) + QLatin1Char('?'))) {
        case QMessageBox::Save:
            return Save();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

void ProjectDocument::Remember(const QString& path) {
    emit titleChanged();
    if (path.isEmpty())
        return;
    QSettings settings;
    QStringList recent = RecentProjects();
    const QString full = QFileInfo(path).absoluteFilePath();
    recent.removeAll(full);
    recent.prepend(full);
    while (recent.size() > kRecentProjects)
        recent.removeLast();
    settings.setValue(QStringLiteral("recentProjects"), recent);
    emit recentChanged();
}

}  // namespace grix
