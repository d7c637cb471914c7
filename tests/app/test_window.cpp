#include "test_window.h"

#include "support/bmp_file.h"

#include <QApplication>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

#include "app/preview.h"

namespace grix::test {
namespace {

// The next answer a test queued, or `none` once they have run out.
template <typename Answer>
Answer Next(std::deque<Answer>& answers, Answer none) {
    if (answers.empty())
        return none;
    Answer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

QString TestWindow::AskOpenFileName(const QString& title, const QString& filter) {
    asked.push_back({title, filter});
    return Next(file_answers, {});
}

QStringList TestWindow::AskOpenFileNames(const QString& title, const QString& filter) {
    const QString answer = AskOpenFileName(title, filter);
    return answer.isEmpty() ? QStringList() : answer.split(QLatin1Char('\n'));
}

QString TestWindow::AskSaveFileName(const QString& title, const QString& filter,
                                    const QString& proposed) {
    asked.push_back({title, filter, proposed});
    return Next(save_answers, {});
}

std::optional<QSize> TestWindow::AskPictureSize() {
    const QSize answer = Next(size_answers, QSize());
    return answer.isValid() ? std::optional<QSize>(answer) : std::nullopt;
}

bool TestWindow::AskApplyFix(const QString& text) {
    fix_questions.append(text);
    return Next(fix_answers, true);
}

QMessageBox::StandardButton TestWindow::AskAfterSaveFailure(const QString& text) {
    save_failures.append(text);
    return Next(save_failure_answers, QMessageBox::Cancel);
}

QMessageBox::StandardButton TestWindow::AskSaveChanges(const QString& text) {
    save_changes_questions.append(text);
    return Next(save_changes_answers, QMessageBox::Save);
}

std::optional<ImportedPicture> TestWindow::RunImport(const QString& source) {
    imported_sources.append(source);
    return Next(import_answers, {});
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
