// The main window's controls, layouts, menus and status bar.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/build_panel.h"
#include "app/cell_editor.h"
#include "app/eliding_label.h"
#include "app/main_window.h"
#include "app/picture_list_editor.h"
#include "app/preview.h"
#include "app/window_actions.h"
#include "builder/project_settings.h"

namespace grix {

template <typename Control>
Control* TfmMain::Create(const char* name, QWidget* parent) {
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    components_.push_back(control);
    return control;
}

void TfmMain::BuildLayout() {
    // The stored controls are created in the order the settings file visits
    // them: Edit2, Edit6, Edit1, CheckBox3, ComboBox1, CheckBox1, ShowAmbiguity.
    auto* central = new QWidget(this);
    setCentralWidget(central);
    vertical_split_ = Create<QSplitter>("Splitter1", central);
    vertical_split_->setOrientation(Qt::Vertical);
    vertical_split_->setChildrenCollapsible(false);
    auto* work = Create<QWidget>("Panel1", vertical_split_);
    horizontal_split_ = Create<QSplitter>("Splitter2", work);
    horizontal_split_->setChildrenCollapsible(false);

    auto* left = new QWidget(horizontal_split_);
    auto* name_label = Create<QLabel>("Label1", left);
    name_label->setText(QStringLiteral("Crossword &name (midlet name)"));
    name_field_ = Create<QLineEdit>("Edit2", left);
    name_field_->setText(QLatin1String(kDefaultCrosswordName));
    name_label->setBuddy(name_field_);
    auto* info_label = Create<QLabel>("Label2", left);
    info_label->setText(QStringLiteral("&Information about crossword, author etc."));
    info_field_ = Create<QLineEdit>("Edit6", left);
    info_field_->setText(QLatin1String(kDefaultCreditLine));
    info_label->setBuddy(info_field_);

    list_ = new PictureListEditor(
        undo_,
        {[this](const QString& title, const QString& filter) {
             return AskOpenFileNames(title, filter);
         },
         [this](const QString& source) { return RunImport(source); },
         [this](const QString& text) { ShowStatus(text); },
         [this](const std::function<void()>& operation) { Guarded(operation); },
         [this](const QString& path) {
             return editor_ != nullptr ? editor_->EditedCheck(path) : nullptr;
         }},
        left);

    splash_path_ = Create<QLineEdit>("Edit1", left);
    splash_box_ = Create<QCheckBox>("CheckBox3", left);
    splash_box_->setText(QStringLiteral("Add image (PNG file only) for splash screen"));
    splash_box_->setLayoutDirection(Qt::RightToLeft);  // caption left of the box
    splash_choose_ = Create<QPushButton>("Button5", left);
    splash_choose_->setText(QStringLiteral("..."));
    splash_choose_->setToolTip(QStringLiteral("Choose the splash picture (PNG)"));
    splash_choose_->setFixedWidth(
        splash_choose_->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);

    auto* right = new QWidget(horizontal_split_);
    auto* preview_label = Create<QLabel>("Label3", right);
    preview_label->setText(QStringLiteral("Image &preview"));
    zoom_box_ = Create<QComboBox>("ComboBox1", right);
    for (int step = 1; step <= kZoomSteps; ++step)
        zoom_box_->addItem(QString::number(step * 100) + QLatin1Char('%'));
    zoom_box_->addItem(QStringLiteral("Fit"));
    zoom_box_->setCurrentIndex(kFitZoomIndex);
    zoom_box_->setToolTip(QStringLiteral("Zoom: 100% shows one pixel per cell"));
    preview_label->setBuddy(zoom_box_);
    grid_box_ = Create<QCheckBox>("CheckBox1", right);
    grid_box_->setText(QStringLiteral("&Grid"));
    grid_box_->setLayoutDirection(Qt::RightToLeft);
    ambiguity_box_ = Create<QCheckBox>("ShowAmbiguity", right);
    ambiguity_box_->setText(QStringLiteral("Show &ambiguity"));
    ambiguity_box_->setLayoutDirection(Qt::RightToLeft);
    ambiguity_box_->setToolTip(
        QStringLiteral("Mark the cells that differ in another solution of the same clues"));
    // A tool button: as narrow as its caption, so that the row it shares
    // with the options does not take the list's room in a narrow window.
    fix_button_ = new QToolButton(right);
    fix_button_->setText(QStringLiteral("Fi&x it"));
    fix_button_->setObjectName(QStringLiteral("FixIt"));
    fix_button_->setToolTip(
        QStringLiteral("Change the fewest cells so that the clues have exactly one solution"));
    preview_panel_ = Create<QScrollArea>("Panel3", right);
    preview_panel_->setMinimumSize(40, 40);
    preview_panel_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    preview_panel_->setFrameShape(QFrame::NoFrame);
    preview_panel_->setWidgetResizable(false);
    preview_panel_->setBackgroundRole(QPalette::Button);
    preview_ = Create<PreviewSurface>("Image1", nullptr);
    preview_->SetHint(QStringLiteral("Click a cell to fill or clear it; drag to paint"));
    preview_panel_->setWidget(preview_);

    vertical_split_->addWidget(build_->Log());

    // Layouts: nothing has a fixed width, so at the narrowest window every
    // control keeps its own room and the preview takes what is left.
    auto* left_layout = new QVBoxLayout(left);
    left_layout->setContentsMargins(8, 6, 4, 4);
    left_layout->setSpacing(3);
    left_layout->addWidget(name_label);
    left_layout->addWidget(name_field_);
    left_layout->addWidget(info_label);
    left_layout->addWidget(info_field_);
    left_layout->addSpacing(4);
    left_layout->addWidget(list_, 1);
    auto* splash_row = new QHBoxLayout;
    splash_row->addWidget(splash_box_);
    splash_row->addWidget(splash_path_, 1);
    splash_row->addWidget(splash_choose_);
    left_layout->addLayout(splash_row);
    splash_path_->setMinimumWidth(60);

    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(4, 6, 6, 4);
    right_layout->setSpacing(3);
    auto* caption_row = new QHBoxLayout;
    caption_row->addWidget(preview_label);
    caption_row->addStretch(1);
    caption_row->addWidget(zoom_box_);
    right_layout->addLayout(caption_row);
    // The options on a row of their own, so that a narrow preview still
    // shows every caption whole.
    auto* option_row = new QHBoxLayout;
    option_row->addWidget(grid_box_);
    option_row->addWidget(ambiguity_box_);
    option_row->addWidget(fix_button_);
    option_row->addStretch(1);
    right_layout->addLayout(option_row);
    right_layout->addWidget(preview_panel_, 1);

    auto* top_layout = new QHBoxLayout(work);
    top_layout->setContentsMargins(0, 0, 0, 0);
    top_layout->addWidget(horizontal_split_);
    // A wider window widens the list too, so its verdicts read whole.
    horizontal_split_->setStretchFactor(0, 1);
    horizontal_split_->setStretchFactor(1, 1);
    horizontal_split_->setSizes({561, 232});

    vertical_split_->setStretchFactor(0, 1);
    vertical_split_->setStretchFactor(1, 0);
    vertical_split_->setSizes({381, 100});
    vertical_split_->setHandleWidth(3);

    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(vertical_split_, 1);
    outer->addWidget(build_->Bar());

    status_project_ = new QLabel(statusBar());
    status_project_->setObjectName(QStringLiteral("StatusProject"));
    status_suites_ = new ElidingLabel(statusBar());
    status_suites_->setObjectName(QStringLiteral("StatusSuites"));
    // The labels are the bar's normal widgets, so that a passing message
    // ("Saved ...", "Not added: ...") takes their room while it shows; only
    // the suite folder stays, at the right edge.
    for (QLabel* label : {status_project_, list_->CountLabel(), list_->SizeLabel()})
        statusBar()->addWidget(label);
    statusBar()->addWidget(build_->StatusLabel(), 1);
    status_suites_->setMaximumWidth(260);
    statusBar()->addPermanentWidget(status_suites_);
}

void TfmMain::BuildMenus() {
    const auto action = [this](const char* name, const QString& text, const QKeySequence& keys,
                               auto slot) {
        QAction* created = MakeAction(this, name, text, keys);
        connect(created, &QAction::triggered, this,
                [this, slot] { Guarded([this, slot] { slot(); }); });
        return created;
    };
    new_action_ = action("actionNew", QStringLiteral("&New project..."), QKeySequence::New,
                         [this] { NewProject(); });
    open_action_ = action("actionOpen", QStringLiteral("&Open project..."), QKeySequence::Open,
                          [this] { OpenProject(); });
    save_action_ = action("actionSave", QStringLiteral("&Save project"), QKeySequence::Save,
                          [this] { document_->Save(); });
    save_as_action_ = action("actionSaveAs", QStringLiteral("Save project &as..."),
                             QKeySequence(QStringLiteral("Ctrl+Shift+S")),
                             [this] { document_->SaveAs(); });
    new_picture_action_ = action("actionNewPicture", QStringLiteral("New &picture..."),
                                 QKeySequence(), [this] { editor_->NewPicture(); });
    new_picture_action_->setToolTip(QStringLiteral("Draw a new picture from a blank one"));
    fix_action_ = action("actionFixIt", QStringLiteral("Fi&x it"), QKeySequence(),
                         [this] { FixSelectedPicture(); });
    fix_action_->setToolTip(fix_button_->toolTip());
    QAction* quit = action("actionQuit", QStringLiteral("&Quit"),
                           QKeySequence(QStringLiteral("Ctrl+Q")), [this] { close(); });
    undo_action_ = undo_->createUndoAction(this, QStringLiteral("&Undo"));
    undo_action_->setObjectName(QStringLiteral("actionUndo"));
    undo_action_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    redo_action_ = undo_->createRedoAction(this, QStringLiteral("&Redo"));
    redo_action_->setObjectName(QStringLiteral("actionRedo"));
    redo_action_->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    QAction* export_file = action("actionExport", QStringLiteral("&Export file as byte array..."),
                                  QKeySequence(), [this] { ExportFileAsByteArray(); });
    QAction* help = action("actionHelp", QStringLiteral("Grix &help"), QKeySequence(Qt::Key_F1),
                           [this] { ShowHelp(); });
    QAction* about =
        action("actionAbout", QStringLiteral("&About"), QKeySequence(), [this] { ShowAbout(); });

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addActions({new_action_, open_action_});
    recent_menu_ = file->addMenu(QStringLiteral("Open &recent"));
    recent_menu_->setObjectName(QStringLiteral("menuRecent"));
    file->addSeparator();
    file->addAction(new_picture_action_);
    file->addSeparator();
    file->addActions({save_action_, save_as_action_});
    file->addSeparator();
    file->addAction(quit);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addActions({undo_action_, redo_action_});
    edit->addSeparator();
    edit->addActions(list_->Actions());
    edit->addSeparator();
    edit->addAction(fix_action_);
    QMenu* build = menuBar()->addMenu(QStringLiteral("&Build"));
    build->addActions(build_->Actions());
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->addAction(export_file);
    QMenu* help_menu = menuBar()->addMenu(QStringLiteral("&Help"));
    help_menu->addActions({help, about});
    for (QMenu* menu : {file, edit, build, tools, help_menu})
        menu->setToolTipsVisible(true);
}

}  // namespace grix
