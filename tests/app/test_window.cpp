#include "test_window.h"

#include "support/bmp_file.h"

#include <QApplication>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

#include "app/preview.h"

namespace grix::test {

QString TestWindow::AskOpenFileName(const QString& title, const QString& filter) {
    asked.push_back({title, filter});
    if (file_answers.empty())
        return {};
    const QString answer = file_answers.front();
    file_answers.pop_front();
    return answer;
}

QStringList TestWindow::AskOpenFileNames(const QString& title, const QString& filter) {
    const QString answer = AskOpenFileName(title, filter);
    return answer.isEmpty() ? QStringList() : answer.split(QLatin1Char('\n'));
}

QString TestWindow::AskSaveFileName(const QString& title, const QString& filter,
                                    const QString& proposed) {
    asked.push_back({title, filter, proposed});
    if (save_answers.empty())
        return {};
    const QString answer = save_answers.front();
    save_answers.pop_front();
    return answer;
}

std::optional<QSize> TestWindow::AskPictureSize() {
    if (size_answers.empty())
        return std::nullopt;
    const QSize answer = size_answers.front();
    size_answers.pop_front();
    return answer;
}

bool TestWindow::AskApplyFix(const QString& text) {
    fix_questions.append(text);
    if (fix_answers.empty())
        return true;
    const bool answer = fix_answers.front();
    fix_answers.pop_front();
    return answer;
}

QMessageBox::StandardButton TestWindow::AskAfterSaveFailure(const QString& text) {
    save_failures.append(text);
    if (save_failure_answers.empty())
        return QMessageBox::Cancel;
    const QMessageBox::StandardButton answer = save_failure_answers.front();
    save_failure_answers.pop_front();
    return answer;
}

QMessageBox::StandardButton TestWindow::AskSaveChanges(const QString& text) {
    save_changes_questions.append(text);
    if (save_changes_answers.empty())
        return QMessageBox::Save;
    const QMessageBox::StandardButton answer = save_changes_answers.front();
    save_changes_answers.pop_front();
    return answer;
}

std::optional<ImportedPicture> TestWindow::RunImport(const QString& source) {
    imported_sources.append(source);
    if (import_answers.empty())
        return std::nullopt;
    std::optional<ImportedPicture> answer = import_answers.front();
    import_answers.pop_front();
    return answer;
}

void TestWindow::ShowMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    boxes.push_back({icon, title, text, isVisible()});
}

bool TestWindow::OpenFolder(const QString& path) {
    opened_folders.push_back(path);
    return open_folder_succeeds;
}

std::unique_ptr<TestWindow> ShowWindow(const std::string& settings_path, BuildRunner run_build) {
    QSettings().clear();  // no size or recent projects from an earlier test
    auto window = std::make_unique<TestWindow>(settings_path, std::move(run_build));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();
    return window;
}

void WriteBmp(const std::string& path, int width, int height,
              const std::function<bool(int, int)>& ink) {
    WriteColorBmp(path, width, height,
                  [&](int x, int y) { return ink(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255); });
}

void WriteColorBmp(const std::string& path, int width, int height,
                   const std::function<QRgb(int, int)>& color) {
    WriteBmp24(path, width, height, [&](int x, int y) { return color(x, y) & 0xFFFFFFu; });
}

void Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
    if (auto* window = qobject_cast<TfmMain*>(button->window()))
        WaitForBuild(*window);
}

void WaitForBuild(TfmMain& window) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.IsBuilding(); }, 30000));
    QApplication::processEvents();
}

void AddImages(TestWindow& window, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        window.file_answers.push_back(QString::fromStdString(path));
        Click(window.BitBtn4);
    }
}

std::vector<std::string> Rows(const TfmMain& window) {
    const QTableWidget* list = Find<QTableWidget>(window, "sgImages");
    std::vector<std::string> rows;
    for (int r = 0; r < list->rowCount(); ++r) {
        std::string line;
        for (int c = 0; c < 4; ++c) {
            const QTableWidgetItem* item = list->item(r, c);
            if (c > 0)
                line += '|';
            line += item ? item->text().toStdString() : "<none>";
        }
        rows.push_back(line);
    }
    return rows;
}

QImage GrabPreview(TfmMain& window) {
    QApplication::processEvents();
    return Find<PreviewSurface>(window, "Image1")->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace grix::test
