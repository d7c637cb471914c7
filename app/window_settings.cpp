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
#include <QPlainTextEdit>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QUndoStack>

#include "app/control_settings.h"
#include "app/main_window.h"
#include "app/preview.h"
#include "app/utf8_text.h"
#include "builder/project_settings.h"
#include "core/errors.h"
#include "core/scope_exit.h"

namespace grix {
namespace {

constexpr int kRecentProjects = 8;
const QString kProjectFilter = QStringLiteral("Grix projects (*.ini);;All files (*)");

}  // namespace

void TfmMain::LoadSettings() {
    const IniFile ini(settings_path_);
    const std::string folder = SettingsFolder(settings_path_);
    const bool was = updating_list_;
    updating_list_ = true;
    const ScopeExit done([&] { updating_list_ = was; });
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
    // The caller draws the picture and reports a file that cannot be read.
    ShowList(rows, {1, kFileColumn}, false);
    undo_->clear();
    UpdateCount();
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
    undo_->setClean();
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
                    const QString path =
                        AskSaveFileName(QStringLiteral("Save project as"), kProjectFilter);
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
    Edit2->setText(QLatin1String(kDefaultCrosswordName));
    Edit6->setText(QLatin1String(kDefaultCreditLine));
    Edit1->clear();
    CheckBox3->setChecked(false);
    ComboBox1->setCurrentIndex(kFitZoomIndex);
    CheckBox1->setChecked(false);
    updating_list_ = was;
    ShowList({}, {1, kFileColumn}, false);
    undo_->clear();
}

bool TfmMain::SaveProject() {
    if (!SaveOrAsk())
        return false;
    statusBar()->showMessage(QStringLiteral("Saved ") + FromUtf8(settings_path_), 5000);
    return true;
}

bool TfmMain::SaveProjectAs() {
    const QString path = AskSaveFileName(QStringLiteral("Save project as"), kProjectFilter);
    if (path.isEmpty())
        return false;
    // The chosen file holds this project only, whatever it held before.
    IniFile ini = IniFile::FromText(Utf8(path), "");
    WriteProject(ini);
    ini.Save();
    settings_path_ = Utf8(path);
    undo_->setClean();
    RememberRecent(path);
    statusBar()->showMessage(QStringLiteral("Saved ") + path, 5000);
    return true;
}

void TfmMain::NewProject() {
    if (build_.Running() || !SaveOrAsk())
        return;
    const QString path = AskSaveFileName(QStringLiteral("New project"), kProjectFilter);
    if (path.isEmpty())
        return;
    ResetProject();
    settings_path_ = Utf8(path);
    IniFile ini = IniFile::FromText(settings_path_, "");
    WriteProject(ini);
    ini.Save();
    RememberRecent(path);
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
    if (!SaveOrAsk())
        return;
    ResetProject();
    settings_path_ = Utf8(path);
    LoadSettings();
    RememberRecent(path);
    RefreshPreview();
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
    const QFileInfo file(FromUtf8(settings_path_));
    StatusProject->setText(QStringLiteral("Project: ") + file.fileName());
    StatusProject->setToolTip(QDir::toNativeSeparators(file.absoluteFilePath()));
}

void TfmMain::RememberRecent(const QString& path) {
    ShowProjectFile();
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
