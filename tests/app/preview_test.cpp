// The preview: pitch, cells by the ink test, grid lines, centring offsets
// and clipping, on the drawing itself and on the window's surface.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTableWidget>

#include "app/preview.h"
#include "test_window.h"

namespace grix::test {
namespace {

const QColor kBackground(212, 208, 200);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kLine = qRgb(176, 176, 240);

bool Checker(int x, int y) {
    return (x + y) % 2 == 0;
}

QImage Surface() {
    return QImage(kPreviewWidth, kPreviewHeight, QImage::Format_RGB32);
}

QImage Draw(const std::string& path, int zoom_index, bool grid, QSize panel) {
    QImage surface = Surface();
    DrawPreview(surface, kBackground, PreviewRequest{path, zoom_index, grid, panel});
    return surface;
}

// Expects the canvas of a picture drawn with `pitch` at (left, top): every
// pixel either grid line, or the colour of its cell.
void ExpectCanvas(const QImage& surface, int left, int top, int width, int height, int pitch,
                  bool grid, const std::function<bool(int, int)>& ink) {
    for (int cy = 0; cy < height * pitch; ++cy) {
        for (int cx = 0; cx < width * pitch; ++cx) {
            const int sx = left + cx, sy = top + cy;
            if (sx >= surface.width() || sy >= surface.height())
                continue;
            QRgb expected = ink(cx / pitch, cy / pitch) ? kBlack : kWhite;
            if (grid && (cx % pitch == 0 || cy % pitch == 0))
                expected = kLine;
            ASSERT_EQ(surface.pixel(sx, sy), expected) << "canvas pixel " << cx << "," << cy;
        }
    }
}

void ExpectBackgroundOutside(const QImage& surface, QRect canvas, QRgb background) {
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            if (!canvas.contains(x, y)) {
                ASSERT_EQ(surface.pixel(x, y), background) << x << "," << y;
            }
        }
    }
}

TEST(PreviewPitch, ZoomIndexAtLeastOnePlusTheGridLine) {
    struct Case {
        int index;
        bool grid;
        int pitch;
    };
    const Case cases[] = {{-1, false, 1}, {0, false, 1}, {1, false, 1}, {2, false, 2},
                          {3, false, 3},  {9, false, 9}, {-1, true, 2}, {0, true, 2},
                          {3, true, 4},   {9, true, 10}};
    for (const Case& c : cases) {
        EXPECT_EQ(PreviewPitch(c.index, c.grid), c.pitch) << c.index << " " << c.grid;
    }
}

class PreviewTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string checker = dir / "checker.bmp";
    void SetUp() override { WriteBmp(checker, 10, 10, Checker); }
};

TEST_F(PreviewTest, ZoomWithoutGridIsCentredInThePanel) {
    // "400%" is index 3: pitch 3, a 30 x 30 canvas; (222 - 30) / 2 = 96.
    const QImage s = Draw(checker, 3, false, QSize(222, 301));
    ExpectCanvas(s, 96, 135, 10, 10, 3, false, Checker);
    ExpectBackgroundOutside(s, QRect(96, 135, 30, 30), kBackground.rgb());
}

TEST_F(PreviewTest, GridLinesTakeTheFirstColumnAndRowOfEachCell) {
    // Pitch 4: each cell shows 3 x 3 pixels after a line; no closing line
    // on the right and bottom edges.
    const QImage s = Draw(checker, 3, true, QSize(223, 40));
    ExpectCanvas(s, 91, 0, 10, 10, 4, true, Checker);
    EXPECT_EQ(s.pixel(91 + 39, 34), kWhite) << "cell (9, 9) is filled, (9, 8) is not";
    EXPECT_EQ(s.pixel(91 + 39, 39), kBlack) << "no closing line after the last cell";
    EXPECT_EQ(s.pixel(91 + 40, 20), kBackground.rgb());
    ExpectBackgroundOutside(s, QRect(91, 0, 40, 40), kBackground.rgb());
}

TEST_F(PreviewTest, APictureWiderThanThePanelStartsAtTheLeftAndIsCutAtTheSurface) {
    const std::string wide = dir / "wide.bmp";
    const auto stripes = [](int x, int) { return x % 3 == 0; };
    WriteBmp(wide, 100, 5, stripes);
    // "1000%" with grid: pitch 10, a 1000 x 50 canvas on a 640-wide surface.
    const QImage s = Draw(wide, 9, true, QSize(222, 400));
    ExpectCanvas(s, 0, 175, 100, 5, 10, true, stripes);
    EXPECT_EQ(s.pixel(639, 180), stripes(63, 0) ? kBlack : kWhite);
    EXPECT_EQ(s.pixel(0, 174), kBackground.rgb());
}

TEST_F(PreviewTest, APanelLargerThanTheSurfaceCentresOnTheSurface) {
    const QImage s = Draw(checker, 3, false, QSize(1400, 1000));
    ExpectCanvas(s, 305, 225, 10, 10, 3, false, Checker);
}

TEST_F(PreviewTest, CellsFollowTheInkTest) {
    const std::string tints = dir / "tints.bmp";
    const QRgb colours[] = {qRgb(224, 255, 255), qRgb(225, 225, 225), qRgb(255, 0, 0),
                            qRgb(255, 255, 224), qRgb(250, 250, 250), qRgb(0, 0, 255)};
    WriteColorBmp(tints, 6, 1, [&](int x, int) { return colours[x]; });
    const QImage s = Draw(tints, 0, false, QSize(6, 1));
    const QRgb expected[] = {kBlack, kWhite, kBlack, kBlack, kWhite, kBlack};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(s.pixel(x, 0), expected[x]) << x;
}

TEST_F(PreviewTest, NothingToShowOrAPictureThatCannotBeReadLeavesTheBackground) {
    QImage s = Surface();
    DrawPreview(s, kBackground, std::nullopt);
    ExpectBackgroundOutside(s, QRect(), kBackground.rgb());

    s.fill(Qt::green);
    EXPECT_ANY_THROW(
        DrawPreview(s, kBackground, PreviewRequest{dir / "missing.bmp", 3, true, QSize(100, 100)}));
    ExpectBackgroundOutside(s, QRect(), kBackground.rgb());
}

TEST_F(PreviewTest, TheWindowDrawsTheSelectedRowWithItsZoomAndGrid) {
    const std::string bar = dir / "bar.bmp";
    const auto top_row = [](int, int y) { return y == 0; };
    WriteBmp(bar, 4, 3, top_row);
    auto window = ShowWindow(dir / "grix.ini");
    AddImages(*window, {checker, bar});
    window->ComboBox1->setCurrentIndex(3);
    window->CheckBox1->setChecked(true);
    QApplication::processEvents();

    const QSize panel = window->Panel3->contentsRect().size();
    ASSERT_GT(panel.width(), 40);
    ASSERT_GT(panel.height(), 40);
    const QRgb background = window->palette().color(QPalette::Button).rgb();
    QImage shown = GrabPreview(*window);
    const int left = (std::min(panel.width(), 640) - 40) / 2;
    const int top = (std::min(panel.height(), 480) - 40) / 2;
    ExpectCanvas(shown, left, top, 10, 10, 4, true, Checker);
    ExpectBackgroundOutside(shown, QRect(left, top, 40, 40), background);

    window->sgImages->setCurrentCell(1, 1);  // the second picture: 16 x 12
    QApplication::processEvents();
    shown = GrabPreview(*window);
    const int left2 = (std::min(panel.width(), 640) - 16) / 2;
    const int top2 = (std::min(panel.height(), 480) - 12) / 2;
    ExpectCanvas(shown, left2, top2, 4, 3, 4, true, top_row);

    window->CheckBox1->setChecked(false);  // pitch 3: a 12 x 9 canvas
    QApplication::processEvents();
    shown = GrabPreview(*window);
    ExpectCanvas(shown, (std::min(panel.width(), 640) - 12) / 2,
                 (std::min(panel.height(), 480) - 9) / 2, 4, 3, 3, false, top_row);
    EXPECT_TRUE(window->boxes.empty());
}

TEST_F(PreviewTest, TheWindowReportsAPictureThatCannotBeReadWhenSelected) {
    auto window = ShowWindow(dir / "grix.ini");
    AddImages(*window, {checker, checker});
    std::filesystem::remove(checker);
    window->sgImages->setCurrentCell(1, 1);
    QApplication::processEvents();
    ASSERT_EQ(window->boxes.size(), 1u);
    EXPECT_TRUE(window->boxes[0].text.contains(QString::fromStdString(checker)));
    const QImage shown = GrabPreview(*window);
    ExpectBackgroundOutside(shown, QRect(), window->palette().color(QPalette::Button).rgb());
}

}  // namespace
}  // namespace grix::test
