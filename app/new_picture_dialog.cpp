#include "app/new_picture_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "builder/player_limits.h"

namespace grix {

std::optional<QSize> AskNewPictureSize(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QObject::tr("New picture"));
    auto* form = new QFormLayout(&dialog);
    const auto side = [&](const QString& label) {
        auto* box = new QSpinBox(&dialog);
        // Phones refuse larger sides: a picture drawn for them stays within.
        box->setRange(1, static_cast<int>(kPlayerMaxSide));
        box->setValue(kNewPictureSide);
        box->setSuffix(QObject::tr(" cells"));
        form->addRow(label, box);
        return box;
    };
    QSpinBox* width = side(QObject::tr("&Width:"));
    QSpinBox* height = side(QObject::tr("&Height:"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return QSize(width->value(), height->value());
}

}  // namespace grix
