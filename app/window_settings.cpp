// The project file (the window's controls and the picture list, in the
// settings file's format) and the window's own state between runs (size,
// splitters, column widths, recent projects), which belongs to the user,
// not to a project.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QUndoStack>

#include "app/control_settings.h"
#include "app/main_window.h"
#include "app/preview.h"
#include "app/utf8_text.h"
#include "builder/build_driver.h"
#include "builder/project_settings.h"
#include "core/errors.h"
#include "core/scope_exit.h"

namespace grix {
namespace {

constexpr int kRecentProjects = 8;
const QString kProjectFilter = QStringLiteral("Grix projects (*.ini);;All files (*)");

// A project named without an extension is saved as an INI file.
QString WithProjectSuffix(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QStringLiteral(".ini");
}

}  // namespace

void TfmMain::LoadSettings() {
    const IniFile ini(settings_path_);
    const std::string folder = SettingsFolder(settings_path_);
    const bool was = updating_list_;
    updating_list_ = true;
    loading_ = true;
    const ScopeExit done([&] {
        updating_list_ = was;
        loading_ = false;
    });
    LoadControls(ini, components_);
    // Files from before "Fit" store -1 (no zoom chosen) or a hand-edited
    // index: both show the picture fitted.
    if (ComboBox1->currentIndex() < 0)
        ComboBox1->setCurrentIndex(kFitZoomIndex);
    Edit1->setText(FromUtf8(ResolveProjectPath(Utf8(Edit1->text()), folder)));
    LoadFont(ini, *Image1);
    PictureRows rows;
    for (const PictureEntry& entry : ReadPictureTable(ini, folder))
        rows.push_back({FromUtf8(entry.path), FromUtf8(entry.size_text), FromUtf8(entry.note)});
    ShowList(rows, {1, kFileColumn});
    undo_->clear();
    UpdateCount();
    SetProjectModified(false);
}

void TfmMain::WriteProject(IniFile& ini) {
    CommitPendingEdit();
    SaveControls(ini, components_);
    SaveFont(ini, *Image1);
    const CrosswordProject project = Project();
    if (project.list_empty) {
        ini.WriteInteger(kTableSection, kRowCountKey, 0);
    } else {
        WritePictureTable(ini, project.pictures);
    }
}

void TfmMain::SaveSettings() {
    IniFile ini(settings_path_);
    WriteProject(ini);
    ini.Save();
    SetProjectModified(false);
}

void TfmMain::SetProjectModified(bool modified) {
    fields_modified_ = modified;
    if (!modified)
        undo_->setClean();
    UpdateTitle();
}

void TfmMain::UpdateTitle() {
    // The list is as saved when the undo stack is back at its clean state;
    // the fields keep their own mark until the next save.
    setWindowModified(fields_modified_ || (undo_ != nullptr && !undo_->isClean()));
    const QString path = FromUtf8(settings_path_);
    // The title is the file's name, the mark and the display name.
    setWindowFilePath(path.isEmpty() ? QStringLiteral("Untitled") : path);
}

QString ProjectDisplayName(const std::string& settings_path) {
    return settings_path.empty() ? QStringLiteral("Untitled")
                                 : QFileInfo(FromUtf8(settings_path)).fileName();
}

bool TfmMain::MaybeSave() {
    CommitPendingEdit();
    if (!IsProjectModified())
        return true;
    switch (AskSaveChanges(QStringLiteral("Save changes to ") + ProjectDisplayName(settings_path_) +
                           QLatin1Char('?'))) {
        case QMessageBox::Save:
            return SaveProject();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

void TfmMain::ForgetBuild() {
    Memo2->clear();
    StatusBuild->clear();
    StatusBuild->setToolTip(QString());
    statusBar()->clearMessage();
    warnings_.clear();
    build_warnings_ = 0;
    show_target_.clear();
    Button2->setEnabled(false);
    actionShowMidlets->setEnabled(false);
}

void TfmMain::FindBuiltSuite() {
    if (app_folder_.empty() || build_.Running())
        return;
    const std::string folder = FoldersFor(app_folder_).suite;
    const bool built = QFileInfo::exists(FromUtf8(folder + "/" + Utf8(Edit2->text()) + ".jar"));
    if (built)
        show_target_ = folder;
    if (built || show_target_.empty()) {
        Button2->setEnabled(built);
        actionShowMidlets->setEnabled(built);
    }
}

bool TfmMain::SaveOrAsk() {
    for (;;) {
        try {
            SaveSettings();
            return true;
        } catch (const std::exception& e) {
            const QString text =
                QStringLiteral("The project could not be saved to ") + FromUtf8(settings_path_) +
                QStringLiteral(":\n") + FromUtf8(e.what()) +
                QStringLiteral("\n\nSave it elsewhere, discard the changes, or stay?");
            switch (AskAfterSaveFailure(text)) {
                case QMessageBox::Save: {
                    const QString path = WithProjectSuffix(
                        AskSaveFileName(QStringLiteral("Save project as"), kProjectFilter));
                    if (!path.isEmpty()) {
                        settings_path_ = Utf8(path);
                        RememberRecent(path);
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

void TfmMain::ResetProject() {
    const bool was = updating_list_;
    updating_list_ = true;
    loading_ = true;
    Edit2->setText(QLatin1String(kDefaultCrosswordName));
    Edit6->setText(QLatin1String(kDefaultCreditLine));
    Edit1->clear();
    CheckBox3->setChecked(false);
    ComboBox1->setCurrentIndex(kFitZoomIndex);
    CheckBox1->setChecked(false);
    loading_ = false;
    updating_list_ = was;
    ShowList({}, {1, kFileColumn});
    undo_->clear();
    ForgetBuild();
}

bool TfmMain::SaveProject() {
    if (settings_path_.empty())
        return SaveProjectAs();
    if (!SaveOrAsk())
        return false;
    ShowStatus(QStringLiteral("Saved ") + FromUtf8(settings_path_));
    return true;
}

bool TfmMain::SaveProjectAs() {
    const QString path =
        WithProjectSuffix(AskSaveFileName(QStringLiteral("Save project as"), kProjectFilter));
    if (path.isEmpty())
        return false;
    // The chosen file holds this project only, whatever it held before.
    IniFile ini = IniFile::FromText(Utf8(path), "");
    WriteProject(ini);
    ini.Save();
    settings_path_ = Utf8(path);
    SetProjectModified(false);
    RememberRecent(path);
    ShowStatus(QStringLiteral("Saved ") + path);
    return true;
}

void TfmMain::NewProject() {
    // The new project is untitled until its first save asks where it goes.
    if (build_.Running() || !MaybeSave())
        return;
    ResetProject();
    settings_path_.clear();
    SetProjectModified(false);
    ShowProjectFile();
    FindBuiltSuite();
    RefreshPreview();
}

void TfmMain::OpenProject() {
    if (build_.Running())
        return;
    const QString path = AskOpenFileName(QStringLiteral("Open project"), kProjectFilter);
    if (!path.isEmpty())
        OpenProjectFile(path);
}

void TfmMain::OpenProjectFile(const QString& path) {
    if (build_.Running())
        return;
    // Read first: a file that cannot be read leaves the open project as it is.
    if (!QFileInfo::exists(path))
        throw Error("Cannot open project " + Utf8(path) + ": File not found");
    try {
        const IniFile readable(Utf8(path));
    } catch (const std::exception& e) {
        throw Error("Cannot open project " + Utf8(path) + ": " + e.what());
    }
    if (!MaybeSave())
        return;
    ResetProject();
    settings_path_ = Utf8(path);
    LoadSettings();
    RememberRecent(path);
    FindBuiltSuite();
    RefreshPreview();
}

QString LastProjectFile() {
    const QStringList recent = QSettings().value(QStringLiteral("recentProjects")).toStringList();
    for (const QString& path : recent) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

// ---- the window's own state -------------------------------------------------

void TfmMain::LoadWindowState() {
    const QSettings settings;
    if (settings.contains(QStringLiteral("window/geometry")))
        restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
    Splitter1->restoreState(settings.value(QStringLiteral("window/splitter1")).toByteArray());
    Splitter2->restoreState(settings.value(QStringLiteral("window/splitter2")).toByteArray());
    sgImages->horizontalHeader()->restoreState(
        settings.value(QStringLiteral("window/columns")).toByteArray());
    UpdateRecentMenu();
}

void TfmMain::SaveWindowState() const {
    QSettings settings;
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("window/splitter1"), Splitter1->saveState());
    settings.setValue(QStringLiteral("window/splitter2"), Splitter2->saveState());
    settings.setValue(QStringLiteral("window/columns"), sgImages->horizontalHeader()->saveState());
}

void TfmMain::ShowProjectFile() {
    StatusProject->setText(QStringLiteral("Project: ") + ProjectDisplayName(settings_path_));
    StatusProject->setToolTip(
        settings_path_.empty()
            ? QStringLiteral("Not saved yet")
            : QDir::toNativeSeparators(QFileInfo(FromUtf8(settings_path_)).absoluteFilePath()));
    UpdateTitle();
}

void TfmMain::RememberRecent(const QString& path) {
    ShowProjectFile();
    if (path.isEmpty())
        return;
    QSettings settings;
    QStringList recent = settings.value(QStringLiteral("recentProjects")).toStringList();
    const QString full = QFileInfo(path).absoluteFilePath();
    recent.removeAll(full);
    recent.prepend(full);
    while (recent.size() > kRecentProjects)
        recent.removeLast();
    settings.setValue(QStringLiteral("recentProjects"), recent);
    UpdateRecentMenu();
}

void TfmMain::UpdateRecentMenu() {
    menuRecent->clear();
    const QStringList recent = QSettings().value(QStringLiteral("recentProjects")).toStringList();
    int number = 0;
    for (const QString& path : recent) {
        QAction* open = menuRecent->addAction(QStringLiteral("&%1 %2").arg(++number).arg(path));
        connect(open, &QAction::triggered, this,
                [this, path] { Guarded([this, path] { OpenProjectFile(path); }); });
    }
    menuRecent->setEnabled(!recent.isEmpty());
}

}  // namespace grix
