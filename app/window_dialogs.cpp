// The platform's dialogs and shell as the window asks them; the tests
// replace these to answer without a person at the screen.
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

#include "app/error_display.h"
#include "app/main_window.h"
#include "app/picture_list_editor.h"
#include "app/new_picture_dialog.h"

namespace grix {

namespace {

// File dialogs open in the folder the last one was left in, between runs too.
QString DialogFolder() {
    return QSettings().value(QStringLiteral("dialogs/folder")).toString();
}

void RememberDialogFolder(const QStringList& chosen) {
    if (!chosen.isEmpty() && !chosen.front().isEmpty())
        QSettings().setValue(QStringLiteral("dialogs/folder"),
                             QFileInfo(chosen.front()).absolutePath());
}

}  // namespace

QStringList TfmMain::AskOpenFileNames(const QString& title, const QString& filter) {
    const QStringList paths = QFileDialog::getOpenFileNames(this, title, DialogFolder(), filter);
    RememberDialogFolder(paths);
    return paths;
}

QString TfmMain::AskOpenFileName(const QString& title, const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(this, title, DialogFolder(), filter);
    RememberDialogFolder({path});
    return path;
}

QString TfmMain::AskSaveFileName(const QString& title, const QString& filter,
                                 const QString& proposed) {
    QString start = DialogFolder();
    if (!proposed.isEmpty())
        start = QFileInfo(proposed).isAbsolute() ? proposed : QDir(start).filePath(proposed);
    const QString path = QFileDialog::getSaveFileName(this, title, start, filter);
    RememberDialogFolder({path});
    return path;
}

void TfmMain::ShowMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, this);
    box.exec();
}

bool TfmMain::OpenFolder(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<ImportedPicture> TfmMain::RunImport(const QString& source) {
    return RunImportDialog(this, source);
}

QMessageBox::StandardButton TfmMain::AskSaveChanges(const QString& text) {
    QMessageBox box(QMessageBox::Warning, ProgramTitle(), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QSize> TfmMain::AskPictureSize() {
    return AskNewPictureSize(this);
}

bool TfmMain::AskApplyFix(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Fix it"), text,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Apply"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Keep as it is"));
    box.setDefaultButton(QMessageBox::Yes);
    // Over the list rather than the preview, which shows the fix.
    const QSize size = box.sizeHint();
    box.move(list_->mapToGlobal(list_->rect().center()) -
             QPoint(size.width() / 2, size.height() / 2));
    return box.exec() == QMessageBox::Yes;
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

}  // namespace grix
