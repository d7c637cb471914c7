// The main window's controls, layouts, menus and status bar.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "app/picture_list.h"
#include "app/preview.h"
#include "builder/project_settings.h"
#include "core/ini_file.h"

namespace grix {
namespace {

constexpr int kRowHeight = 16;
constexpr int kColumnWidths[] = {20, 180, 39, 150, 110};
constexpr int kButtonBarHeight = 33;

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

// A status bar label that gives up the middle of its text, not the whole
// bar, when the window is narrow; the full text stays in its tooltip.
class ElidingLabel : public QLabel {
  public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override {
        return {fontMetrics().horizontalAdvance(QStringLiteral("Suites: ...")),
                QLabel::minimumSizeHint().height()};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

// "Text (Shortcut)": the shortcut shown where the action is offered.
QString WithShortcut(const QString& text, const QKeySequence& keys) {
    return keys.isEmpty() ? text
                          : text + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) +
                                QLatin1Char(')');
}

}  // namespace

template <typename Control>
Control* TfmMain::Create(const char* name, QWidget* parent) {
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    components_.push_back(control);
    return control;
}

void TfmMain::BuildLayout() {
    // Created in the order the settings file visits them: Edit2, Edit6,
    // Edit1, CheckBox3, ComboBox1, CheckBox1.
    auto* central = new QWidget(this);
    setCentralWidget(central);
    Splitter1 = Create<QSplitter>("Splitter1", central);
    Splitter1->setOrientation(Qt::Vertical);
    Splitter1->setChildrenCollapsible(false);
    Panel1 = Create<QWidget>("Panel1", Splitter1);
    Splitter2 = Create<QSplitter>("Splitter2", Panel1);
    Splitter2->setChildrenCollapsible(false);

    auto* left = new QWidget(Splitter2);
    Label1 = Create<QLabel>("Label1", left);
    Label1->setText(QStringLiteral("Crossword &name (midlet name)"));
    Edit2 = Create<QLineEdit>("Edit2", left);
    Edit2->setText(QLatin1String(kDefaultCrosswordName));
    Label1->setBuddy(Edit2);
    Label2 = Create<QLabel>("Label2", left);
    Label2->setText(QStringLiteral("&Information about crossword, author etc."));
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
    sgImages->setColumnCount(kPictureColumnCount);
    sgImages->verticalHeader()->hide();  // column 0 holds the numbers
    sgImages->verticalHeader()->setDefaultSectionSize(
        std::max(kRowHeight, sgImages->fontMetrics().height() + 2));
    sgImages->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgImages->horizontalHeader()->setSectionsClickable(false);
    sgImages->horizontalHeader()->setMinimumSectionSize(kColumnWidths[0]);
    sgImages->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    sgImages->horizontalHeader()->setHighlightSections(false);
    sgImages->horizontalHeader()->setStretchLastSection(true);
    // The widths were chosen for a small 8-point font: "№" takes what three
    // digits need, "Size" what "888 * 888" needs, and "File" gives that up.
    const QFontMetrics metrics = sgImages->fontMetrics();
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
        sgImages->setColumnWidth(c, widths[c]);
    sgImages->setSelectionMode(QAbstractItemView::SingleSelection);
    sgImages->setSelectionBehavior(QAbstractItemView::SelectItems);
    sgImages->setShowGrid(true);
    sgImages->setWordWrap(false);
    // Tab leaves the list in one press; the arrows move inside it.
    sgImages->setTabKeyNavigation(false);
    sgImages->setItemDelegateForColumn(kFileColumn, new FileDelegate(sgImages));
    sgImages->setItemDelegateForColumn(kNotesColumn, new NoteDelegate(sgImages));
    sgImages->setItemDelegateForColumn(kCheckColumn, new CheckDelegate(sgImages));
    sgImages->viewport()->setAcceptDrops(true);
    ShowPictureRows(*sgImages, {});
    ListHint = new QLabel(QStringLiteral("Add pictures with Add image or drop BMP files here"),
                          sgImages->viewport());
    ListHint->setObjectName(QStringLiteral("ListHint"));
    ListHint->setAlignment(Qt::AlignCenter);
    ListHint->setWordWrap(true);
    ListHint->setEnabled(false);  // drawn in the disabled text colour: a hint, not data
    ListHint->setAttribute(Qt::WA_TransparentForMouseEvents);

    Edit1 = Create<QLineEdit>("Edit1", left);
    CheckBox3 = Create<QCheckBox>("CheckBox3", left);
    CheckBox3->setText(QStringLiteral("Add image (PNG file only) for splash screen"));
    CheckBox3->setLayoutDirection(Qt::RightToLeft);  // caption left of the box
    Button5 = Create<QPushButton>("Button5", left);
    Button5->setText(QStringLiteral("..."));
    Button5->setToolTip(QStringLiteral("Choose the splash picture (PNG)"));
    Button5->setFixedWidth(Button5->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);

    auto* right = new QWidget(Splitter2);
    Label3 = Create<QLabel>("Label3", right);
    Label3->setText(QStringLiteral("Image &preview"));
    ComboBox1 = Create<QComboBox>("ComboBox1", right);
    for (int step = 1; step <= kZoomSteps; ++step)
        ComboBox1->addItem(QString::number(step * 100) + QLatin1Char('%'));
    ComboBox1->addItem(QStringLiteral("Fit"));
    ComboBox1->setCurrentIndex(kFitZoomIndex);
    ComboBox1->setToolTip(QStringLiteral("Zoom: 100% shows one pixel per cell"));
    Label3->setBuddy(ComboBox1);
    CheckBox1 = Create<QCheckBox>("CheckBox1", right);
    CheckBox1->setText(QStringLiteral("&Grid"));
    CheckBox1->setLayoutDirection(Qt::RightToLeft);
    ShowAmbiguity = Create<QCheckBox>("ShowAmbiguity", right);
    ShowAmbiguity->setText(QStringLiteral("Show &ambiguity"));
    ShowAmbiguity->setLayoutDirection(Qt::RightToLeft);
    ShowAmbiguity->setToolTip(
        QStringLiteral("Mark the cells that differ in another solution of the same clues"));
    Panel3 = Create<QScrollArea>("Panel3", right);
    Panel3->setMinimumSize(40, 40);
    Panel3->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Panel3->setFrameShape(QFrame::NoFrame);
    Panel3->setWidgetResizable(false);
    Panel3->setBackgroundRole(QPalette::Button);
    Image1 = Create<PreviewSurface>("Image1", nullptr);
    Panel3->setWidget(Image1);

    Memo2 = Create<QPlainTextEdit>("Memo2", Splitter1);
    Memo2->setReadOnly(true);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);

    Panel2 = Create<QWidget>("Panel2", central);
    Panel2->setFixedHeight(kButtonBarHeight);
    Button1 = Create<QPushButton>("Button1", Panel2);
    Button1->setText(QStringLiteral("Start"));
    Button2 = Create<QPushButton>("Button2", Panel2);
    Button2->setText(QStringLiteral("Show midlets"));
    Button2->setEnabled(false);
    BuildProgress = new QProgressBar(Panel2);
    BuildProgress->setObjectName(QStringLiteral("BuildProgress"));
    BuildProgress->setFormat(QStringLiteral("%v of %m pictures"));
    BuildProgress->hide();
    CancelButton = new QPushButton(QStringLiteral("Cancel"), Panel2);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->hide();
    Button4 = Create<QPushButton>("Button4", Panel2);
    Button4->setText(QStringLiteral("About"));

    // Layouts: nothing has a fixed width, so at the narrowest window every
    // control keeps its own room and the preview takes what is left.
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
    Edit1->setMinimumWidth(60);

    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(4, 6, 6, 4);
    rightLayout->setSpacing(3);
    auto* captionRow = new QHBoxLayout;
    captionRow->addWidget(Label3);
    captionRow->addStretch(1);
    captionRow->addWidget(ComboBox1);
    rightLayout->addLayout(captionRow);
    // The options on a row of their own, so that a narrow preview still
    // shows every caption whole.
    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(CheckBox1);
    optionRow->addWidget(ShowAmbiguity);
    optionRow->addStretch(1);
    rightLayout->addLayout(optionRow);
    rightLayout->addWidget(Panel3, 1);

    auto* topLayout = new QHBoxLayout(Panel1);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(Splitter2);
    // A wider window widens the list too, so its verdicts read whole.
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({561, 232});

    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({381, 100});
    Splitter1->setHandleWidth(3);

    auto* barLayout = new QHBoxLayout(Panel2);
    barLayout->setContentsMargins(6, 3, 6, 3);
    barLayout->addWidget(Button1);
    barLayout->addWidget(Button2);
    barLayout->addWidget(BuildProgress, 1);
    barLayout->addWidget(CancelButton);
    barLayout->addStretch(1);
    barLayout->addWidget(Button4);

    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(Splitter1, 1);
    outer->addWidget(Panel2);

    StatusProject = new QLabel(statusBar());
    StatusCount = new QLabel(statusBar());
    StatusSize = new QLabel(statusBar());
    StatusBuild = new ElidingLabel(statusBar());
    StatusSuites = new ElidingLabel(statusBar());
    // The labels are the bar's normal widgets, so that a passing message
    // ("Saved ...", "Not added: ...") takes their room while it shows; only
    // the suite folder stays, at the right edge.
    for (QLabel* label : {StatusProject, StatusCount, StatusSize})
        statusBar()->addWidget(label);
    statusBar()->addWidget(StatusBuild, 1);
    StatusSuites->setMaximumWidth(260);
    statusBar()->addPermanentWidget(StatusSuites);
}

void TfmMain::BuildMenus() {
    undo_ = new QUndoStack(this);
    const auto action = [this](const QString& text, const QKeySequence& keys, auto slot) {
        auto* created = new QAction(text, this);
        if (!keys.isEmpty())
            created->setShortcut(keys);
        created->setToolTip(WithShortcut(
            QString(text).remove(QLatin1Char('&')).remove(QStringLiteral("...")), keys));
        connect(created, &QAction::triggered, this,
                [this, slot] { Guarded([this, slot] { slot(); }); });
        return created;
    };
    actionNew =
        action(QStringLiteral("&New project..."), QKeySequence::New, [this] { NewProject(); });
    actionOpen =
        action(QStringLiteral("&Open project..."), QKeySequence::Open, [this] { OpenProject(); });
    actionSave =
        action(QStringLiteral("&Save project"), QKeySequence::Save, [this] { SaveProject(); });
    actionSaveAs =
        action(QStringLiteral("Save project &as..."), QKeySequence(QStringLiteral("Ctrl+Shift+S")),
               [this] { SaveProjectAs(); });
    actionQuit = action(QStringLiteral("&Quit"), QKeySequence(QStringLiteral("Ctrl+Q")),
                        [this] { close(); });
    actionUndo = undo_->createUndoAction(this, QStringLiteral("&Undo"));
    actionUndo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    actionRedo = undo_->createRedoAction(this, QStringLiteral("&Redo"));
    actionRedo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    actionAddImage = action(QStringLiteral("&Add image..."), QKeySequence(Qt::Key_Insert),
                            [this] { AddPictures(); });
    actionImport = action(QStringLiteral("&Import picture..."),
                          QKeySequence(QStringLiteral("Ctrl+I")), [this] { ImportPicture(); });
    actionImport->setToolTip(
        QStringLiteral("Make a crossword picture from a PNG, JPEG or GIF picture (Ctrl+I)"));
    actionRemoveImage = action(QStringLiteral("&Remove image"), QKeySequence(),
                               [this] { RemoveSelectedPicture(); });
    actionUp = action(QStringLiteral("Move &up"), QKeySequence(QStringLiteral("Ctrl+Up")),
                      [this] { MovePictureUp(); });
    actionDown = action(QStringLiteral("Move &down"), QKeySequence(QStringLiteral("Ctrl+Down")),
                        [this] { MovePictureDown(); });
    actionStart = action(QStringLiteral("&Start"), QKeySequence(QStringLiteral("Ctrl+B")),
                         [this] { StartBuild(); });
    actionCancel = action(QStringLiteral("&Cancel build"), QKeySequence(Qt::Key_Escape),
                          [this] { CancelBuild(); });
    actionCancel->setEnabled(false);
    actionShowMidlets =
        action(QStringLiteral("Show &midlets"), QKeySequence(QStringLiteral("Ctrl+M")),
               [this] { ShowSuiteFolder(); });
    actionShowMidlets->setEnabled(false);
    actionExport = action(QStringLiteral("&Export file as byte array..."), QKeySequence(),
                          [this] { ExportFileAsByteArray(); });
    actionHelp =
        action(QStringLiteral("Grix &help"), QKeySequence(Qt::Key_F1), [this] { ShowHelp(); });
    actionAbout = action(QStringLiteral("&About"), QKeySequence(), [this] { ShowAbout(); });
    actionRemoveImage->setToolTip(QStringLiteral("Remove image (Delete on its File cell)"));

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addActions({actionNew, actionOpen});
    menuRecent = file->addMenu(QStringLiteral("Open &recent"));
    menuRecent->setObjectName(QStringLiteral("menuRecent"));
    file->addSeparator();
    file->addActions({actionSave, actionSaveAs});
    file->addSeparator();
    file->addAction(actionQuit);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addActions({actionUndo, actionRedo});
    edit->addSeparator();
    edit->addActions({actionAddImage, actionImport, actionRemoveImage, actionUp, actionDown});
    QMenu* build = menuBar()->addMenu(QStringLiteral("&Build"));
    build->addActions({actionStart, actionCancel, actionShowMidlets});
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->addAction(actionExport);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addActions({actionHelp, actionAbout});
    for (QMenu* menu : {file, edit, build, tools, help})
        menu->setToolTipsVisible(true);

    // The buttons say which key does the same.
    BitBtn4->setToolTip(actionAddImage->toolTip());
    BitBtn5->setToolTip(actionRemoveImage->toolTip());
    BitBtn6->setToolTip(QStringLiteral("Move the picture up (Ctrl+Up)"));
    BitBtn7->setToolTip(QStringLiteral("Move the picture down (Ctrl+Down)"));
    Button1->setToolTip(QStringLiteral("Build the MIDlet suite (Ctrl+B)"));
    Button2->setToolTip(QStringLiteral("Open the folder the suites are written to (Ctrl+M)"));
    CancelButton->setToolTip(QStringLiteral("Stop the build (Esc)"));
    Button4->setToolTip(QStringLiteral("About Grix (F1 for help)"));
}

}  // namespace grix
