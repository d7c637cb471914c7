#include "app/import_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "app/picture_checks.h"
#include "convert/cell_bmp_writer.h"
#include "puzzle/clues.h"

namespace grix {
namespace {

constexpr int kDebounceMs = 40;
constexpr int kDefaultCellWidth = 30;
constexpr int kSourceViewSide = 260;
const QColor kLineColour(176, 176, 240);
const QColor kFifthLineColour(96, 96, 176);
const QColor kDiffersColour(220, 40, 40);

QString Dot(const QColor& colour) {
    return QStringLiteral("<span style=\"color:%1\">&#9679;</span> ").arg(colour.name());
}

QString ClueText(const LineClue& clue) {
    if (clue.empty())
        return QStringLiteral("0");
    QStringList parts;
    for (const int run : clue)
        parts << QString::number(run);
    return parts.join(QLatin1Char(' '));
}

// Enter in a number box applies the number instead of pressing the
// dialog's default button ("Save and add...").
class ApplyOnEnter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (auto* box = qobject_cast<QAbstractSpinBox*>(watched)) {
            box->interpretText();
            box->selectAll();
        }
        return true;
    }
};

QImage ImageOf(const LumaImage& luma) {
    QImage image(luma.width, luma.height, QImage::Format_Grayscale8);
    for (int y = 0; y < luma.height; ++y) {
        std::copy_n(luma.y.data() + static_cast<std::size_t>(y) * luma.width, luma.width,
                    image.scanLine(y));
    }
    return image;
}

}  // namespace

// The cells as the phone will show the puzzle: the grid with every fifth
// line darker, the row clues on the left and the column clues on top, and
// the cells where another solution differs marked.
class CellsView : public QWidget {
  public:
    explicit CellsView(QWidget* parent) : QWidget(parent) {
        setMinimumSize(320, 260);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void SetCells(const CellGrid& cells) {
        cells_ = cells;
        rows_ = RowClues(cells);
        columns_ = ColumnClues(cells);
        differs_.clear();
        update();
    }
    void SetDiffers(const std::vector<std::pair<int, int>>& differs) {
        differs_ = differs;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
        if (cells_.width <= 0 || cells_.height <= 0)
            return;

        // The clue font follows the cell size, down to a size still read;
        // below it the clues give way to the cells.
        QFont font = this->font();
        int cell = 0, clue_width = 0, clue_height = 0;
        bool clues = true;
        for (int pixel_size : {13, 11, 9, 7}) {
            font.setPixelSize(pixel_size);
            const QFontMetrics metrics(font);
            clue_width = 0;
            int numbers = 1;
            for (const LineClue& clue : rows_)
                clue_width = std::max(clue_width, metrics.horizontalAdvance(ClueText(clue)));
            // A column's numbers stand one above the other, each no wider
            // than its cell, or two-digit numbers run into their neighbours.
            int number_width = 0;
            for (const LineClue& clue : columns_) {
                numbers = std::max(numbers, static_cast<int>(clue.size()));
                for (const int run : clue)
                    number_width =
                        std::max(number_width, metrics.horizontalAdvance(QString::number(run)));
            }
            clue_width += 6;
            clue_height = numbers * metrics.height() + 4;
            cell = std::min((width() - 8 - clue_width) / cells_.width,
                            (height() - 8 - clue_height) / cells_.height);
            if (cell >= pixel_size + 2 && cell >= number_width + 2)
                break;
        }
        if (cell < 9) {
            clues = false;
            clue_width = clue_height = 0;
            cell =
                std::max(1, std::min((width() - 8) / cells_.width, (height() - 8) / cells_.height));
        }
        const int left = (width() - clue_width - cell * cells_.width) / 2 + clue_width;
        const int top = (height() - clue_height - cell * cells_.height) / 2 + clue_height;

        // One pixel per cell, enlarged without smoothing: a 1000 x 1000
        // crossword paints as fast as a small one.
        QImage image(cells_.width, cells_.height, QImage::Format_Grayscale8);
        for (int y = 0; y < cells_.height; ++y) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < cells_.width; ++x)
                row[x] = cells_.Filled(x, y) ? 0 : 255;
        }
        painter.drawImage(QRect(left, top, cell * cells_.width, cell * cells_.height), image);
        if (cell >= 4) {
            for (int i = 0; i <= cells_.width; ++i) {
                painter.setPen(i % 5 == 0 ? kFifthLineColour : kLineColour);
                painter.drawLine(left + i * cell, top, left + i * cell, top + cells_.height * cell);
            }
            for (int i = 0; i <= cells_.height; ++i) {
                painter.setPen(i % 5 == 0 ? kFifthLineColour : kLineColour);
                painter.drawLine(left, top + i * cell, left + cells_.width * cell, top + i * cell);
            }
        }
        painter.setPen(QPen(kDiffersColour, std::max(1, cell / 6)));
        for (const auto& [x, y] : differs_) {
            const int inset = std::max(1, cell / 5);
            painter.drawRect(left + x * cell + inset, top + y * cell + inset, cell - 2 * inset,
                             cell - 2 * inset);
        }
        if (!clues)
            return;

        painter.setFont(font);
        painter.setPen(palette().color(QPalette::Text));
        const QFontMetrics metrics(font);
        for (int y = 0; y < cells_.height; ++y) {
            painter.drawText(QRect(left - clue_width, top + y * cell, clue_width - 4, cell),
                             Qt::AlignRight | Qt::AlignVCenter,
                             ClueText(rows_[static_cast<std::size_t>(y)]));
        }
        for (int x = 0; x < cells_.width; ++x) {
            const LineClue& clue = columns_[static_cast<std::size_t>(x)];
            const QStringList numbers = ClueText(clue).split(QLatin1Char(' '));
            for (int i = 0; i < numbers.size(); ++i) {
                const int row_from_bottom = static_cast<int>(numbers.size()) - i;
                painter.drawText(
                    QRect(left + x * cell, top - 2 - row_from_bottom * metrics.height(), cell,
                          metrics.height()),
                    Qt::AlignCenter, numbers[i]);
            }
        }
    }

  private:
    CellGrid cells_;
    Clues rows_, columns_;
    std::vector<std::pair<int, int>> differs_;
};

bool IsImportPicture(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("png") || suffix == QLatin1String("jpg") ||
           suffix == QLatin1String("jpeg") || suffix == QLatin1String("gif");
}

QString ImportPictureFilter() {
    return QObject::tr("Pictures (*.png *.jpg *.jpeg *.gif *.bmp *.PNG *.JPG *.JPEG *.GIF *.BMP)");
}

std::optional<ImportedPicture> RunImportDialog(QWidget* parent, const QString& source) {
    QString path = source;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(parent, QObject::tr("Import picture"), QString(),
                                            ImportPictureFilter());
        if (path.isEmpty())
            return std::nullopt;
    }
    std::optional<ImportPreview> preview;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            preview = ImportPreview::Open(path.toStdString());
        } catch (const std::exception& e) {
            QApplication::restoreOverrideCursor();
            QMessageBox::warning(parent, QObject::tr("Import picture"),
                                 QString::fromStdString(e.what()));
            return std::nullopt;
        }
        QApplication::restoreOverrideCursor();
    }
    ImportDialog dialog(std::move(*preview), path, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Result();
}

ImportDialog::ImportDialog(ImportPreview preview, const QString& source, QWidget* parent)
    : QDialog(parent), preview_(std::move(preview)), source_(source) {
    setWindowTitle(tr("Import picture"));
    pool_.setMaxThreadCount(2);
    debounce_.setSingleShot(true);
    debounce_.setInterval(kDebounceMs);
    connect(&debounce_, &QTimer::timeout, this, [this] { Refresh(); });
    BuildLayout();

    updating_ = true;
    const int width = std::min(kDefaultCellWidth, std::max(1, preview_.SourceWidth()));
    width_box_->setValue(width);
    height_box_->setValue(HeightForWidth(preview_.SourceWidth(), preview_.SourceHeight(), width));
    updating_ = false;
    Refresh();
}

void ImportDialog::done(int result) {
    QSettings().setValue(QStringLiteral("import/size"), size());
    QDialog::done(result);
}

ImportDialog::~ImportDialog() {
    if (check_cancel_)
        *check_cancel_ = true;
    if (fair_cancel_)
        *fair_cancel_ = true;
    pool_.waitForDone();
}

void ImportDialog::BuildLayout() {
    source_view_ = new QLabel(this);
    source_view_->setAlignment(Qt::AlignCenter);
    source_view_->setFixedSize(kSourceViewSide, kSourceViewSide);
    source_view_->setPixmap(QPixmap::fromImage(ImageOf(preview_.Reduced()))
                                .scaled(kSourceViewSide, kSourceViewSide, Qt::KeepAspectRatio,
                                        Qt::SmoothTransformation));
    auto* source_name = new QLabel(tr("%1 (%2 x %3)")
                                       .arg(QFileInfo(source_).fileName())
                                       .arg(preview_.SourceWidth())
                                       .arg(preview_.SourceHeight()),
                                   this);
    source_name->setToolTip(QDir::toNativeSeparators(source_));
    source_name->setAlignment(Qt::AlignCenter);

    width_box_ = new QSpinBox(this);
    width_box_->setRange(1, kMaxCellSide);
    width_box_->setObjectName(QStringLiteral("importWidth"));
    height_box_ = new QSpinBox(this);
    height_box_->setRange(1, kMaxCellSide);
    height_box_->setObjectName(QStringLiteral("importHeight"));
    linked_box_ = new QCheckBox(tr("&Keep aspect ratio"), this);
    linked_box_->setChecked(true);
    linked_box_->setToolTip(tr("The height follows the width by the picture's aspect ratio"));

    threshold_slider_ = new QSlider(Qt::Horizontal, this);
    threshold_slider_->setRange(0, 255);
    threshold_slider_->setToolTip(tr("Cells darker than this are filled"));
    threshold_box_ = new QSpinBox(this);
    threshold_box_->setRange(0, 255);
    auto_box_ = new QCheckBox(tr("&Auto"), this);
    auto_box_->setChecked(true);
    auto_box_->setToolTip(tr("The threshold that best splits the cells into dark and light"));
    invert_box_ = new QCheckBox(tr("&Invert"), this);
    invert_box_->setToolTip(tr("Fill the light cells instead of the dark ones"));

    cells_view_ = new CellsView(this);
    verdict_label_ = new QLabel(this);
    verdict_label_->setTextFormat(Qt::RichText);
    fair_label_ = new QLabel(this);
    fair_label_->setWordWrap(true);

    fair_button_ = new QPushButton(tr("Make it &fair"), this);
    fair_button_->setToolTip(
        tr("Find the closest threshold (and height, with the aspect ratio kept) whose puzzle "
           "line logic solves"));
    save_button_ = new QPushButton(tr("&Save and add..."), this);
    save_button_->setDefault(true);
    auto* cancel_button = new QPushButton(tr("Cancel"), this);

    auto* width_label = new QLabel(tr("&Width"), this);
    width_label->setBuddy(width_box_);
    auto* height_label = new QLabel(tr("&Height"), this);
    height_label->setBuddy(height_box_);
    auto* size_row = new QHBoxLayout;
    size_row->addWidget(width_label);
    size_row->addWidget(width_box_);
    size_row->addWidget(height_label);
    size_row->addWidget(height_box_);
    size_row->addStretch(1);

    auto* threshold_row = new QHBoxLayout;
    threshold_row->addWidget(threshold_slider_, 1);
    threshold_row->addWidget(threshold_box_);
    threshold_row->addWidget(auto_box_);

    auto* controls = new QVBoxLayout;
    controls->addWidget(source_view_, 0, Qt::AlignHCenter);
    controls->addWidget(source_name);
    controls->addSpacing(8);
    controls->addWidget(new QLabel(tr("Cells:"), this));
    controls->addLayout(size_row);
    controls->addWidget(linked_box_);
    controls->addSpacing(8);
    auto* threshold_label = new QLabel(tr("&Threshold:"), this);
    threshold_label->setBuddy(threshold_slider_);
    controls->addWidget(threshold_label);
    controls->addLayout(threshold_row);
    controls->addWidget(invert_box_);
    controls->addStretch(1);

    auto* preview_column = new QVBoxLayout;
    preview_column->addWidget(cells_view_, 1);
    preview_column->addWidget(verdict_label_);
    preview_column->addWidget(fair_label_);

    auto* top = new QHBoxLayout;
    top->addLayout(controls);
    top->addLayout(preview_column, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fair_button_);
    buttons->addStretch(1);
    buttons->addWidget(save_button_);
    buttons->addWidget(cancel_button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    // The dialog opens at the size the author last gave it.
    resize(QSettings().value(QStringLiteral("import/size"), QSize(900, 560)).toSize());
    auto* apply_on_enter = new ApplyOnEnter(this);
    for (QSpinBox* box : {width_box_, height_box_, threshold_box_})
        box->installEventFilter(apply_on_enter);

    connect(width_box_, &QSpinBox::valueChanged, this, &ImportDialog::OnWidthChanged);
    connect(height_box_, &QSpinBox::valueChanged, this, &ImportDialog::OnHeightChanged);
    connect(linked_box_, &QCheckBox::toggled, this, [this](bool linked) {
        if (linked)
            OnWidthChanged(width_box_->value());
    });
    connect(threshold_slider_, &QSlider::valueChanged, this, [this](int value) {
        if (updating_)
            return;
        threshold_box_->setValue(value);
        OnThresholdMoved();
    });
    connect(threshold_box_, &QSpinBox::valueChanged, this, [this](int value) {
        if (updating_)
            return;
        threshold_slider_->setValue(value);
    });
    connect(auto_box_, &QCheckBox::toggled, this, [this] { Schedule(); });
    connect(invert_box_, &QCheckBox::toggled, this, [this] { Schedule(); });
    connect(fair_button_, &QPushButton::clicked, this, &ImportDialog::MakeFair);
    connect(save_button_, &QPushButton::clicked, this, &ImportDialog::Save);
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
}

void ImportDialog::OnWidthChanged(int width) {
    if (updating_)
        return;
    if (linked_box_->isChecked()) {
        updating_ = true;
        height_box_->setValue(
            HeightForWidth(preview_.SourceWidth(), preview_.SourceHeight(), width));
        updating_ = false;
    }
    Schedule();
}

void ImportDialog::OnHeightChanged(int height) {
    if (updating_)
        return;
    if (linked_box_->isChecked()) {
        updating_ = true;
        width_box_->setValue(
            WidthForHeight(preview_.SourceWidth(), preview_.SourceHeight(), height));
        updating_ = false;
    }
    Schedule();
}

void ImportDialog::OnThresholdMoved() {
    // Moving the threshold by hand means the author chose it.
    if (auto_box_->isChecked()) {
        updating_ = true;
        auto_box_->setChecked(false);
        updating_ = false;
    }
    Schedule();
}

void ImportDialog::Schedule() {
    cells_stale_ = true;
    // Not restarted by every change: while the author drags, the cells
    // follow every few frames instead of waiting for the drag to stop.
    if (!debounce_.isActive())
        debounce_.start();
}

ConversionRequest ImportDialog::Request() const {
    ConversionRequest request;
    request.width = width_box_->value();
    request.height = height_box_->value();
    if (!auto_box_->isChecked())
        request.threshold = threshold_slider_->value();
    request.invert = invert_box_->isChecked();
    return request;
}

const ConvertedPicture& ImportDialog::Cells() {
    if (cells_stale_ || debounce_.isActive()) {
        debounce_.stop();
        Refresh();
    }
    return cells_;
}

void ImportDialog::Refresh() {
    cells_ = preview_.Convert(Request());
    cells_stale_ = false;
    if (auto_box_->isChecked()) {
        updating_ = true;
        threshold_slider_->setValue(cells_.threshold);
        threshold_box_->setValue(cells_.threshold);
        updating_ = false;
    }
    cells_view_->SetCells(cells_.cells);
    save_button_->setToolTip(tr("Write %1 x %2 cells as a BMP and add it to the list")
                                 .arg(cells_.cells.width)
                                 .arg(cells_.cells.height));
    StartCheck();
}

void ImportDialog::StartCheck() {
    if (check_cancel_)
        *check_cancel_ = true;
    check_cancel_ = std::make_shared<std::atomic<bool>>(false);
    check_.reset();
    const std::uint64_t generation = ++generation_;
    ShowVerdict();
    pool_.start([this, generation, cells = cells_.cells, cancel = check_cancel_] {
        const CheckResult result = CheckCells(cells, kDefaultCheckBudget, cancel.get());
        if (*cancel)
            return;
        QMetaObject::invokeMethod(
            this, [this, generation, result] { OnChecked(generation, result); },
            Qt::QueuedConnection);
    });
}

void ImportDialog::OnChecked(std::uint64_t generation, const CheckResult& result) {
    if (generation != generation_)
        return;  // the cells have changed since
    check_ = result;
    ShowVerdict();
}

void ImportDialog::ShowVerdict() {
    if (!check_) {
        verdict_label_->setText(Dot(VerdictColour(Verdict::Undecided)) + tr("Checking..."));
        return;
    }
    verdict_label_->setText(Dot(VerdictColour(check_->verdict)) +
                            QString::fromUtf8(VerdictText(check_->verdict)).toHtmlEscaped());
    verdict_label_->setToolTip(check_->verdict == Verdict::Several
                                   ? tr("Cells marked red differ in another solution")
                                   : QString());
    cells_view_->SetDiffers(check_->differs);
}

void ImportDialog::WaitForWork() {
    (void)Cells();
    QEventLoop loop;
    while (!check_ || fair_running_) {
        pool_.waitForDone(20);
        loop.processEvents(QEventLoop::AllEvents, 20);
    }
}

void ImportDialog::MakeFair() {
    if (fair_running_) {
        *fair_cancel_ = true;
        return;
    }
    const ConvertedPicture& cells = Cells();
    FairSearchStart start;
    start.width = cells.cells.width;
    start.height = cells.cells.height;
    start.vary_height = linked_box_->isChecked();
    start.threshold = cells.threshold;
    start.invert = invert_box_->isChecked();

    fair_cancel_ = std::make_shared<std::atomic<bool>>(false);
    fair_running_ = true;
    fair_button_->setText(tr("Stop"));
    fair_label_->setText(tr("Looking for the closest fair puzzle..."));
    pool_.start([this, start, picture = preview_.Reduced(), cancel = fair_cancel_] {
        const FairSearchResult found = FindFairCells(picture, start, {}, cancel.get());
        QMetaObject::invokeMethod(
            this, [this, found, start] { OnFairFound(found, start); }, Qt::QueuedConnection);
    });
}

void ImportDialog::OnFairFound(const FairSearchResult& found, const FairSearchStart& start) {
    fair_running_ = false;
    fair_button_->setText(tr("Make it &fair"));
    const QString near = start.vary_height ? tr("No threshold or height near these")
                                           : tr("No threshold near this one");
    const FairCandidate* take = nullptr;
    if (found.line) {
        take = &*found.line;
        fair_label_->setText(tr("Threshold %1, height %2: solved by line logic.")
                                 .arg(take->threshold)
                                 .arg(take->height));
    } else if (found.stopped) {
        // Stopped by the author (or the time limit): nothing is changed.
        fair_label_->setText(tr("Stopped before a puzzle solved by line logic was found."));
    } else if (found.search) {
        take = &*found.search;
        fair_label_->setText(near + tr(" is solved by line logic; the closest unique puzzle "
                                       "(threshold %1, height %2) needs search.")
                                        .arg(take->threshold)
                                        .arg(take->height));
    } else {
        fair_label_->setText(near + tr(" gives a unique puzzle."));
    }
    if (take == nullptr)
        return;
    updating_ = true;
    if (take->height != height_box_->value()) {
        // A height off the aspect ratio: the link would undo it.
        linked_box_->setChecked(false);
        height_box_->setValue(take->height);
    }
    auto_box_->setChecked(false);
    threshold_slider_->setValue(take->threshold);
    threshold_box_->setValue(take->threshold);
    updating_ = false;
    Schedule();
}

QString ImportDialog::DefaultSavePath() const {
    const QFileInfo info(source_);
    return info.dir().filePath(QStringLiteral("%1-%2x%3.bmp")
                                   .arg(info.completeBaseName())
                                   .arg(width_box_->value())
                                   .arg(height_box_->value()));
}

void ImportDialog::Save() {
    QString path = QFileDialog::getSaveFileName(this, tr("Save the crossword picture"),
                                                DefaultSavePath(), tr("BMP pictures (*.bmp)"));
    if (path.isEmpty())
        return;
    // The project reads pictures by their extension.
    if (!path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        path += QLatin1String(".bmp");
    SaveTo(path);
}

bool ImportDialog::SaveTo(const QString& path) {
    const ConvertedPicture& cells = Cells();
    try {
        WriteCellBmp(path.toStdString(), cells.cells);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(e.what()));
        return false;
    }
    result_ = ImportedPicture{path, QFileInfo(path).fileName()};
    accept();
    return true;
}

void ImportDialog::SetCellWidth(int width) {
    width_box_->setValue(width);
}
void ImportDialog::SetCellHeight(int height) {
    height_box_->setValue(height);
}
void ImportDialog::SetLinked(bool linked) {
    linked_box_->setChecked(linked);
}
void ImportDialog::SetInvert(bool invert) {
    invert_box_->setChecked(invert);
}

void ImportDialog::SetThreshold(std::optional<int> threshold) {
    if (threshold) {
        threshold_slider_->setValue(*threshold);
        auto_box_->setChecked(false);
    } else {
        auto_box_->setChecked(true);
    }
    Schedule();
}

int ImportDialog::CellWidth() const {
    return width_box_->value();
}
int ImportDialog::CellHeight() const {
    return height_box_->value();
}
int ImportDialog::ThresholdShown() const {
    return threshold_slider_->value();
}

}  // namespace grix
