// The project file (the window's controls and the picture list, in the
// settings file's format) and the window's own state between runs (size,
// splitters, column widths, recent projects), which belongs to the user,
// not to a project.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QUndoStack>

#include "app/build_panel.h"
#include "app/cell_editor.h"
#include "app/control_settings.h"
#include "app/main_window.h"
#include "app/picture_list_editor.h"
#include "app/preview.h"
#include "app/utf8_text.h"
#include "builder/project_settings.h"
#include "core/errors.h"
#include "core/scope_exit.h"

namespace grix {

void TfmMain::ReadProject(const IniFile& ini) {
    const std::string folder = SettingsFolder(document_->Path());
    loading_ = true;
    const ScopeExit done([&] { loading_ = false; });
    LoadControls(ini, components_);
    // Files from before "Fit" store -1 (no zoom chosen) or a hand-edited
    // index: both show the picture fitted.
    if (zoom_box_->currentIndex() < 0)
        zoom_box_->setCurrentIndex(kFitZoomIndex);
    splash_path_->setText(FromUtf8(ResolveProjectPath(Utf8(splash_path_->text()), folder)));
    LoadFont(ini, *preview_);
    PictureRows rows;
    for (const PictureEntry& entry : ReadPictureTable(ini, folder))
        rows.push_back({FromUtf8(entry.path), FromUtf8(entry.size_text), FromUtf8(entry.note)});
    list_->Load(rows);
}

void TfmMain::WriteProject(IniFile& ini) {
    list_->CommitPendingEdit();
    SaveControls(ini, components_);
    SaveFont(ini, *preview_);
    const CrosswordProject project = Project();
    if (project.list_empty) {
        ini.WriteInteger(kTableSection, kRowCountKey, 0);
    } else {
        WritePictureTable(ini, project.pictures);
    }
}

void TfmMain::UpdateTitle() {
    setWindowModified(document_->IsModified());
    const std::string& path = document_->Path();
    // The title is the file's name, the mark and the display name.
    setWindowFilePath(path.empty() ? QStringLiteral("Untitled") : FromUtf8(path));
    status_project_->setText(QStringLiteral("Project: ") + ProjectDisplayName(path));
    status_project_->setToolTip(
        path.empty() ? QStringLiteral("Not saved yet")
                     : QDir::toNativeSeparators(QFileInfo(FromUtf8(path)).absoluteFilePath()));
}

void TfmMain::ResetProject() {
    loading_ = true;
    name_field_->setText(QLatin1String(kDefaultCrosswordName));
    info_field_->setText(QLatin1String(kDefaultCreditLine));
    splash_path_->clear();
    splash_box_->setChecked(false);
    zoom_box_->setCurrentIndex(kFitZoomIndex);
    grid_box_->setChecked(false);
    loading_ = false;
    list_->SetWarnings({});
    editor_->DiscardAll();
    list_->Load({});
    undo_->clear();
    // The log and the last build's result belong to the project they came from.
    build_->Forget();
    statusBar()->clearMessage();
}

void TfmMain::NewProject() {
    // The new project is untitled until its first save asks where it goes.
    if (build_->Running() || !document_->MaybeSave())
        return;
    ResetProject();
    document_->SetPath({});
    document_->SetModified(false);
    FindBuiltSuite();
    RefreshPreview();
}

void TfmMain::OpenProject() {
    if (build_->Running())
        return;
    const QString path = AskOpenFileName(QStringLiteral("Open project"), ProjectDocument::FileFilter());
    if (!path.isEmpty())
        OpenProjectFile(path);
}

void TfmMain::OpenProjectFile(const QString& path) {
    if (build_->Running())
        return;
    // Read first: a file that cannot be read leaves the open project as it is.
    if (!QFileInfo::exists(path))
        throw Error("Cannot open project " + Utf8(path) + ": File not found");
    try {
        const IniFile readable(Utf8(path));
    } catch (const std::exception& e) {
        throw Error("Cannot open project " + Utf8(path) + ": " + e.what());
    }
    if (!document_->MaybeSave())
        return;
    ResetProject();
    document_->SetPath(Utf8(path));
    document_->Load();
    document_->Remember(path);
    FindBuiltSuite();
    RefreshPreview();
}

// ---- the window's own state -------------------------------------------------

void TfmMain::LoadWindowState() {
    const QSettings settings;
    if (settings.contains(QStringLiteral("window/geometry")))
        restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
    vertical_split_->restoreState(settings.value(QStringLiteral("window/splitter1")).toByteArray());
    horizontal_split_->restoreState(
        settings.value(QStringLiteral("window/splitter2")).toByteArray());
    list_->RestoreColumns(settings.value(QStringLiteral("window/columns")).toByteArray());
    UpdateRecentMenu();
}

void TfmMain::SaveWindowState() const {
    QSettings settings;
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("window/splitter1"), vertical_split_->saveState());
    settings.setValue(QStringLiteral("window/splitter2"), horizontal_split_->saveState());
    QByteArray columns;
    list_->SaveColumns(columns);
    settings.setValue(QStringLiteral("window/columns"), columns);
}

void TfmMain::UpdateRecentMenu() {
    recent_menu_->clear();
    const QStringList recent = RecentProjects();
    int number = 0;
    for (const QString& path : recent) {
        QAction* open = recent_menu_->addAction(QStringLiteral("&%1 %2").arg(++number).arg(path));
        connect(open, &QAction::triggered, this,
                [this, path] { Guarded([this, path] { OpenProjectFile(path); }); });
    }
    recent_menu_->setEnabled(!recent.isEmpty());
}

}  // namespace grix
