#include "app/import_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>
#include <exception>

#include "app/cells_view.h"
#include "app/picture_checks.h"
#include "convert/cell_bmp_writer.h"

namespace grix {
namespace {

constexpr int kDebounceMs = 40;
constexpr int kDefaultCellWidth = 30;

QString Dot(const QColor& colour) {
    return QStringLiteral("<span style=\"color:%1\">&#9679;</span> ").arg(colour.name());
}

}  // namespace

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

void ImportDialog::OnWidthChanged(int width) {
    FollowSize(*height_box_, [&] {
        return HeightForWidth(preview_.SourceWidth(), preview_.SourceHeight(), width);
    });
}

void ImportDialog::OnHeightChanged(int height) {
    FollowSize(*width_box_, [&] {
        return WidthForHeight(preview_.SourceWidth(), preview_.SourceHeight(), height);
    });
}

void ImportDialog::FollowSize(QSpinBox& other, const std::function<int()>& linked_value) {
    if (updating_)
        return;
    // With the sides linked the other one follows the picture's proportions.
    if (linked_box_->isChecked()) {
        updating_ = true;
        other.setValue(linked_value());
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
