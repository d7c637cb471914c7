#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <filesystem>
#include <new>

#include "app/build_panel.h"
#include "app/cell_editor.h"
#include "app/error_display.h"
#include "app/field_checks.h"
#include "app/picture_list_editor.h"
#include "app/preview.h"
#include "app/program_version.h"
#include "app/utf8_text.h"
#include "builder/project_settings.h"
#include "core/errors.h"
#include "core/paths.h"
#include "tools/byte_array_export.h"

namespace grix {
namespace {

constexpr int kInitialWidth = 793;
constexpr int kInitialHeight = 553;
constexpr int kStatusMessageMs = 10000;

}  // namespace

TfmMain::TfmMain(std::string settings_path, BuildRunner run_build, std::string app_folder,
                 QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("fmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/grix.png")));
    undo_ = new QUndoStack(this);
    const QString suites =
        app_folder.empty() ? QString() : FromUtf8(app_folder + "midlets");
    build_ = new BuildPanel(this, std::move(run_build), std::move(app_folder));
    EditorHooks drawing;
    drawing.changed = [this](const QString& path) { OnPictureDrawn(path); };
    drawing.save_name = [this](const QString& title, const QString& proposed) {
        return AskSaveFileName(title, QStringLiteral("BMP pictures (*.bmp)"), proposed);
    };
    drawing.picture_size = [this] { return AskPictureSize(); };
    drawing.apply_fix = [this](const QString& text) { return AskApplyFix(text); };
    drawing.tell = [this](const QString& title, const QString& text) {
        ShowMessageBox(QMessageBox::Information, title, text);
    };
    drawing.repoint = [this](const QString& from, const QString& to) {
        list_->RepointPicture(from, to);
    };
    drawing.add_picture = [this](const QString& path) { list_->AddPictureFiles({path}); };
    editor_ = new CellEditor(undo_, std::move(drawing), this);
    document_ = new ProjectDocument(
        std::move(settings_path), undo_,
        {[this](const IniFile& ini) { ReadProject(ini); },
         [this](IniFile& ini) { WriteProject(ini); },
         [this](const QString& title, const QString& filter) {
             return AskSaveFileName(title, filter, {});
         },
         [this](const QString& text) { return AskSaveChanges(text); },
         [this](const QString& text) { return AskAfterSaveFailure(text); },
         [this] { list_->CommitPendingEdit(); },
         [this] { return editor_->HasUnsavedEdits(); },
         [this] { return editor_->SaveAll(); }},
        this);
    BuildLayout();
    BuildMenus();
    ConnectHandlers();
    setMinimumWidth(720);
    resize(kInitialWidth, kInitialHeight);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kInitialWidth / 2, kInitialHeight / 2));
    }
    if (!suites.isEmpty()) {
        status_suites_->setText(QStringLiteral("Suites: ") + QDir::toNativeSeparators(suites));
        status_suites_->setToolTip(status_suites_->text());
    }
    OnBuilding(false);
    UpdateTitle();
}

TfmMain::~TfmMain() {
    // The children go after this object: nothing they signal may reach it.
    disconnect(undo_, nullptr, this, nullptr);
    disconnect(list_, nullptr, this, nullptr);
    disconnect(build_, nullptr, this, nullptr);
    disconnect(document_, nullptr, this, nullptr);
    preview_->SetCellHandler({});
    for (QWidget* control : components_)
        disconnect(control, nullptr, this, nullptr);
}

void TfmMain::ConnectHandlers() {
    const auto guarded = [this](void (TfmMain::*slot)()) {
        return [this, slot] { Guarded([this, slot] { (this->*slot)(); }); };
    };
    connect(splash_choose_, &QPushButton::clicked, this, guarded(&TfmMain::ChooseSplashPicture));
    connect(build_, &BuildPanel::startRequested, this, guarded(&TfmMain::StartBuild));
    connect(build_, &BuildPanel::showRequested, this, guarded(&TfmMain::ShowSuiteFolder));
    connect(build_, &BuildPanel::aboutRequested, this, guarded(&TfmMain::ShowAbout));
    connect(build_, &BuildPanel::buildingChanged, this, &TfmMain::OnBuilding);
    connect(build_, &BuildPanel::finished, this, &TfmMain::OnBuildFinished);
    connect(list_, &PictureListEditor::previewNeeded, this, guarded(&TfmMain::RefreshPreview));
    connect(list_, &PictureListEditor::selectionChanged, this, &TfmMain::UpdateFixControls);
    connect(fix_button_, &QToolButton::clicked, this, guarded(&TfmMain::FixSelectedPicture));
    preview_->SetCellHandler([this](StrokeStep step, QPoint cell) {
        // No drawing starts while a build reads the pictures; one under way
        // always ends, so that what it drew is an undo step.
        if (step == StrokeStep::Press && (IsBuilding() || list_->SelectedRow() == 0))
            return;
        const QString path = list_->SelectedPath();
        Guarded([&] { editor_->Stroke(step, path, cell); });
    });
    connect(list_, &PictureListEditor::pictureChecked, this, [this](const QString& path) {
        if (ambiguity_box_->isChecked() && list_->SelectedPath() == path)
            Guarded([this] { RefreshPreview(); });
    });
    connect(document_, &ProjectDocument::titleChanged, this, &TfmMain::UpdateTitle);
    connect(document_, &ProjectDocument::recentChanged, this, &TfmMain::UpdateRecentMenu);
    connect(document_, &ProjectDocument::status, this, &TfmMain::ShowStatus);
    connect(undo_, &QUndoStack::canUndoChanged, this, [this] { OnBuilding(IsBuilding()); });
    connect(undo_, &QUndoStack::canRedoChanged, this, [this] { OnBuilding(IsBuilding()); });

    connect(zoom_box_, &QComboBox::currentIndexChanged, this, [this] {
        if (!loading_)
            Guarded([this] { RefreshPreview(); });
    });
    for (QCheckBox* option : {grid_box_, ambiguity_box_}) {
        connect(option, &QCheckBox::toggled, this, [this] {
            if (!loading_)
                Guarded([this] { RefreshPreview(); });
        });
    }
    // Any change of a stored control changes the project; the name and the
    // splash fields are checked as they change.
    for (QWidget* control : components_) {
        const auto changed = [this] {
            if (!loading_)
                document_->SetModified(true);
        };
        if (auto* line = qobject_cast<QLineEdit*>(control)) {
            connect(line, &QLineEdit::textChanged, this, changed);
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            connect(box, &QCheckBox::toggled, this, changed);
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            connect(list, &QComboBox::currentIndexChanged, this, changed);
        }
    }
    connect(name_field_, &QLineEdit::textChanged, this, [this] {
        CheckFields();
        FindBuiltSuite();
    });
    connect(splash_path_, &QLineEdit::textChanged, this, [this] { CheckFields(); });
    connect(splash_box_, &QCheckBox::toggled, this, [this] { CheckFields(); });
    CheckFields();
    preview_panel_->viewport()->installEventFilter(this);
}

void TfmMain::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::bad_alloc&) {
        ShowError(QLatin1String(kOutOfMemory));
    } catch (const std::exception& e) {
        ShowError(FromUtf8(e.what()));
    }
}

void TfmMain::ShowError(const QString& message) {
    ShowMessageBox(QMessageBox::Critical, ProgramTitle(), ErrorDisplayText(message));
}

void TfmMain::ShowStatus(const QString& text) {
    statusBar()->showMessage(text, kStatusMessageMs);
}

// ---- what the tests and the program ask of the window -----------------------

CrosswordProject TfmMain::Project() const {
    CrosswordProject project;
    project.name = Utf8(name_field_->text());
    project.info = Utf8(info_field_->text());
    project.splash = splash_box_->isChecked();
    project.splash_path = Utf8(splash_path_->text());
    const PictureRows& rows = list_->Rows();
    project.list_empty = rows.empty();
    int number = 0;
    for (const PictureRow& row : rows)
        project.pictures.push_back({++number, Utf8(row.path), Utf8(row.size), Utf8(row.note)});
    return project;
}

const std::string& TfmMain::SettingsPath() const {
    return document_->Path();
}

const std::string& TfmMain::ShowTarget() const {
    return build_->ShowTarget();
}

int TfmMain::SelectedRow() const {
    return list_->SelectedRow();
}

bool TfmMain::IsListEmpty() const {
    return list_->IsEmpty();
}

bool TfmMain::IsBuilding() const {
    return build_->Running();
}

PictureChecks& TfmMain::Checks() {
    return list_->Checks();
}

bool TfmMain::IsProjectModified() const {
    return document_->IsModified();
}

int TfmMain::LastBuildWarnings() const {
    return build_->Warnings();
}

void TfmMain::RemoveSelectedPicture() {
    list_->RemoveSelectedPicture();
}

// ---- events -------------------------------------------------------------

bool TfmMain::event(QEvent* event) {
    // Platforms without a window manager (a bare X server, the offscreen
    // platform) may never activate the window, so showing it counts too.
    if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) &&
        first_activation_.isNull()) {
        const bool handled = QMainWindow::event(event);
        FirstActivation();
        return handled;
    }
    return QMainWindow::event(event);
}

void TfmMain::closeEvent(QCloseEvent* event) {
    if (build_->Running()) {
        // Stop the build at its next step and close once it has cleaned up.
        close_after_build_ = true;
        build_->Cancel();
        event->ignore();
        return;
    }
    // A window that never loaded its settings must not overwrite them.
    if (!first_activation_.isNull()) {
        if (!document_->MaybeSave()) {
            event->ignore();
            return;
        }
        // A project file that does not exist yet is written as the window
        // shows it, so that the next start finds it.
        if (!document_->Path().empty() && !IsProjectModified() &&
            !QFileInfo::exists(FromUtf8(document_->Path())) && !document_->SaveOrAsk()) {
            event->ignore();
            return;
        }
    }
    SaveWindowState();
    event->accept();
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == preview_panel_->viewport() && event->type() == QEvent::Resize)
        Guarded([this] { RefreshPreview(); });
    return QMainWindow::eventFilter(watched, event);
}

void TfmMain::FirstActivation() {
    first_activation_ = QDateTime::currentDateTime();
    loading_ = true;
    name_field_->setText(QLatin1String(kDefaultCrosswordName));
    info_field_->setText(QLatin1String(kDefaultCreditLine));
    loading_ = false;
    LoadWindowState();
    try {
        document_->Load();
    } catch (const std::exception&) {
        // A settings file that cannot be read leaves the rest at its defaults.
    }
    document_->Remember(FromUtf8(document_->Path()));
    document_->SetModified(false);
    FindBuiltSuite();
    name_field_->setFocus();
    RefreshPreview();
}

// ---- the build ----------------------------------------------------------------

void TfmMain::StartBuild() {
    if (build_->Running())
        return;
    list_->CommitPendingEdit();
    // The build reads the picture files: a drawing not yet in its file
    // would be left out of the suite without a word.
    if (!editor_->SaveAll()) {
        ShowStatus(QStringLiteral("Not built: the drawings are not saved"));
        return;
    }
    list_->SetWarnings({});
    build_->Start(Project());
}

void TfmMain::OnBuilding(bool building) {
    if (building)
        statusBar()->clearMessage();
    list_->SetBuilding(building);
    for (QAction* action :
         {new_action_, open_action_, save_action_, save_as_action_, new_picture_action_})
        action->setEnabled(!building);
    UpdateFixControls();
    undo_->setActive(!building);
    undo_action_->setEnabled(!building && undo_->canUndo());
    redo_action_->setEnabled(!building && undo_->canRedo());
}

void TfmMain::OnBuildFinished() {
    list_->SetWarnings(build_->WarningsByPicture());
    if (close_after_build_)
        QTimer::singleShot(0, this, &QWidget::close);
}

void TfmMain::ShowSuiteFolder() {
    const std::string& target = build_->ShowTarget();
    if (target.empty())
        return;
    if (!OpenFolder(FromUtf8(target)))
        throw Error("Can not open folder " + target);
}

void TfmMain::FindBuiltSuite() {
    build_->FindBuiltSuite(name_field_->text());
}

// ---- the fields the build would refuse ------------------------------------

namespace {

// Marks `field` red with `problem` in its tooltip and behind a warning
// sign at its end; an empty problem takes the mark away.
void MarkField(QLineEdit& field, const QString& problem, const QString& tip) {
    QAction* sign = field.findChild<QAction*>(QStringLiteral("problemSign"));
    if (sign == nullptr) {
        sign = field.addAction(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning),
                               QLineEdit::TrailingPosition);
        sign->setObjectName(QStringLiteral("problemSign"));
    }
    sign->setVisible(!problem.isEmpty());
    sign->setToolTip(problem);
    field.setProperty("problem", problem);
    field.setToolTip(problem.isEmpty() ? tip : problem);
    field.setStyleSheet(problem.isEmpty()
                            ? QString()
                            : QStringLiteral("QLineEdit { background: #fde4e4; color: #000000; "
                                             "border: 1px solid #c62828; }"));
}

}  // namespace

void TfmMain::CheckFields() {
    const QString name = CrosswordNameProblem(name_field_->text());
    const QString splash = SplashProblem(splash_box_->isChecked(), splash_path_->text());
    const bool changed = name != name_field_->property("problem").toString() ||
                         splash != splash_path_->property("problem").toString();
    MarkField(*name_field_, name, QString());
    MarkField(*splash_path_, splash, QStringLiteral("The splash picture, a PNG file"));
    // The reason is said once where the author looks, as it appears.
    if (changed && first_activation_.isValid()) {
        const QString shown = !name.isEmpty() ? name : splash;
        if (!shown.isEmpty())
            ShowStatus(shown);
    }
}

// ---- buttons -------------------------------------------------------------

void TfmMain::ChooseSplashPicture() {
    const QString path =
        AskOpenFileName(QStringLiteral("Select image"), QStringLiteral("*.png (*.png)"));
    if (path.isEmpty())
        return;
    splash_path_->setText(path);
    // Choosing a splash picture means wanting it in the suite.
    splash_box_->setChecked(true);
}

void TfmMain::ExportFileAsByteArray() {
    const QString path = AskOpenFileName(QStringLiteral("Export file as byte array"), QString());
    if (path.isEmpty())
        return;
    // The export's own messages name the file they are about.
    const std::string output = ExportByteArray(Utf8(path));
    std::error_code ec;
    const auto size = std::filesystem::file_size(NativePath(output), ec);
    build_->AddLogLine("Create file " + output + ", size " + std::to_string(ec ? 0 : size) +
                       " bytes");
}

void TfmMain::ShowAbout() {
    ShowMessageBox(QMessageBox::Information, QStringLiteral("About"),
                   QStringLiteral("Grix ") + ProgramVersion() +
                       QStringLiteral("\n\n"
                                      "Nonogram games for Java ME phones\n"
                                      "Written by the Grix team at Tarnfield\n"
                                      "Copyright (C) 2026 Tarnfield\n"
                                      "Contact: grix@tarnfield.example\n"
                                      "Web: https://tarnfield.example/grix"));
}

void TfmMain::ShowHelp() {
    ShowMessageBox(
        QMessageBox::Information, QStringLiteral("Grix help"),
        QStringLiteral(
            "Name the crossword, add black-and-white BMP pictures (one crossword each, one cell "
            "per pixel) with a note for each, and press Start to build the MIDlet suite.\n\n"
            "Keys:\n"
            "Insert\tAdd image\n"
            "Ctrl+I\tImport a PNG, JPEG or GIF picture\n"
            "Delete\tRemove the picture (on its File cell) or clear the note (on its Notes cell)\n"
            "Ctrl+Up / Ctrl+Down\tMove the picture in the list\n"
            "Click or drag in the preview\tFill or clear cells (Fix it: the fewest cells that "
            "make the puzzle unique)\n"
            "Ctrl+Z / Ctrl+Shift+Z\tUndo / redo a change of the list or a drawing\n"
            "Ctrl+B\tStart the build;  Esc\tcancel it\n"
            "Ctrl+M\tShow midlets\n"
            "Ctrl+N / Ctrl+O / Ctrl+S / Ctrl+Shift+S\tNew, open, save, save the project as\n"
            "F1\tThis help"));
}

}  // namespace grix
