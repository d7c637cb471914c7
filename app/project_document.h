// The project as a document: the file it lives in, whether it differs from
// that file, saving it (asking where on the first save, and what to do when
// a save fails), the question before it goes, and the recent projects.
// What a project holds is the window's business: the document reads and
// writes it through the hooks it is given.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

#include "core/ini_file.h"

class QUndoStack;

namespace grix {

// The project file the recent list names first, if it still exists: what
// the window opens when no project is named.
QString LastProjectFile();
// How the title and questions name a project: its file's name, "Untitled".
QString ProjectDisplayName(const std::string& settings_path);
// The recent projects, newest first.
QStringList RecentProjects();

class ProjectDocument : public QObject {
    Q_OBJECT

  public:
    struct Hooks {
        // Fills the controls from a project file / writes them into one.
        std::function<void(const IniFile& ini)> read;
        std::function<void(IniFile& ini)> write;
        // The save dialog; empty when cancelled.
        std::function<QString(const QString& title, const QString& filter)> ask_save_name;
        // "Save changes to P?": Save, Discard or Cancel.
        std::function<QMessageBox::StandardButton(const QString& text)> ask_save_changes;
        // The project could not be saved: Save (elsewhere), Discard or Cancel.
        std::function<QMessageBox::StandardButton(const QString& text)> ask_after_save_failure;
        // Edits not yet in the controls (a note in its editor) go in first.
        std::function<void()> commit_pending;
        // Pictures drawn on but not saved belong to the project's changes:
        // whether there are any, and saving them (false when one was not
        // saved, and so neither is the project).
        std::function<bool()> unsaved_pictures;
        std::function<bool()> save_pictures;
    };

    // `undo` is the stack of the project's changes: back at its clean state,
    // they are as saved.
    ProjectDocument(std::string path, QUndoStack* undo, Hooks hooks, QObject* parent);

    // The project file; empty for an untitled project.
    const std::string& Path() const { return path_; }
    void SetPath(std::string path);
    bool IsModified() const;
    // A field changed (true), or everything is as saved (false).
    void SetModified(bool modified);

    // Reads the project file into the controls; not modified afterwards.
    void Load();
    // Save: untitled projects ask where first. False when not saved.
    bool Save();
    bool SaveAs();
    // Writes the project file, asking what to do when that fails; false
    // when the author chooses to stay.
    bool SaveOrAsk();
    // Before the project goes: asks whether to save a modified one; false
    // when the author cancels.
    bool MaybeSave();
    // Puts `path` first in the recent projects.
    void Remember(const QString& path);

    static const QString& FileFilter();

  signals:
    // The title's name or mark may have changed.
    void titleChanged();
    void recentChanged();
    // A passing message for the status bar ("Saved ...").
    void status(const QString& text);

  private:
    void Write();
    bool SavePictures();

    std::string path_;
    QUndoStack* undo_;
    Hooks hooks_;
    bool fields_modified_ = false;  // a stored control changed since the last save
};

}  // namespace grix
