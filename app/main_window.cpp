#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>
#include <new>

#include "app/control_settings.h"
#include "app/error_display.h"
#include "app/preview.h"
#include "app/program_version.h"
#include "builder/pack_picture.h"
#include "builder/project_settings.h"
#include "core/errors.h"
#include "core/ini_file.h"
#include "tools/byte_array_export.h"

namespace grix {
namespace {

constexpr int kInitialWidth = 793;
constexpr int kInitialHeight = 553;
constexpr int kTopAreaHeight = 381;
constexpr int kSplitterWidth = 3;
constexpr int kButtonBarHeight = 33;
constexpr int kLeftAreaWidth = 561;
constexpr int kRowHeight = 16;
constexpr int kColumnWidths[] = {20, 209, 39, 245};

enum Column { kNumberColumn = 0, kFileColumn = 1, kSizeColumn = 2, kNotesColumn = 3 };

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}
std::string Utf8(const QString& text) {
    return text.toStdString();
}

bool IsBmpFile(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0;
}

}  // namespace

template <typename Control>
Control* TfmMain::Create(const char* name, QWidget* parent) {
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    components_.push_back(control);
    return control;
}

TfmMain::TfmMain(std::string settings_path, BuildRunner run_build, QWidget* parent)
    : QWidget(parent), settings_path_(std::move(settings_path)), run_build_(std::move(run_build)) {
    setObjectName(QStringLiteral("fmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/grix.png")));
    BuildLayout();
    ConnectHandlers();
    resize(kInitialWidth, kInitialHeight);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kInitialWidth / 2, kInitialHeight / 2));
    }
}

TfmMain::~TfmMain() = default;

void TfmMain::BuildLayout() {
    // Created in the order the settings file visits them: Edit2, Edit6,
    // Edit1, CheckBox3, ComboBox1, CheckBox1.
    Splitter1 = Create<QSplitter>("Splitter1", this);
    Splitter1->setOrientation(Qt::Vertical);
    Panel1 = Create<QWidget>("Panel1", Splitter1);
    Panel1->setMinimumSize(720, 345);

    auto* left = new QWidget(Panel1);
    left->setFixedWidth(kLeftAreaWidth);
    Label1 = Create<QLabel>("Label1", left);
    Label1->setText(QStringLiteral("Crossword name (midlet name)"));
    Edit2 = Create<QLineEdit>("Edit2", left);
    Edit2->setText(QLatin1String(kDefaultCrosswordName));
    Label1->setBuddy(Edit2);
    Label2 = Create<QLabel>("Label2", left);
    Label2->setText(QStringLiteral("Information about crossword, author etc."));
    Edit6 = Create<QLineEdit>("Edit6", left);
    Edit6->setText(QLatin1String(kDefaultCreditLine));
    Label2->setBuddy(Edit6);

    Label13 = Create<QLabel>("Label13", left);
    Label13->setText(QStringLiteral("Images:"));
    Label14 = Create<QLabel>("Label14", left);
    Label14->setText(QStringLiteral("0"));
    BitBtn4 = Create<QPushButton>("BitBtn4", left);
    BitBtn4->setText(QStringLiteral("Add image"));
    BitBtn5 = Create<QPushButton>("BitBtn5", left);
    BitBtn5->setText(QStringLiteral("Remove image"));
    BitBtn6 = Create<QPushButton>("BitBtn6", left);
    BitBtn6->setText(QStringLiteral("Up"));
    BitBtn7 = Create<QPushButton>("BitBtn7", left);
    BitBtn7->setText(QStringLiteral("Down"));

    sgImages = Create<QTableWidget>("sgImages", left);
    sgImages->setColumnCount(4);
    sgImages->setRowCount(1);
    sgImages->verticalHeader()->hide();  // column 0 holds the numbers
    sgImages->verticalHeader()->setDefaultSectionSize(
        std::max(kRowHeight, sgImages->fontMetrics().height() + 2));
    sgImages->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgImages->horizontalHeader()->setSectionsClickable(false);
    sgImages->horizontalHeader()->setMinimumSectionSize(kColumnWidths[0]);
    sgImages->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    sgImages->horizontalHeader()->setHighlightSections(false);
    sgImages->horizontalHeader()->setStretchLastSection(true);
    // The widths were chosen for a small 8-point font. A larger desktop font
    // would cut the size text short, so "Size" takes what "888 * 888" needs
    // and "File" gives that up, keeping the list's width.
    const int size_width =
        std::max(kColumnWidths[kSizeColumn],
                 sgImages->fontMetrics().horizontalAdvance(QStringLiteral("888 * 888")) + 10);
    const int widths[] = {kColumnWidths[kNumberColumn],
                          kColumnWidths[kFileColumn] - (size_width - kColumnWidths[kSizeColumn]),
                          size_width, kColumnWidths[kNotesColumn]};
    for (int c = 0; c < 4; ++c)
        sgImages->setColumnWidth(c, widths[c]);
    sgImages->setSelectionMode(QAbstractItemView::SingleSelection);
    sgImages->setSelectionBehavior(QAbstractItemView::SelectItems);
    sgImages->setShowGrid(true);
    sgImages->setWordWrap(false);
    sgImages->setTextElideMode(Qt::ElideLeft);  // a path's end names the file
    sgImages->viewport()->setAcceptDrops(true);
    PrepareRow(1);
    SelectRow(1, kFileColumn);

    Edit1 = Create<QLineEdit>("Edit1", left);
    CheckBox3 = Create<QCheckBox>("CheckBox3", left);
    CheckBox3->setText(QStringLiteral("Add image (PNG file only) for splash screen"));
    CheckBox3->setLayoutDirection(Qt::RightToLeft);  // caption left of the box
    Button5 = Create<QPushButton>("Button5", left);
    Button5->setText(QStringLiteral("..."));
    Button5->setFixedWidth(Button5->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);

    auto* right = new QWidget(Panel1);
    Label3 = Create<QLabel>("Label3", right);
    Label3->setText(QStringLiteral("Image preview"));
    ComboBox1 = Create<QComboBox>("ComboBox1", right);
    for (int percent = 100; percent <= 1000; percent += 100) {
        ComboBox1->addItem(QString::number(percent) + QLatin1Char('%'));
    }
    ComboBox1->setCurrentIndex(-1);
    CheckBox1 = Create<QCheckBox>("CheckBox1", right);
    CheckBox1->setText(QStringLiteral("Grid"));
    CheckBox1->setLayoutDirection(Qt::RightToLeft);
    Panel3 = Create<QWidget>("Panel3", right);
    Panel3->setMinimumSize(1, 1);
    Panel3->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Image1 = Create<PreviewSurface>("Image1", Panel3);
    Image1->move(0, 0);

    Memo2 = Create<QPlainTextEdit>("Memo2", Splitter1);
    Memo2->setReadOnly(true);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);

    Panel2 = Create<QWidget>("Panel2", this);
    Panel2->setFixedHeight(kButtonBarHeight);
    Button1 = Create<QPushButton>("Button1", Panel2);
    Button1->setText(QStringLiteral("Start"));
    Button1->setToolTip(QStringLiteral("Build the MIDlet suite (Ctrl+B)"));
    Button2 = Create<QPushButton>("Button2", Panel2);
    Button2->setText(QStringLiteral("Show midlets"));
    Button2->setEnabled(false);
    Button3 = Create<QPushButton>("Button3", Panel2);
    Button3->setText(QStringLiteral("Hex"));
    Button6 = Create<QPushButton>("Button6", Panel2);
    Button6->setText(QStringLiteral("Text"));
    Button6->hide();
    Button7 = Create<QPushButton>("Button7", Panel2);
    Button7->setText(QStringLiteral("Font"));
    Button7->hide();
    Button4 = Create<QPushButton>("Button4", Panel2);
    Button4->setText(QStringLiteral("About"));

    // Layouts.
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(8, 6, 4, 4);
    leftLayout->setSpacing(3);
    leftLayout->addWidget(Label1);
    leftLayout->addWidget(Edit2);
    leftLayout->addWidget(Label2);
    leftLayout->addWidget(Edit6);
    auto* listBar = new QHBoxLayout;
    listBar->addWidget(Label13);
    listBar->addWidget(Label14);
    listBar->addStretch(1);
    for (QPushButton* button : {BitBtn4, BitBtn5, BitBtn6, BitBtn7})
        listBar->addWidget(button);
    leftLayout->addSpacing(4);
    leftLayout->addLayout(listBar);
    leftLayout->addWidget(sgImages, 1);
    auto* splashRow = new QHBoxLayout;
    splashRow->addWidget(CheckBox3);
    splashRow->addWidget(Edit1, 1);
    splashRow->addWidget(Button5);
    leftLayout->addLayout(splashRow);

    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(4, 6, 6, 4);
    rightLayout->setSpacing(3);
    auto* captionRow = new QHBoxLayout;
    captionRow->addWidget(Label3);
    captionRow->addStretch(1);
    captionRow->addWidget(ComboBox1);
    captionRow->addWidget(CheckBox1);
    rightLayout->addLayout(captionRow);
    rightLayout->addWidget(Panel3, 1);

    auto* topLayout = new QHBoxLayout(Panel1);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    topLayout->addWidget(left);
    topLayout->addWidget(right, 1);

    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(Memo2);
    Splitter1->setHandleWidth(kSplitterWidth);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes(
        {kTopAreaHeight, kInitialHeight - kTopAreaHeight - kSplitterWidth - kButtonBarHeight});

    auto* barLayout = new QHBoxLayout(Panel2);
    barLayout->setContentsMargins(6, 3, 6, 3);
    barLayout->addWidget(Button1);
    barLayout->addWidget(Button2);
    barLayout->addWidget(Button3);
    barLayout->addStretch(1);
    barLayout->addWidget(Button6);
    barLayout->addWidget(Button7);
    barLayout->addWidget(Button4);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(Splitter1, 1);
    outer->addWidget(Panel2);
}

void TfmMain::ConnectHandlers() {
    const auto on = [this](QPushButton* button, void (TfmMain::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    };
    on(BitBtn4, &TfmMain::BitBtn4Click);
    on(BitBtn5, &TfmMain::BitBtn5Click);
    on(BitBtn6, &TfmMain::BitBtn6Click);
    on(BitBtn7, &TfmMain::BitBtn7Click);
    on(Button5, &TfmMain::Button5Click);
    on(Button1, &TfmMain::Button1Click);
    on(Button2, &TfmMain::Button2Click);
    on(Button3, &TfmMain::Button3Click);
    on(Button4, &TfmMain::Button4Click);

    connect(sgImages, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int previous_row, int) {
                sgImagesSelectCell(row, column);
                // Selecting another row (by mouse or keyboard) shows its picture;
                // the list operations refresh the preview themselves.
                if (row != previous_row && !updating_list_)
                    Guarded([this] { RefreshPreview(); });
            });
    connect(sgImages, &QTableWidget::cellClicked, this, [this](int row, int) {
        // A click on the row already selected still redraws it (the file may
        // have changed); a click that selected the row has drawn it already.
        if (row == row_at_press_)
            Guarded([this] { sgImagesClick(); });
    });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        if (!updating_list_)
            Guarded([this] { RefreshPreview(); });
    });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] {
        if (!updating_list_)
            Guarded([this] { RefreshPreview(); });
    });

    auto* build = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_B), this);
    connect(build, &QShortcut::activated, this, [this] {
        if (!building_)
            Guarded([this] { Button1Click(); });
    });

    sgImagesSelectCell(sgImages->currentRow(), sgImages->currentColumn());
    sgImages->installEventFilter(this);
    sgImages->viewport()->installEventFilter(this);
    Panel3->installEventFilter(this);
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

QString TfmMain::AskOpenFileName(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(this, title, QString(), filter);
}

void TfmMain::ShowMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, this);
    box.exec();
}

bool TfmMain::OpenFolder(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// ---- events -------------------------------------------------------------

bool TfmMain::event(QEvent* event) {
    // Platforms without a window manager (a bare X server, the offscreen
    // platform) may never activate the window, so showing it counts too.
    if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) &&
        first_activation_.isNull()) {
        const bool handled = QWidget::event(event);
        FormActivate();
        return handled;
    }
    return QWidget::event(event);
}

void TfmMain::closeEvent(QCloseEvent* event) {
    if (building_) {
        // The build runs inside this window's handler; close when it ends.
        close_after_build_ = true;
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel3 && event->type() == QEvent::Resize) {
        RefreshPreviewQuietly();
    } else if (watched == sgImages && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() == Qt::ControlModifier;
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            Guarded([this] { BitBtn5Click(); });
            return true;
        }
        if (ctrl && key->key() == Qt::Key_Up) {
            Guarded([this] { BitBtn6Click(); });
            return true;
        }
        if (ctrl && key->key() == Qt::Key_Down) {
            Guarded([this] { BitBtn7Click(); });
            return true;
        }
    } else if (watched == sgImages->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                row_at_press_ = sgImages->currentRow();
                break;
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                bool any = false;
                for (const QUrl& url : drag->mimeData()->urls()) {
                    any = any || (url.isLocalFile() && IsBmpFile(url.toLocalFile()));
                }
                if (any) {
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
                    if (url.isLocalFile() && IsBmpFile(url.toLocalFile())) {
                        paths.append(url.toLocalFile());
                    }
                }
                drop->acceptProposedAction();
                Guarded([this, paths] { AddPictureFiles(paths); });
                return true;
            }
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- first activation and closing ----------------------------------------

void TfmMain::FormActivate() {
    if (!first_activation_.isNull())
        return;
    first_activation_ = QDateTime::currentDateTime();
    Edit2->setText(QLatin1String(kDefaultCrosswordName));
    Edit6->setText(QLatin1String(kDefaultCreditLine));
    setWindowTitle(QStringLiteral(" Grix ") + ProgramVersion());
    sgImages->setHorizontalHeaderLabels({QStringLiteral("\u2116"), QStringLiteral("File"),
                                         QStringLiteral("Size"), QStringLiteral("Notes")});
    try {
        LoadSettings();
    } catch (const std::exception&) {
        // A settings file that cannot be read leaves the rest at its defaults.
    }
    Guarded([this] { RefreshPreview(); });
    Edit2->setFocus();
}

void TfmMain::FormClose() {
    // A window that never loaded its settings must not overwrite them.
    if (first_activation_.isNull())
        return;
    try {
        SaveSettings();
    } catch (const std::exception& e) {
        qWarning("%s", e.what());
    }
}

void TfmMain::LoadSettings() {
    const IniFile ini(settings_path_);
    const std::string folder = SettingsFolder(settings_path_);
    updating_list_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{updating_list_};
    LoadControls(ini, components_);
    Edit1->setText(FromUtf8(ResolveProjectPath(Utf8(Edit1->text()), folder)));
    LoadFont(ini, *Image1);
    const std::vector<PictureEntry> rows = ReadPictureTable(ini, folder);
    if (!rows.empty())
        SetRows(rows);
    UpdateCount();
}

void TfmMain::CommitPendingEdit() {
    // A note still in its editor when the window closes or Ctrl+B starts a
    // build belongs to the project like one already entered.
    // Editors live in the grid's viewport; nothing else there takes focus.
    QWidget* editor = QApplication::focusWidget();
    if (editor != nullptr && sgImages->viewport()->isAncestorOf(editor)) {
        QMetaObject::invokeMethod(sgImages, "commitData", Qt::DirectConnection,
                                  Q_ARG(QWidget*, editor));
    }
}

void TfmMain::SaveSettings() {
    CommitPendingEdit();
    IniFile ini(settings_path_);
    SaveControls(ini, components_);
    SaveFont(ini, *Image1);
    if (IsListEmpty()) {
        ini.WriteInteger(kTableSection, kRowCountKey, 0);
    } else {
        WritePictureTable(ini, Project().pictures);
    }
    ini.Save();
}

// ---- the picture list ----------------------------------------------------

QString TfmMain::Cell(int row, int column) const {
    const QTableWidgetItem* item = sgImages->item(row - 1, column);
    return item ? item->text() : QString();
}

void TfmMain::SetCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = sgImages->item(row - 1, column);
    item->setText(text);
    if (column == kFileColumn)
        item->setToolTip(text);  // the whole path, however narrow the column
}

int TfmMain::LastRow() const {
    return sgImages->rowCount();
}

void TfmMain::PrepareRow(int row) {
    const QPalette& palette = sgImages->palette();
    for (int column = 0; column < 4; ++column) {
        if (sgImages->item(row - 1, column) != nullptr)
            continue;
        auto* item = new QTableWidgetItem;
        if (column == kNumberColumn) {
            // The fixed column: never selected, never edited.
            item->setFlags(Qt::NoItemFlags);
            item->setBackground(palette.brush(QPalette::Button));
            item->setForeground(palette.brush(QPalette::ButtonText));
        } else if (column == kNotesColumn) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        } else {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        sgImages->setItem(row - 1, column, item);
    }
}

void TfmMain::SetRows(const std::vector<PictureEntry>& rows) {
    sgImages->setRowCount(static_cast<int>(rows.size()));
    int row = 0;
    for (const PictureEntry& entry : rows) {
        ++row;
        PrepareRow(row);
        SetCell(row, kNumberColumn, QString::number(row));
        SetCell(row, kFileColumn, FromUtf8(entry.path));
        SetCell(row, kSizeColumn, FromUtf8(entry.size_text));
        SetCell(row, kNotesColumn, FromUtf8(entry.note));
    }
    SelectRow(1, kFileColumn);
}

int TfmMain::SelectedRow() const {
    const int row = sgImages->currentRow();
    return row < 0 ? 0 : row + 1;
}

void TfmMain::SelectRow(int row, int column) {
    const bool was = updating_list_;
    updating_list_ = true;
    sgImages->setCurrentCell(row - 1, column);
    updating_list_ = was;
}

bool TfmMain::IsListEmpty() const {
    return LastRow() == 1 && Cell(1, kNumberColumn).isEmpty();
}

void TfmMain::UpdateCount() {
    int count = 0;
    for (int row = 1; row <= LastRow(); ++row) {
        if (!Cell(row, kNumberColumn).isEmpty())
            ++count;
    }
    Label14->setText(QString::number(count));
}

CrosswordProject TfmMain::Project() const {
    CrosswordProject project;
    project.name = Utf8(Edit2->text());
    project.info = Utf8(Edit6->text());
    project.splash = CheckBox3->isChecked();
    project.splash_path = Utf8(Edit1->text());
    project.list_empty = IsListEmpty();
    if (!project.list_empty) {
        for (int row = 1; row <= LastRow(); ++row) {
            project.pictures.push_back({row, Utf8(Cell(row, kFileColumn)),
                                        Utf8(Cell(row, kSizeColumn)),
                                        Utf8(Cell(row, kNotesColumn))});
        }
    }
    return project;
}

std::optional<std::string> TfmMain::AddPictureRow(const QString& path) {
    int row = 1;
    if (!IsListEmpty()) {
        row = LastRow() + 1;
        sgImages->setRowCount(row);
        PrepareRow(row);
    }
    SetCell(row, kNumberColumn, QString::number(row));
    SetCell(row, kFileColumn, path);
    SetCell(row, kSizeColumn, QString());
    SetCell(row, kNotesColumn, QString());
    try {
        SetCell(row, kSizeColumn, FromUtf8(PictureSizeText(Utf8(path))));
    } catch (const std::bad_alloc&) {
        return std::string(kOutOfMemory);
    } catch (const std::exception& e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

void TfmMain::AddPictureFiles(const QStringList& paths) {
    if (paths.isEmpty())
        return;
    QStringList failures;
    {
        const bool was = updating_list_;
        updating_list_ = true;
        for (const QString& path : paths) {
            if (auto failure = AddPictureRow(path))
                failures.append(FromUtf8(*failure));
        }
        updating_list_ = was;
    }
    // The count follows the list even when a picture could not be read: its
    // row stays, without a size.
    UpdateCount();
    if (!failures.isEmpty())
        throw Error(Utf8(failures.join(QLatin1Char('\n'))));
    RefreshPreview();
}

void TfmMain::BitBtn4Click() {
    const QString path =
        AskOpenFileName(QStringLiteral("Select image"), QStringLiteral("*.bmp (*.bmp)"));
    if (path.isEmpty())
        return;
    AddPictureFiles({path});
}

void TfmMain::BitBtn5Click() {
    const int selected = SelectedRow();
    if (selected == 0)
        return;
    const int last = LastRow();
    const bool was = updating_list_;
    updating_list_ = true;
    for (int row = selected; row < last; ++row) {
        for (int column = kFileColumn; column <= kNotesColumn; ++column) {
            SetCell(row, column, Cell(row + 1, column));
        }
        SetCell(row, kNumberColumn, QString::number(row));
    }
    for (int column = kNumberColumn; column <= kNotesColumn; ++column)
        SetCell(last, column, QString());
    // A single remaining row is only cleared: that is the empty list.
    if (last > 1)
        sgImages->setRowCount(last - 1);
    updating_list_ = was;
    UpdateCount();
    RefreshPreview();
}

void TfmMain::SwapRows(int a, int b) {
    for (int column = kFileColumn; column <= kNotesColumn; ++column) {
        const QString text = Cell(a, column);
        SetCell(a, column, Cell(b, column));
        SetCell(b, column, text);
    }
}

void TfmMain::BitBtn6Click() {
    const int row = SelectedRow();
    if (row > 1) {
        const int column = sgImages->currentColumn();
        SwapRows(row - 1, row);
        SelectRow(row - 1, column);
    }
    RefreshPreview();
}

void TfmMain::BitBtn7Click() {
    const int row = SelectedRow();
    if (row >= 1 && row < LastRow()) {
        const int column = sgImages->currentColumn();
        SwapRows(row, row + 1);
        SelectRow(row + 1, column);
    }
    RefreshPreview();
}

void TfmMain::sgImagesSelectCell(int, int column) {
    // Only "Notes" is typed into; "File" and "Size" change through the buttons.
    if (column == kFileColumn || column == kSizeColumn) {
        sgImages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    } else {
        sgImages->setEditTriggers(
            QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    }
}

void TfmMain::sgImagesClick() {
    RefreshPreview();
}

// ---- preview -------------------------------------------------------------

void TfmMain::RefreshPreview() {
    std::optional<PreviewRequest> request;
    const int row = SelectedRow();
    if (!IsListEmpty() && row >= 1) {
        request = PreviewRequest{Utf8(Cell(row, kFileColumn)), ComboBox1->currentIndex(),
                                 CheckBox1->isChecked(), Panel3->contentsRect().size()};
    }
    struct Repaint {
        QWidget* surface;
        ~Repaint() { surface->update(); }
    } repaint{Image1};
    DrawPreview(Image1->Image(), palette().color(QPalette::Button), request);
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

void TfmMain::Button5Click() {
    const QString path =
        AskOpenFileName(QStringLiteral("Select image"), QStringLiteral("*.png (*.png)"));
    if (!path.isEmpty())
        Edit1->setText(path);
}

void TfmMain::AddLogLine(const std::string& text) {
    Memo2->appendPlainText(FromUtf8(text));
    Memo2->verticalScrollBar()->setValue(Memo2->verticalScrollBar()->maximum());
    // A build blocks the event loop: paint now so each line shows as it comes.
    Memo2->viewport()->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfmMain::Button1Click() {
    if (building_)
        return;
    Button2->setEnabled(false);
    CommitPendingEdit();
    const CrosswordProject project = Project();
    building_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Finish {
        TfmMain& window;
        ~Finish() {
            QApplication::restoreOverrideCursor();
            window.building_ = false;
        }
    } finish{*this};
    const BuildOutcome outcome =
        run_build_ ? run_build_(project, [this](const std::string& line) { AddLogLine(line); })
                   : BuildOutcome{};
    if (!outcome.suite_folder.empty())
        show_target_ = outcome.suite_folder;
    Button2->setEnabled(outcome.success);
    if (close_after_build_)
        QTimer::singleShot(0, this, &QWidget::close);
}

void TfmMain::Button2Click() {
    if (show_target_.empty())
        return;
    if (!OpenFolder(FromUtf8(show_target_)))
        throw Error("Can not open folder " + show_target_);
}

void TfmMain::Button3Click() {
    const QString path = AskOpenFileName(QString(), QString());
    if (path.isEmpty())
        return;
    const std::string output = ExportByteArray(Utf8(path));
    std::error_code ec;
    const auto size = std::filesystem::file_size(output, ec);
    AddLogLine("Create file " + output + ", size " + std::to_string(ec ? 0 : size) + " bytes");
}

void TfmMain::Button4Click() {
    ShowMessageBox(QMessageBox::Information, QStringLiteral("About"),
                   QStringLiteral("Grix ") + ProgramVersion() +
                       QStringLiteral("\n\n"
                                      "Nonogram games for Java ME phones\n"
                                      "Written by the Grix team at Tarnfield\n"
                                      "Copyright (C) 2026 Tarnfield\n"
                                      "Contact: grix@tarnfield.example\n"
                                      "Web: https://tarnfield.example/grix"));
}

}  // namespace grix
