// The sample project of examples/ in the window: it loads without a single
// error and shows its first picture. The window's picture is kept in the
// build tree (screenshots/grix-window-offscreen.png) for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>

#include <filesystem>

#include "test_window.h"

namespace grix::test {
namespace {

namespace fs = std::filesystem;

TEST(SampleProject, OpensInTheWindowAndShowsItsFirstPicture) {
    TempDir dir;
    const fs::path examples = fs::path(GRIX_SOURCE_DIR) / "examples";
    for (const auto& entry : fs::directory_iterator(examples)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".bmp" || ext == ".ini")
            fs::copy_file(entry.path(), dir.path() / entry.path().filename());
    }
    auto window = ShowWindow(dir / "grix.ini");
    EXPECT_TRUE(window->boxes.empty()) << window->boxes[0].text.toStdString();
    EXPECT_EQ(window->Label14->text(), "8");
    EXPECT_EQ(window->Project().pictures.at(0).path, dir / "heart.bmp");
    EXPECT_EQ(window->ComboBox1->currentText(), "400%");
    EXPECT_TRUE(window->CheckBox1->isChecked());

    // heart.bmp is 20 x 20; "400%" with grid is pitch 5: a 100 x 100 canvas.
    const QImage preview = GrabPreview(*window);
    const QSize panel = window->Panel3->maximumViewportSize();
    const int left = (panel.width() - 100) / 2;
    const int top = (panel.height() - 100) / 2;
    const QRgb line = qRgb(176, 176, 240);
    EXPECT_EQ(preview.pixel(left, top), line);
    EXPECT_EQ(preview.pixel(left + 95, top + 95), line);
    EXPECT_EQ(preview.pixel(left - 1, top), window->palette().color(QPalette::Button).rgb());

    const QString folder = QString::fromUtf8(GRIX_BINARY_DIR) + "/screenshots";
    QDir().mkpath(folder);
    EXPECT_TRUE(window->grab().save(folder + "/grix-window-offscreen.png"));
}

}  // namespace
}  // namespace grix::test
