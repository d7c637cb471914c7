// The list's controls, its actions and the events it answers itself.
#include "app/picture_list_editor.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

#include "app/window_actions.h"
#include "core/ini_file.h"

namespace grix {
namespace {

constexpr int kRowHeight = 16;
constexpr int kColumnWidths[] = {20, 180, 39, 150, 110};

// Notes are edited in a line no longer than the settings file keeps, so
// what the author sees is what is kept.
class NoteDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(static_cast<int>(kIniValueCharacterLimit));
        return editor;
    }
};

// A path's end names the file: the File column cuts paths on the left.
class FileDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideLeft;
    }
};

// The check column: where the whole verdict does not fit, its short form
// (the mark's colour and one word) instead of a cut sentence; the whole
// text stays in the tooltip.
class CheckDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString brief = index.data(kBriefCheckRole).toString();
        const int room = option->rect.width() - option->decorationSize.width() - 12;
        if (!brief.isEmpty() && option->fontMetrics.horizontalAdvance(option->text) > room)
            option->text = brief;
    }
};

template <typename Control>
Control* Named(const char* name, QWidget* parent) {
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

}  // namespace

PictureListEditor::PictureListEditor(QUndoStack* undo, Hooks hooks, QWidget* parent)
    : QWidget(parent),
      undo_(undo),
      hooks_(std::move(hooks)),
      checks_(this, [this](const QString& path) {
          UpdateChecks(false);
          emit pictureChecked(path);
      }) {
    setObjectName(QStringLiteral("PictureList"));
    watcher_ = new QFileSystemWatcher(this);
    BuildControls();

    const auto run = [this](void (PictureListEditor::*operation)()) {
        return [this, operation] { hooks_.guarded([this, operation] { (this->*operation)(); }); };
    };
    connect(add_button_, &QPushButton::clicked, this, run(&PictureListEditor::AddPictures));
    connect(remove_button_, &QPushButton::clicked, this,
            run(&PictureListEditor::RemoveSelectedPicture));
    connect(up_button_, &QPushButton::clicked, this, run(&PictureListEditor::MovePictureUp));
    connect(down_button_, &QPushButton::clicked, this, run(&PictureListEditor::MovePictureDown));
    connect(add_action_, &QAction::triggered, this, run(&PictureListEditor::AddPictures));
    connect(remove_action_, &QAction::triggered, this,
            run(&PictureListEditor::RemoveSelectedPicture));
    connect(up_action_, &QAction::triggered, this, run(&PictureListEditor::MovePictureUp));
    connect(down_action_, &QAction::triggered, this, run(&PictureListEditor::MovePictureDown));
    connect(import_action_, &QAction::triggered, this,
            [this] { hooks_.guarded([this] { ImportPicture(); }); });

    connect(grid_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previous_row, int) {
                OnSelectionChanged();
                // Selecting another row (by mouse or keyboard) shows its picture;
                // the list operations refresh the preview themselves.
                if (row != previous_row && !updating_list_)
                    emit previewNeeded();
            });
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int) {
        // A click on the row already selected still redraws it (the file may
        // have changed); a click that selected the row has drawn it already.
        if (row == row_at_press_)
            emit previewNeeded();
    });
    connect(grid_, &QTableWidget::cellChanged, this,
            [this](int row, int column) { OnNoteEdited(row, column); });
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { UpdateChecks(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { UpdateChecks(); });
    grid_->installEventFilter(this);
    grid_->viewport()->installEventFilter(this);
    UpdateCount();
}

PictureListEditor::~PictureListEditor() {
    // The grid outlives this object's members by a moment; a note editor
    // still open commits its text while it goes.
    updating_list_ = true;
    disconnect(grid_, nullptr, this, nullptr);
    disconnect(watcher_, nullptr, this, nullptr);
}

void PictureListEditor::BuildControls() {
    images_caption_ = Named<QLabel>("Label13", this);
    images_caption_->setText(QStringLiteral("Images:"));
    images_count_ = Named<QLabel>("Label14", this);
    images_count_->setText(QStringLiteral("0"));
    add_button_ = Named<QPushButton>("BitBtn4", this);
    add_button_->setText(QStringLiteral("Add image"));
    remove_button_ = Named<QPushButton>("BitBtn5", this);
    remove_button_->setText(QStringLiteral("Remove image"));
    up_button_ = Named<QPushButton>("BitBtn6", this);
    up_button_->setText(QStringLiteral("Up"));
    down_button_ = Named<QPushButton>("BitBtn7", this);
    down_button_->setText(QStringLiteral("Down"));

    grid_ = Named<QTableWidget>("sgImages", this);
    grid_->setColumnCount(kPictureColumnCount);
    grid_->verticalHeader()->hide();  // column 0 holds the numbers
    grid_->verticalHeader()->setDefaultSectionSize(
        std::max(kRowHeight, grid_->fontMetrics().height() + 2));
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = grid_->horizontalHeader();
    header->setSectionsClickable(false);
    header->setMinimumSectionSize(kColumnWidths[0]);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    // The widths were chosen for a small 8-point font: "№" takes what three
    // digits need, "Size" what "888 * 888" needs, and "File" gives that up.
    const QFontMetrics metrics = grid_->fontMetrics();
    const int number_width = std::max(kColumnWidths[kNumberColumn],
                                      metrics.horizontalAdvance(QStringLiteral("999")) + 12);
    const int size_width = std::max(kColumnWidths[kSizeColumn],
                                    metrics.horizontalAdvance(QStringLiteral("888 * 888")) + 12);
    const int widths[] = {
        number_width,
        std::max(80, kColumnWidths[kFileColumn] - (size_width - kColumnWidths[kSizeColumn]) -
                         (number_width - kColumnWidths[kNumberColumn])),
        size_width, kColumnWidths[kNotesColumn], kColumnWidths[kCheckColumn]};
    for (int c = 0; c < kPictureColumnCount; ++c)
        grid_->setColumnWidth(c, widths[c]);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setShowGrid(true);
    grid_->setWordWrap(false);
    // Tab leaves the list in one press; the arrows move inside it.
    grid_->setTabKeyNavigation(false);
    grid_->setItemDelegateForColumn(kFileColumn, new FileDelegate(grid_));
    grid_->setItemDelegateForColumn(kNotesColumn, new NoteDelegate(grid_));
    grid_->setItemDelegateForColumn(kCheckColumn, new CheckDelegate(grid_));
    grid_->viewport()->setAcceptDrops(true);
    ShowPictureRows(*grid_, {});
    grid_->setHorizontalHeaderLabels({QStringLiteral("\u2116"), QStringLiteral("File"),
                                      QStringLiteral("Size"), QStringLiteral("Notes"),
                                      QStringLiteral("Check")});
    empty_hint_ = new QLabel(QStringLiteral("Add pictures with Add image or drop BMP files here"),
                             grid_->viewport());
    empty_hint_->setObjectName(QStringLiteral("ListHint"));
    empty_hint_->setAlignment(Qt::AlignCenter);
    empty_hint_->setWordWrap(true);
    empty_hint_->setEnabled(false);  // drawn in the disabled text colour: a hint, not data
    empty_hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    status_count_ = new QLabel(this);
    status_count_->setObjectName(QStringLiteral("StatusCount"));
    status_size_ = new QLabel(this);
    status_size_->setObjectName(QStringLiteral("StatusSize"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(images_caption_);
    bar->addWidget(images_count_);
    bar->addStretch(1);
    for (QPushButton* button : {add_button_, remove_button_, up_button_, down_button_})
        bar->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addLayout(bar);
    layout->addWidget(grid_, 1);

    add_action_ = MakeAction(this, "actionAddImage", QStringLiteral("&Add image..."),
                             QKeySequence(Qt::Key_Insert));
    import_action_ = MakeAction(this, "actionImport", QStringLiteral("&Import picture..."),
                                QKeySequence(QStringLiteral("Ctrl+I")));
    import_action_->setToolTip(
        QStringLiteral("Make a crossword picture from a PNG, JPEG or GIF picture (Ctrl+I)"));
    remove_action_ = MakeAction(this, "actionRemoveImage", QStringLiteral("&Remove image"));
    remove_action_->setToolTip(QStringLiteral("Remove image (Delete on its File cell)"));
    up_action_ = MakeAction(this, "actionUp", QStringLiteral("Move &up"),
                            QKeySequence(QStringLiteral("Ctrl+Up")));
    down_action_ = MakeAction(this, "actionDown", QStringLiteral("Move &down"),
                              QKeySequence(QStringLiteral("Ctrl+Down")));

    // The buttons say which key does the same.
    add_button_->setToolTip(add_action_->toolTip());
    remove_button_->setToolTip(remove_action_->toolTip());
    up_button_->setToolTip(QStringLiteral("Move the picture up (Ctrl+Up)"));
    down_button_->setToolTip(QStringLiteral("Move the picture down (Ctrl+Down)"));
}

QList<QAction*> PictureListEditor::Actions() const {
    return {add_action_, import_action_, remove_action_, up_action_, down_action_};
}

QWidget* PictureListEditor::FocusWidget() const {
    return grid_;
}

void PictureListEditor::SaveColumns(QByteArray& state) const {
    state = grid_->horizontalHeader()->saveState();
}

void PictureListEditor::RestoreColumns(const QByteArray& state) {
    grid_->horizontalHeader()->restoreState(state);
}

bool PictureListEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            hooks_.guarded([this] { DeleteAtSelection(); });
            return true;
        }
    } else if (watched == grid_->viewport()) {
        switch (event->type()) {
            case QEvent::Resize:
                empty_hint_->setGeometry(grid_->viewport()->rect().adjusted(12, 24, -12, -12));
                break;
            case QEvent::MouseButtonPress: {
                row_at_press_ = grid_->currentRow();
                // The numbers cannot be selected themselves: a click on one
                // selects its picture.
                const auto* press = static_cast<QMouseEvent*>(event);
                const QModelIndex at = grid_->indexAt(press->position().toPoint());
                if (at.isValid() && at.column() == kNumberColumn && !IsEmpty()) {
                    grid_->setCurrentCell(at.row(), kFileColumn);
                    grid_->setFocus();
                    return true;
                }
                break;
            }
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                // Every local file is taken, so that a drop of something we
                // cannot use can say why it was refused.
                auto* drag = static_cast<QDropEvent*>(event);
                if (drag->mimeData()->hasUrls() && !building_) {
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
                hooks_.guarded([this, urls] { AddDroppedFiles(urls); });
                return true;
            }
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool PictureListEditor::IsEmpty() const {
    return IsPictureListEmpty(*grid_);
}

int PictureListEditor::SelectedRow() const {
    const int row = grid_->currentRow();
    return row < 0 || IsEmpty() ? 0 : row + 1;
}

QString PictureListEditor::SelectedPath() const {
    const int row = SelectedRow();
    return row >= 1 ? grid_->item(row - 1, kFileColumn)->text() : QString();
}

CellPosition PictureListEditor::CurrentCell() const {
    const int column = grid_->currentColumn();
    return {SelectedRow(), column < kFileColumn ? kFileColumn : column};
}

void PictureListEditor::SelectCell(CellPosition cell) {
    const bool was = updating_list_;
    updating_list_ = true;
    const int row = std::clamp(cell.row, 1, grid_->rowCount());
    grid_->setCurrentCell(row - 1, cell.column);
    updating_list_ = was;
    OnSelectionChanged();
}

void PictureListEditor::OnSelectionChanged() {
    // Only "Notes" is typed into; "File" and "Size" change through the buttons.
    const int column = grid_->currentColumn();
    if (column == kFileColumn || column == kSizeColumn || column == kCheckColumn || building_) {
        grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    } else {
        grid_->setEditTriggers(
            QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    }
    const int row = SelectedRow();
    const QTableWidgetItem* size = row > 0 ? grid_->item(row - 1, kSizeColumn) : nullptr;
    status_size_->setText(size && !size->text().isEmpty()
                              ? QStringLiteral("Selected: ") + size->text() +
                                    QStringLiteral(" cells")
                              : QString());
    UpdateButtons();
    emit selectionChanged();
}

void PictureListEditor::UpdateCount() {
    const int count = static_cast<int>(ReadPictureRows(*grid_).size());
    images_count_->setText(QString::number(count));
    status_count_->setText(count == 1 ? QStringLiteral("1 picture")
                                      : QString::number(count) + QStringLiteral(" pictures"));
    empty_hint_->setVisible(count == 0);
    UpdateButtons();
}

void PictureListEditor::UpdateButtons() {
    const bool idle = !building_;
    const int row = SelectedRow();
    const int last = static_cast<int>(shown_rows_.size());
    add_button_->setEnabled(idle);
    add_action_->setEnabled(idle);
    import_action_->setEnabled(idle);
    remove_button_->setEnabled(idle && row > 0);
    remove_action_->setEnabled(idle && row > 0);
    up_button_->setEnabled(idle && row > 1);
    up_action_->setEnabled(idle && row > 1);
    down_button_->setEnabled(idle && row > 0 && row < last);
    down_action_->setEnabled(idle && row > 0 && row < last);
}

void PictureListEditor::SetBuilding(bool building) {
    building_ = building;
    OnSelectionChanged();  // edit triggers and buttons
}

void PictureListEditor::CommitPendingEdit() {
    // Editors live in the grid's viewport; nothing else there takes focus.
    QWidget* editor = QApplication::focusWidget();
    if (editor != nullptr && grid_->viewport()->isAncestorOf(editor)) {
        QMetaObject::invokeMethod(grid_, "commitData", Qt::DirectConnection,
                                  Q_ARG(QWidget*, editor));
    }
}

}  // namespace grix
