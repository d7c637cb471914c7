#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>

#include <filesystem>
#include <new>

#include "app/error_display.h"
#include "app/field_checks.h"
#include "app/preview.h"
#include "app/program_version.h"
#include "app/utf8_text.h"
#include "builder/picture_label.h"
#include "builder/project_settings.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/scope_exit.h"
#include "tools/byte_array_export.h"

namespace grix {
namespace {

constexpr int kInitialWidth = 793;
constexpr int kInitialHeight = 553;
constexpr int kStatusMessageMs = 10000;

}  // namespace

TfmMain::TfmMain(std::string settings_path, BuildRunner run_build, std::string app_folder,
                 QWidget* parent)
    : QMainWindow(parent),
      settings_path_(std::move(settings_path)),
      run_build_(std::move(run_build)),
      app_folder_(std::move(app_folder)),
      build_(this, {[this](const std::string& line) { AddLogLine(line); },
                    [this](std::size_t done, std::size_t total) {
                        if (done >= total) {
                            // Every picture is packed; the checks of their
                            // clues run next and take a while of their own.
                            BuildProgress->setRange(0, 0);
                            StatusBuild->setText(QStringLiteral("Checking the pictures..."));
                            return;
                        }
                        BuildProgress->setMaximum(static_cast<int>(total));
                        BuildProgress->setValue(static_cast<int>(done));
                    },
                    [this](const BuildOutcome& outcome) { FinishBuild(outcome); }}),
      checks_(this, [this](const QString& path) { OnPictureChecked(path); }) {
    setObjectName(QStringLiteral("fmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/grix.png")));
    watcher_ = new QFileSystemWatcher(this);
    BuildLayout();
    BuildMenus();
    ConnectHandlers();
    setMinimumWidth(720);
    resize(kInitialWidth, kInitialHeight);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kInitialWidth / 2, kInitialHeight / 2));
    }
    if (!app_folder_.empty()) {
        StatusSuites->setText(QStringLiteral("Suites: ") +
                              QDir::toNativeSeparators(FromUtf8(app_folder_ + "midlets")));
        StatusSuites->setToolTip(StatusSuites->text());
    }
    UpdateCount();
    UpdateButtons();
    UpdateTitle();
}

TfmMain::~TfmMain() {
    // The controls outlive this object's members by a moment; an editor
    // still open commits its note while they go.
    updating_list_ = true;
    // The children go after this object: nothing they signal may reach it.
    disconnect(undo_, nullptr, this, nullptr);
    disconnect(watcher_, nullptr, this, nullptr);
    for (QWidget* control : components_)
        disconnect(control, nullptr, this, nullptr);
}

void TfmMain::ConnectHandlers() {
    const auto on = [this](QPushButton* button, void (TfmMain::*slot)()) {
        connect(button, &QPushButton::clicked, this,
                [this, slot] { Guarded([this, slot] { (this->*slot)(); }); });
    };
    on(BitBtn4, &TfmMain::AddPictures);
    on(BitBtn5, &TfmMain::RemoveSelectedPicture);
    on(BitBtn6, &TfmMain::MovePictureUp);
    on(BitBtn7, &TfmMain::MovePictureDown);
    on(Button5, &TfmMain::ChooseSplashPicture);
    on(Button1, &TfmMain::StartBuild);
    on(Button2, &TfmMain::ShowSuiteFolder);
    on(CancelButton, &TfmMain::CancelBuild);
    on(Button4, &TfmMain::ShowAbout);

    connect(sgImages, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previous_row, int) {
                OnSelectionChanged();
                // Selecting another row (by mouse or keyboard) shows its picture;
                // the list operations refresh the preview themselves.
                if (row != previous_row && !updating_list_)
                    Guarded([this] { RefreshPreview(); });
            });
    connect(sgImages, &QTableWidget::cellClicked, this, [this](int row, int) {
        // A click on the row already selected still redraws it (the file may
        // have changed); a click that selected the row has drawn it already.
        if (row == row_at_press_)
            Guarded([this] { RefreshPreview(); });
    });
    connect(sgImages, &QTableWidget::cellChanged, this,
            [this](int row, int column) { OnNoteEdited(row, column); });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        if (!updating_list_)
            Guarded([this] { RefreshPreview(); });
    });
    for (QCheckBox* option : {CheckBox1, ShowAmbiguity}) {
        connect(option, &QCheckBox::toggled, this, [this] {
            if (!updating_list_)
                Guarded([this] { RefreshPreview(); });
        });
    }

    // Any change of a stored control changes the project; the name and the
    // splash fields are checked as they change.
    for (QWidget* control : components_) {
        const auto changed = [this] {
            if (!loading_)
                SetProjectModified(true);
        };
        if (auto* line = qobject_cast<QLineEdit*>(control)) {
            connect(line, &QLineEdit::textChanged, this, changed);
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            connect(box, &QCheckBox::toggled, this, changed);
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            connect(list, &QComboBox::currentIndexChanged, this, changed);
        }
    }
    connect(Edit2, &QLineEdit::textChanged, this, [this] {
        CheckFields();
        FindBuiltSuite();
    });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { CheckFields(); });
    connect(CheckBox3, &QCheckBox::toggled, this, [this] { CheckFields(); });
    connect(undo_, &QUndoStack::cleanChanged, this, [this] { UpdateTitle(); });
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { UpdateChecks(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { UpdateChecks(); });
    CheckFields();

    OnSelectionChanged();
    sgImages->installEventFilter(this);
    sgImages->viewport()->installEventFilter(this);
    Panel3->viewport()->installEventFilter(this);
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
    if (build_.Running()) {
        // Stop the build at its next step and close once it has cleaned up.
        close_after_build_ = true;
        build_.Cancel();
        event->ignore();
        return;
    }
    // A window that never loaded its settings must not overwrite them.
    if (!first_activation_.isNull()) {
        if (!MaybeSave()) {
            event->ignore();
            return;
        }
        // A project file that does not exist yet is written as the window
        // shows it, so that the next start finds it.
        if (!settings_path_.empty() && !IsProjectModified() &&
            !QFileInfo::exists(FromUtf8(settings_path_)) && !SaveOrAsk()) {
            event->ignore();
            return;
        }
    }
    SaveWindowState();
    event->accept();
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel3->viewport() && event->type() == QEvent::Resize) {
        RefreshPreview();
    } else if (watched == sgImages && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            Guarded([this] { DeleteAtSelection(); });
            return true;
        }
    } else if (watched == sgImages->viewport()) {
        switch (event->type()) {
            case QEvent::Resize:
                ListHint->setGeometry(sgImages->viewport()->rect().adjusted(12, 24, -12, -12));
                break;
            case QEvent::MouseButtonPress: {
                row_at_press_ = sgImages->currentRow();
                // The numbers cannot be selected themselves: a click on one
                // selects its picture.
                const auto* press = static_cast<QMouseEvent*>(event);
                const QModelIndex at = sgImages->indexAt(press->position().toPoint());
                if (at.isValid() && at.column() == kNumberColumn && !IsListEmpty()) {
                    sgImages->setCurrentCell(at.row(), kFileColumn);
                    sgImages->setFocus();
                    return true;
                }
                break;
            }
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                // Every local file is taken, so that a drop of something we
                // cannot use can say why it was refused.
                auto* drag = static_cast<QDropEvent*>(event);
                if (drag->mimeData()->hasUrls() && !build_.Running()) {
                    drag->acceptProposedAction();
                } else {
                    drag->ignore();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const QList<QUrl> urls = drop->mimeData()->urls();
                drop->acceptProposedAction();
                Guarded([this, urls] { AddDroppedFiles(urls); });
                return true;
            }
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- first activation ------------------------------------------------------

void TfmMain::FirstActivation() {
    first_activation_ = QDateTime::currentDateTime();
    loading_ = true;
    Edit2->setText(QLatin1String(kDefaultCrosswordName));
    Edit6->setText(QLatin1String(kDefaultCreditLine));
    loading_ = false;
    sgImages->setHorizontalHeaderLabels({QStringLiteral("\u2116"), QStringLiteral("File"),
                                         QStringLiteral("Size"), QStringLiteral("Notes"),
                                         QStringLiteral("Check")});
    LoadWindowState();
    try {
        LoadSettings();
    } catch (const std::exception&) {
        // A settings file that cannot be read leaves the rest at its defaults.
    }
    RememberRecent(FromUtf8(settings_path_));
    SetProjectModified(false);
    FindBuiltSuite();
    Edit2->setFocus();
    RefreshPreview();
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
    const QString name = CrosswordNameProblem(Edit2->text());
    const QString splash = SplashProblem(CheckBox3->isChecked(), Edit1->text());
    const bool changed = name != Edit2->property("problem").toString() ||
                         splash != Edit1->property("problem").toString();
    MarkField(*Edit2, name, QString());
    MarkField(*Edit1, splash, QStringLiteral("The splash picture, a PNG file"));
    // The reason is said once where the author looks, as it appears.
    if (changed && first_activation_.isValid()) {
        const QString shown = !name.isEmpty() ? name : splash;
        if (!shown.isEmpty())
            ShowStatus(shown);
    }
}

// ---- preview -------------------------------------------------------------

void TfmMain::RefreshPreview() {
    std::optional<PreviewRequest> request;
    const int row = SelectedRow();
    const QString path = row >= 1 ? sgImages->item(row - 1, kFileColumn)->text() : QString();
    if (row >= 1) {
        request = PreviewRequest{Utf8(path),
                                 ComboBox1->currentIndex(),
                                 CheckBox1->isChecked(),
                                 Panel3->maximumViewportSize(),
                                 {}};
        request->scroll_bar_extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const PictureCheck* check = checks_.Find(path);
        if (ShowAmbiguity->isChecked() && check != nullptr && check->readable) {
            for (const auto& [x, y] : check->result.differs)
                request->marks.emplace_back(x, y);
        }
    } else {
        request = std::nullopt;
    }
    const ScopeExit repaint([this] { Image1->Fit(); });
    if (!request) {
        // Nothing to show: the surface just fills the panel.
        Image1->Image() =
            QImage(Panel3->maximumViewportSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    }
    // A picture that cannot be read was reported when it was added and is
    // marked in its row; the preview says why in place of the picture, so
    // that moving through the list never raises a box per row.
    Image1->SetMessage({});
    try {
        DrawPreview(Image1->Image(), palette().color(QPalette::Button), request);
    } catch (const std::exception& e) {
        const PictureCheck* check = checks_.Find(path);
        const QString cause = check != nullptr && check->missing
                                  ? QStringLiteral("file not found")
                                  : (QFileInfo::exists(path) ? ReadFailureCause(e)
                                                             : QStringLiteral("file not found"));
        Image1->SetMessage(QStringLiteral("Cannot show ") +
                           FromUtf8(PictureLabel(static_cast<std::size_t>(row), Utf8(path))) +
                           QStringLiteral(":\n") + cause);
    }
}

// ---- buttons -------------------------------------------------------------

void TfmMain::ChooseSplashPicture() {
    const QString path =
        AskOpenFileName(QStringLiteral("Select image"), QStringLiteral("*.png (*.png)"));
    if (path.isEmpty())
        return;
    Edit1->setText(path);
    // Choosing a splash picture means wanting it in the suite.
    CheckBox3->setChecked(true);
}

void TfmMain::ExportFileAsByteArray() {
    const QString path = AskOpenFileName(QStringLiteral("Export file as byte array"), QString());
    if (path.isEmpty())
        return;
    // The export's own messages name the file they are about.
    const std::string output = ExportByteArray(Utf8(path));
    std::error_code ec;
    const auto size = std::filesystem::file_size(NativePath(output), ec);
    AddLogLine("Create file " + output + ", size " + std::to_string(ec ? 0 : size) + " bytes");
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
            "Ctrl+Z / Ctrl+Shift+Z\tUndo / redo a change of the list\n"
            "Ctrl+B\tStart the build;  Esc\tcancel it\n"
            "Ctrl+M\tShow midlets\n"
            "Ctrl+N / Ctrl+O / Ctrl+S / Ctrl+Shift+S\tNew, open, save, save the project as\n"
            "F1\tThis help"));
}

}  // namespace grix
