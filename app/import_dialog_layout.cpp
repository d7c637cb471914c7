// The import dialog's controls, where they stand and what they are wired to.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "app/cells_view.h"
#include "app/import_dialog.h"

namespace grix {
namespace {

constexpr int kSourceViewSide = 260;

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

}  // namespace grix
