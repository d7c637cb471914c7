#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>

#include <filesystem>
#include <new>

#include "app/error_display.h"
#include "app/preview.h"
#include "app/program_version.h"
#include "builder/pack_picture.h"
#include "builder/picture_label.h"
#include "builder/project_settings.h"
#include "core/errors.h"
#include "tools/byte_array_export.h"

namespace grix {
namespace {

constexpr int kInitialWidth = 793;
constexpr int kInitialHeight = 553;
constexpr int kStatusMessageMs = 10000;

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}
std::string Utf8(const QString& text) {
    return text.toStdString();
}

bool HasSuffix(const QString& path, std::initializer_list<const char*> suffixes) {
    const QString suffix = QFileInfo(path).suffix();
    for (const char* wanted : suffixes) {
        if (suffix.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace

TfmMain::TfmMain(std::string settings_path, BuildRunner run_build, std::string app_folder,
                 QWidget* parent)
    : QMainWindow(parent),
      settings_path_(std::move(settings_path)),
      run_build_(std::move(run_build)),
      app_folder_(std::move(app_folder)),
      build_(this, {[this](const std::string& line) { AddLogLine(line); },
                    [this](std::size_t done, std::size_t total) {
                        BuildProgress->setMaximum(static_cast<int>(total));
                        BuildProgress->setValue(static_cast<int>(done));
                    },
                    [this](const BuildOutcome& outcome) { FinishBuild(outcome); }}),
      checks_(this, [this](const QString& path) { OnPictureChecked(path); }) {
    setObjectName(QStringLiteral("fmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/grix.png")));
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
    }
    UpdateCount();
    UpdateButtons();
}

TfmMain::~TfmMain() {
    // The controls outlive this object's members by a moment; an editor
    // still open commits its note while they go.
    updating_list_ = true;
    disconnect(sgImages, nullptr, this, nullptr);
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

// ---- the platform's dialogs ------------------------------------------------

QStringList TfmMain::AskOpenFileNames(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileNames(this, title, QString(), filter);
}

QString TfmMain::AskOpenFileName(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(this, title, QString(), filter);
}

QString TfmMain::AskSaveFileName(const QString& title, const QString& filter) {
    return QFileDialog::getSaveFileName(this, title, QString(), filter);
}

void TfmMain::ShowMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, this);
    box.exec();
}

bool TfmMain::OpenFolder(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QMessageBox::StandardButton TfmMain::AskAfterSaveFailure(const QString& text) {
    QMessageBox box(QMessageBox::Warning, ProgramTitle(), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.button(QMessageBox::Save)->setText(QStringLiteral("Save elsewhere..."));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Discard changes"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Stay"));
    box.setDefaultButton(QMessageBox::Save);
    return static_cast<QMessageBox::StandardButton>(box.exec());
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
    if (!first_activation_.isNull() && !SaveOrAsk()) {
        event->ignore();
        return;
    }
    SaveWindowState();
    event->accept();
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel3->viewport() && event->type() == QEvent::Resize) {
        RefreshPreviewQuietly();
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
            case QEvent::MouseButtonPress:
                row_at_press_ = sgImages->currentRow();
                break;
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                // Every local file is taken, so that a drop of something we
                // cannot use can say why it was refused.
                auto* drag = static_cast<QDropEvent*>(event);
                bool any = false;
                for (const QUrl& url : drag->mimeData()->urls())
                    any = any || url.isLocalFile();
                if (any && !build_.Running()) {
                    drag->acceptProposedAction();
                } else {
                    drag->ignore();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                QStringList paths;
                for (const QUrl& url : drop->mimeData()->urls()) {
                    if (url.isLocalFile())
                        paths.append(url.toLocalFile());
                }
                drop->acceptProposedAction();
                Guarded([this, paths] { AddDroppedPaths(paths); });
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
    Edit2->setText(QLatin1String(kDefaultCrosswordName));
    Edit6->setText(QLatin1String(kDefaultCreditLine));
    setWindowTitle(QStringLiteral(" Grix ") + ProgramVersion());
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
    Edit2->setFocus();
    // The first picture is drawn once the window is on screen, so that a
    // picture that cannot be read is reported over the window, not before it.
    QTimer::singleShot(0, this, [this] { Guarded([this] { RefreshPreview(); }); });
}

// ---- the picture list ----------------------------------------------------

bool TfmMain::IsListEmpty() const {
    return IsPictureListEmpty(*sgImages);
}

int TfmMain::SelectedRow() const {
    const int row = sgImages->currentRow();
    return row < 0 || IsListEmpty() ? 0 : row + 1;
}

CellPosition TfmMain::CurrentCell() const {
    const int column = sgImages->currentColumn();
    return {SelectedRow(), column < kFileColumn ? kFileColumn : column};
}

void TfmMain::SelectCell(CellPosition cell) {
    const bool was = updating_list_;
    updating_list_ = true;
    const int row = std::clamp(cell.row, 1, sgImages->rowCount());
    sgImages->setCurrentCell(row - 1, cell.column);
    updating_list_ = was;
    OnSelectionChanged();
}

void TfmMain::ShowList(const PictureRows& rows, CellPosition cell, bool report_preview) {
    const bool was = updating_list_;
    updating_list_ = true;
    ShowPictureRows(*sgImages, rows);
    shown_rows_ = rows;
    for (int row = 1; row <= static_cast<int>(rows.size()); ++row)
        ShowCheck(row);
    updating_list_ = was;
    SelectCell(cell);
    UpdateCount();
    if (report_preview) {
        Guarded([this] { RefreshPreview(); });
    } else {
        RefreshPreviewQuietly();
    }
}

void TfmMain::ChangeList(const QString& text, const PictureRows& rows, CellPosition cell,
                         bool report_preview) {
    const PictureRows before = shown_rows_;
    const CellPosition before_cell = CurrentCell();
    ShowList(rows, cell, report_preview);
    undo_->push(new PictureListChange(
        text, before, before_cell, rows, cell,
        [this](const PictureRows& shown, CellPosition at) { ShowList(shown, at); }));
}

void TfmMain::OnNoteEdited(int row, int column) {
    if (updating_list_ || column != kNotesColumn || row < 0 ||
        row >= static_cast<int>(shown_rows_.size()))
        return;
    PictureRows rows = shown_rows_;
    rows[static_cast<std::size_t>(row)].note = sgImages->item(row, column)->text();
    if (rows == shown_rows_)
        return;
    const PictureRows before = shown_rows_;
    shown_rows_ = rows;
    const CellPosition cell{row + 1, kNotesColumn};
    undo_->push(new PictureListChange(
        QStringLiteral("edit note"), before, cell, rows, cell,
        [this](const PictureRows& shown, CellPosition at) { ShowList(shown, at); }));
}

void TfmMain::ShowCheck(int row) {
    QTableWidgetItem* item = sgImages->item(row - 1, kCheckColumn);
    const PictureCheck& check = checks_.Request(shown_rows_[row - 1].path);
    const bool was = updating_list_;
    updating_list_ = true;
    item->setText(CheckText(check));
    QPixmap mark(10, 10);
    mark.fill(CheckColour(check));
    item->setIcon(QIcon(mark));
    QString tip;
    if (!check.readable) {
        tip = check.failure;
    } else if (check.done && check.result.verdict == Verdict::Several) {
        tip = QStringLiteral("Another solution fits the same clues; it differs in %1 cells "
                             "(Show ambiguity marks them)")
                  .arg(check.result.differs.size());
    }
    item->setToolTip(tip);
    updating_list_ = was;
}

void TfmMain::OnPictureChecked(const QString& path) {
    for (int row = 1; row <= static_cast<int>(shown_rows_.size()); ++row) {
        if (shown_rows_[row - 1].path == path)
            ShowCheck(row);
    }
    const int selected = SelectedRow();
    if (ShowAmbiguity->isChecked() && selected > 0 && shown_rows_[selected - 1].path == path)
        RefreshPreviewQuietly();
}

void TfmMain::UpdateCount() {
    const int count = static_cast<int>(ReadPictureRows(*sgImages).size());
    Label14->setText(QString::number(count));
    StatusCount->setText(count == 1 ? QStringLiteral("1 picture")
                                    : QString::number(count) + QStringLiteral(" pictures"));
    ListHint->setVisible(count == 0);
    UpdateButtons();
}

void TfmMain::OnSelectionChanged() {
    // Only "Notes" is typed into; "File" and "Size" change through the buttons.
    const int column = sgImages->currentColumn();
    if (column == kFileColumn || column == kSizeColumn || column == kCheckColumn ||
        build_.Running()) {
        sgImages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    } else {
        sgImages->setEditTriggers(
            QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    }
    const int row = SelectedRow();
    const QTableWidgetItem* size = row > 0 ? sgImages->item(row - 1, kSizeColumn) : nullptr;
    StatusSize->setText(size && !size->text().isEmpty()
                            ? QStringLiteral("Selected: ") + size->text() + QStringLiteral(" cells")
                            : QString());
    UpdateButtons();
}

void TfmMain::UpdateButtons() {
    if (actionStart == nullptr)
        return;  // still being built
    const bool idle = !build_.Running();
    const int row = SelectedRow();
    const int last = static_cast<int>(shown_rows_.size());
    BitBtn4->setEnabled(idle);
    actionAddImage->setEnabled(idle);
    BitBtn5->setEnabled(idle && row > 0);
    actionRemoveImage->setEnabled(idle && row > 0);
    BitBtn6->setEnabled(idle && row > 1);
    actionUp->setEnabled(idle && row > 1);
    BitBtn7->setEnabled(idle && row > 0 && row < last);
    actionDown->setEnabled(idle && row > 0 && row < last);
    Button1->setEnabled(idle);
    actionStart->setEnabled(idle);
    actionCancel->setEnabled(!idle);
    actionShowMidlets->setEnabled(Button2->isEnabled());
    for (QAction* action : {actionNew, actionOpen, actionSave, actionSaveAs})
        action->setEnabled(idle);
    undo_->setActive(idle);
    actionUndo->setEnabled(idle && undo_->canUndo());
    actionRedo->setEnabled(idle && undo_->canRedo());
}

std::optional<std::string> TfmMain::SizeTextOf(const QString& path, int row,
                                               PictureRow& entry) const {
    entry = {path, QString(), QString()};
    try {
        entry.size = FromUtf8(PictureSizeText(Utf8(path)));
    } catch (const std::bad_alloc&) {
        return "Cannot read " + PictureLabel(static_cast<std::size_t>(row), Utf8(path)) + ": " +
               kOutOfMemory;
    } catch (const std::exception& e) {
        return "Cannot read " + PictureLabel(static_cast<std::size_t>(row), Utf8(path)) + ": " +
               e.what();
    }
    return std::nullopt;
}

void TfmMain::AddPictureFiles(const QStringList& paths) {
    if (paths.isEmpty() || build_.Running())
        return;
    PictureRows rows = shown_rows_;
    QStringList failures;
    for (const QString& path : paths) {
        PictureRow entry;
        if (auto failure = SizeTextOf(path, static_cast<int>(rows.size()) + 1, entry))
            failures.append(FromUtf8(*failure));
        rows.push_back(entry);
    }
    // A picture that could not be read stays listed without a size; the new
    // picture is selected so that the author sees what was added.
    // Its reader error is reported once, as the add's failure.
    ChangeList(paths.size() == 1 ? QStringLiteral("add image") : QStringLiteral("add images"),
               rows, {static_cast<int>(rows.size()), kFileColumn}, failures.isEmpty());
    if (!failures.isEmpty())
        throw Error(Utf8(failures.join(QLatin1Char('\n'))));
}

void TfmMain::AddDroppedPaths(const QStringList& paths) {
    QStringList pictures;
    QStringList refused;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            const QDir folder(path);
            const QStringList found = folder.entryList(
                {QStringLiteral("*.bmp"), QStringLiteral("*.BMP"), QStringLiteral("*.Bmp")},
                QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
            if (found.isEmpty())
                refused.append(info.fileName() + QStringLiteral(" holds no BMP files"));
            for (const QString& name : found)
                pictures.append(folder.filePath(name));
        } else if (HasSuffix(path, {"bmp"})) {
            pictures.append(path);
        } else if (HasSuffix(path, {"png", "jpg", "jpeg", "gif"})) {
            refused.append(info.fileName() +
                           QStringLiteral(" is not a BMP picture (pictures are BMP files)"));
        } else {
            refused.append(info.fileName() + QStringLiteral(" is not a BMP picture"));
        }
    }
    pictures.removeDuplicates();
    if (!refused.isEmpty())
        ShowStatus(QStringLiteral("Not added: ") + refused.join(QStringLiteral("; ")));
    AddPictureFiles(pictures);
}

void TfmMain::AddPictures() {
    const QStringList paths =
        AskOpenFileNames(QStringLiteral("Select image"), QStringLiteral("*.bmp (*.bmp)"));
    AddPictureFiles(paths);
}

void TfmMain::RemoveSelectedPicture() {
    const int row = SelectedRow();
    if (row == 0 || build_.Running())
        return;
    PictureRows rows = shown_rows_;
    rows.erase(rows.begin() + (row - 1));
    ChangeList(QStringLiteral("remove image"), rows,
               {std::min(row, std::max(1, static_cast<int>(rows.size()))), CurrentCell().column});
}

void TfmMain::MovePictureUp() {
    const int row = SelectedRow();
    if (row <= 1 || build_.Running())
        return;
    PictureRows rows = shown_rows_;
    std::swap(rows[row - 2], rows[row - 1]);
    ChangeList(QStringLiteral("move up"), rows, {row - 1, CurrentCell().column});
}

void TfmMain::MovePictureDown() {
    const int row = SelectedRow();
    if (row < 1 || row >= static_cast<int>(shown_rows_.size()) || build_.Running())
        return;
    PictureRows rows = shown_rows_;
    std::swap(rows[row - 1], rows[row]);
    ChangeList(QStringLiteral("move down"), rows, {row + 1, CurrentCell().column});
}

void TfmMain::DeleteAtSelection() {
    const CellPosition cell = CurrentCell();
    if (cell.row == 0 || build_.Running())
        return;
    if (cell.column == kNotesColumn) {
        PictureRows rows = shown_rows_;
        if (rows[cell.row - 1].note.isEmpty())
            return;
        rows[cell.row - 1].note.clear();
        ChangeList(QStringLiteral("clear note"), rows, cell);
    } else if (cell.column == kFileColumn) {
        RemoveSelectedPicture();
    } else {
        ShowStatus(QStringLiteral("Select the File cell to remove a picture with Delete"));
    }
}

CrosswordProject TfmMain::Project() const {
    CrosswordProject project;
    project.name = Utf8(Edit2->text());
    project.info = Utf8(Edit6->text());
    project.splash = CheckBox3->isChecked();
    project.splash_path = Utf8(Edit1->text());
    const PictureRows rows = ReadPictureRows(*sgImages);
    project.list_empty = rows.empty();
    int number = 0;
    for (const PictureRow& row : rows)
        project.pictures.push_back({++number, Utf8(row.path), Utf8(row.size), Utf8(row.note)});
    return project;
}

void TfmMain::CommitPendingEdit() {
    // A note still in its editor when the window closes or a build starts
    // belongs to the project like one already entered. Editors live in the
    // grid's viewport; nothing else there takes focus.
    QWidget* editor = QApplication::focusWidget();
    if (editor != nullptr && sgImages->viewport()->isAncestorOf(editor)) {
        QMetaObject::invokeMethod(sgImages, "commitData", Qt::DirectConnection,
                                  Q_ARG(QWidget*, editor));
    }
}

// ---- preview -------------------------------------------------------------

void TfmMain::RefreshPreview() {
    std::optional<PreviewRequest> request;
    const int row = SelectedRow();
    const QString path = row >= 1 ? sgImages->item(row - 1, kFileColumn)->text() : QString();
    if (row >= 1) {
        request = PreviewRequest{Utf8(path), ComboBox1->currentIndex(), CheckBox1->isChecked(),
                                 Panel3->maximumViewportSize(), {}};
        const PictureCheck* check = checks_.Find(path);
        if (ShowAmbiguity->isChecked() && check != nullptr && check->readable) {
            for (const auto& [x, y] : check->result.differs)
                request->marks.emplace_back(x, y);
        }
    } else {
        request = std::nullopt;
    }
    struct Repaint {
        PreviewSurface* surface;
        ~Repaint() { surface->Fit(); }
    } repaint{Image1};
    if (!request) {
        // Nothing to show: the surface just fills the panel.
        Image1->Image() = QImage(Panel3->maximumViewportSize().expandedTo(QSize(1, 1)),
                                 QImage::Format_RGB32);
    }
    try {
        DrawPreview(Image1->Image(), palette().color(QPalette::Button), request);
    } catch (const std::bad_alloc&) {
        throw Error("Cannot show " + PictureLabel(static_cast<std::size_t>(row), Utf8(path)) +
                    ": " + kOutOfMemory);
    } catch (const std::exception& e) {
        throw Error("Cannot show " + PictureLabel(static_cast<std::size_t>(row), Utf8(path)) +
                    ": " + e.what());
    }
}

void TfmMain::RefreshPreviewQuietly() {
    // Resizing redraws on every step of a drag: a picture that cannot be read
    // leaves the surface blank here instead of raising a box at each step.
    try {
        RefreshPreview();
    } catch (const std::exception&) {
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

void TfmMain::AddLogLine(const std::string& text) {
    Memo2->appendPlainText(FromUtf8(text));
    Memo2->verticalScrollBar()->setValue(Memo2->verticalScrollBar()->maximum());
}

void TfmMain::SetBuilding(bool building) {
    BuildProgress->setVisible(building);
    CancelButton->setVisible(building);
    CancelButton->setEnabled(building);
    sgImages->setDragDropMode(QAbstractItemView::NoDragDrop);
    OnSelectionChanged();  // edit triggers and buttons
    if (building) {
        BuildProgress->setRange(0, 0);  // busy until the first picture is packed
        statusBar()->clearMessage();
        StatusBuild->setText(QStringLiteral("Building..."));
    }
}

void TfmMain::StartBuild() {
    if (build_.Running())
        return;
    Button2->setEnabled(false);
    actionShowMidlets->setEnabled(false);
    CommitPendingEdit();
    CrosswordProject project = Project();
    last_suite_name_ = project.name;
    if (!build_.Start(run_build_, std::move(project)))
        return;
    SetBuilding(true);
}

void TfmMain::CancelBuild() {
    if (!build_.Running())
        return;
    build_.Cancel();
    CancelButton->setEnabled(false);
    StatusBuild->setText(QStringLiteral("Cancelling..."));
}

void TfmMain::FinishBuild(const BuildOutcome& outcome) {
    if (!outcome.suite_folder.empty())
        show_target_ = outcome.suite_folder;
    Button2->setEnabled(outcome.success);
    SetBuilding(false);
    if (outcome.success) {
        std::error_code ec;
        const std::string jar = show_target_ + "/" + last_suite_name_ + ".jar";
        const auto size = std::filesystem::file_size(jar, ec);
        StatusBuild->setText(
            QStringLiteral("Last build: ") + FromUtf8(last_suite_name_) + QStringLiteral(".jar") +
            (ec ? QString() : QStringLiteral(", ") + QLocale().formattedDataSize(
                                                        static_cast<qint64>(size),
                                                        1, QLocale::DataSizeTraditionalFormat)));
    } else {
        StatusBuild->setText(build_.CancelRequested() ? QStringLiteral("Last build: cancelled")
                                                      : QStringLiteral("Last build: failed"));
    }
    if (close_after_build_)
        QTimer::singleShot(0, this, &QWidget::close);
}

void TfmMain::ShowSuiteFolder() {
    if (show_target_.empty())
        return;
    if (!OpenFolder(FromUtf8(show_target_)))
        throw Error("Can not open folder " + show_target_);
}

void TfmMain::ExportFileAsByteArray() {
    const QString path = AskOpenFileName(QStringLiteral("Export file as byte array"), QString());
    if (path.isEmpty())
        return;
    try {
        const std::string output = ExportByteArray(Utf8(path));
        std::error_code ec;
        const auto size = std::filesystem::file_size(output, ec);
        AddLogLine("Create file " + output + ", size " + std::to_string(ec ? 0 : size) +
                   " bytes");
    } catch (const std::bad_alloc&) {
        throw Error("Cannot export " + Utf8(path) + ": " + kOutOfMemory);
    } catch (const std::exception& e) {
        throw Error("Cannot export " + Utf8(path) + ": " + e.what());
    }
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
            "Delete\tRemove the picture (on its File cell) or clear the note (on its Notes cell)\n"
            "Ctrl+Up / Ctrl+Down\tMove the picture in the list\n"
            "Ctrl+Z / Ctrl+Shift+Z\tUndo / redo a change of the list\n"
            "Ctrl+B\tStart the build;  Esc\tcancel it\n"
            "Ctrl+M\tShow midlets\n"
            "Ctrl+N / Ctrl+O / Ctrl+S / Ctrl+Shift+S\tNew, open, save, save the project as\n"
            "F1\tThis help"));
}

}  // namespace grix
