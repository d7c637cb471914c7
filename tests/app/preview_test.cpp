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
    return QImage(10, 10, QImage::Format_RGB32);
}

QImage Draw(const std::string& path, int zoom_index, bool grid, QSize panel) {
    QImage surface = Surface();
    DrawPreview(surface, kBackground, PreviewRequest{path, zoom_index, grid, panel, {}});
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

TEST(PreviewZoom, EachLabelTellsThePixelsPerCellAndFitTakesTheLargestThatFits) {
    for (int index = 0; index < kZoomSteps; ++index)
        EXPECT_EQ(ZoomFactor(index), index + 1) << "entry " << (index + 1) * 100 << "%";
    EXPECT_EQ(ZoomFactor(-1), 1);
    EXPECT_EQ(PreviewPitch(4, false), 4);
    EXPECT_EQ(PreviewPitch(4, true), 5);

    struct Case {
        QSize picture, panel;
        bool grid;
        int factor;
    };
    const Case cases[] = {
        {{20, 20}, {200, 200}, false, 10},   // the largest entry fits exactly
        {{20, 20}, {199, 400}, false, 9},    // one pixel short of 10
        {{20, 20}, {200, 200}, true, 9},     // the grid line takes a pixel per cell
        {{30, 10}, {100, 900}, false, 3},    // the width decides
        {{10, 30}, {900, 100}, true, 2},     // the height decides
        {{500, 500}, {200, 200}, false, 1},  // does not fit at all: 100%, scrolled
        {{2, 2}, {1920, 1000}, false, 500},  // past the list's 1000%: the whole panel
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitZoomFactor(c.picture, c.panel, c.grid), c.factor)
            << c.picture.width() << "x" << c.picture.height() << " in " << c.panel.width() << "x"
            << c.panel.height() << (c.grid ? " grid" : "");
    }
}

class PreviewTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string checker = dir / "checker.bmp";
    void SetUp() override { WriteBmp(checker, 10, 10, Checker); }
};

TEST_F(PreviewTest, ZoomWithoutGridIsCentredInThePanel) {
    // "300%" is index 2: pitch 3, a 30 x 30 canvas; (222 - 30) / 2 = 96.
    const QImage s = Draw(checker, 2, false, QSize(222, 301));
    EXPECT_EQ(s.size(), QSize(222, 301)) << "the surface fills the panel";
    ExpectCanvas(s, 96, 135, 10, 10, 3, false, Checker);
    ExpectBackgroundOutside(s, QRect(96, 135, 30, 30), kBackground.rgb());
}

TEST_F(PreviewTest, GridLinesTakeTheFirstColumnAndRowOfEachCell) {
    // Pitch 4: each cell shows 3 x 3 pixels after a line; no closing line
    // on the right and bottom edges.
    const QImage s = Draw(checker, 2, true, QSize(223, 40));
    ExpectCanvas(s, 91, 0, 10, 10, 4, true, Checker);
    EXPECT_EQ(s.pixel(91 + 39, 34), kWhite) << "cell (9, 9) is filled, (9, 8) is not";
    EXPECT_EQ(s.pixel(91 + 39, 39), kBlack) << "no closing line after the last cell";
    EXPECT_EQ(s.pixel(91 + 40, 20), kBackground.rgb());
    ExpectBackgroundOutside(s, QRect(91, 0, 40, 40), kBackground.rgb());
}

TEST_F(PreviewTest, APictureLargerThanThePanelGrowsTheSurfaceToScroll) {
    const std::string wide = dir / "wide.bmp";
    const auto stripes = [](int x, int) { return x % 3 == 0; };
    WriteBmp(wide, 100, 5, stripes);
    // "900%" with grid: pitch 10, a 1000 x 50 canvas.
    const QImage s = Draw(wide, 8, true, QSize(222, 400));
    EXPECT_EQ(s.size(), QSize(1000, 400));
    ExpectCanvas(s, 0, 175, 100, 5, 10, true, stripes);
    EXPECT_EQ(s.pixel(0, 174), kBackground.rgb());
}

TEST_F(PreviewTest, AWidePictureLeavesRoomForItsScrollBarAndGetsNoSecond) {
    const std::string wide = dir / "wide.bmp";
    WriteBmp(wide, 300, 20, Checker);
    QImage s = Surface();
    PreviewRequest request{wide, 0, false, QSize(200, 100), {}};
    request.scroll_bar_extent = 12;
    DrawPreview(s, kBackground, request);
    EXPECT_EQ(s.size(), QSize(300, 88));
}

TEST_F(PreviewTest, FitLeavesOutGridLinesThatWouldMakeThePictureScroll) {
    const std::string large = dir / "large.bmp";
    WriteBmp(large, 120, 90, Checker);
    const QImage s = Draw(large, kFitZoomIndex, true, QSize(232, 300));
    EXPECT_EQ(s.size(), QSize(232, 300)) << "no scrolling";
    ExpectCanvas(s, 56, 105, 120, 90, 1, false, Checker);
}

TEST_F(PreviewTest, FitDrawsTheLargestZoomThatFits) {
    // 10 x 10 cells in 75 x 200: factor 7, a 70 x 70 canvas.
    const QImage s = Draw(checker, kFitZoomIndex, false, QSize(75, 200));
    EXPECT_EQ(s.size(), QSize(75, 200));
    ExpectCanvas(s, 2, 65, 10, 10, 7, false, Checker);
}

TEST_F(PreviewTest, MarkedCellsShowInTheAmbiguityColour) {
    QImage s = Surface();
    DrawPreview(s, kBackground, PreviewRequest{checker, 0, false, QSize(10, 10), {QPoint(1, 0)}});
    EXPECT_EQ(s.pixel(0, 0), kBlack);
    EXPECT_EQ(s.pixel(1, 0), kAmbiguityColor.rgb());
    EXPECT_EQ(s.pixel(2, 0), kBlack);

    // Cells large enough keep their colour inside a frame (the 2 x 2
    // diagonal stays a diagonal); with the grid, the frame follows the line.
    for (const bool grid : {false, true}) {
        DrawPreview(s, kBackground,
                    PreviewRequest{checker, 4, grid, QSize(10, 10), {QPoint(0, 0), QPoint(1, 0)}});
        const int p = grid ? 6 : 5, o = grid ? 1 : 0;
        for (const int cell : {0, 1}) {
            const int x = cell * p;
            EXPECT_EQ(s.pixel(x + o, o), kAmbiguityColor.rgb()) << "frame, grid " << grid;
            EXPECT_EQ(s.pixel(x + p - 1, p - 1), kAmbiguityColor.rgb()) << "frame, grid " << grid;
            EXPECT_EQ(s.pixel(x + p / 2 + o / 2, p / 2 + o / 2),
                      Checker(cell, 0) ? kBlack : qRgb(255, 255, 255))
                << "inside, grid " << grid;
        }
    }
}

TEST_F(PreviewTest, ALargePanelCentresThePicture) {
    const QImage s = Draw(checker, 2, false, QSize(1400, 1000));
    ExpectCanvas(s, 685, 485, 10, 10, 3, false, Checker);
}

TEST_F(PreviewTest, CellsFollowTheInkTest) {
    const std::string tints = dir / "tints.bmp";
    const QRgb colours[] = {qRgb(224, 255, 255), qRgb(225, 225, 225), qRgb(255, 0, 0),
                            qRgb(255, 255, 224), qRgb(250, 250, 250), qRgb(0, 0, 255)};
    WriteColorBmp(tints, 6, 1, [&](int x, int) { return colours[x]; });
    const QImage s = Draw(tints, 0, false, QSize(6, 1));
    ASSERT_EQ(s.size(), QSize(6, 1));
    const QRgb expected[] = {kBlack, kWhite, kBlack, kBlack, kWhite, kBlack};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(s.pixel(x, 0), expected[x]) << x;
}

TEST_F(PreviewTest, NothingToShowOrAPictureThatCannotBeReadLeavesTheBackground) {
    QImage s = Surface();
    DrawPreview(s, kBackground, std::nullopt);
    ExpectBackgroundOutside(s, QRect(), kBackground.rgb());

    s.fill(Qt::green);
    EXPECT_ANY_THROW(DrawPreview(
        s, kBackground, PreviewRequest{dir / "missing.bmp", 3, true, QSize(100, 100), {}}));
    ExpectBackgroundOutside(s, QRect(), kBackground.rgb());
}

TEST_F(PreviewTest, TheWindowDrawsTheSelectedRowWithItsZoomAndGrid) {
    const std::string bar = dir / "bar.bmp";
    const auto top_row = [](int, int y) { return y == 0; };
    WriteBmp(bar, 4, 3, top_row);
    auto window = ShowWindow(dir / "grix.ini");
    AddImages(*window, {checker, bar});
    window->sgImages->setCurrentCell(0, 1);
    window->ComboBox1->setCurrentIndex(2);  // "300%"
    window->CheckBox1->setChecked(true);
    QApplication::processEvents();

    const QSize panel = window->Panel3->maximumViewportSize();
    ASSERT_GT(panel.width(), 40);
    ASSERT_GT(panel.height(), 40);
    const QRgb background = window->palette().color(QPalette::Button).rgb();
    QImage shown = GrabPreview(*window);
    const int left = (panel.width() - 40) / 2;
    const int top = (panel.height() - 40) / 2;
    ExpectCanvas(shown, left, top, 10, 10, 4, true, Checker);
    ExpectBackgroundOutside(shown, QRect(left, top, 40, 40), background);

    window->sgImages->setCurrentCell(1, 1);  // the second picture: 16 x 12
    QApplication::processEvents();
    shown = GrabPreview(*window);
    const int left2 = (panel.width() - 16) / 2;
    const int top2 = (panel.height() - 12) / 2;
    ExpectCanvas(shown, left2, top2, 4, 3, 4, true, top_row);

    window->CheckBox1->setChecked(false);  // pitch 3: a 12 x 9 canvas
    QApplication::processEvents();
    shown = GrabPreview(*window);
    ExpectCanvas(shown, (panel.width() - 12) / 2, (panel.height() - 9) / 2, 4, 3, 3, false,
                 top_row);
    EXPECT_TRUE(window->boxes.empty());
}

TEST_F(PreviewTest, TheWindowReportsAPictureThatCannotBeReadWhenSelected) {
    auto window = ShowWindow(dir / "grix.ini");
    AddImages(*window, {checker, checker});
    std::filesystem::remove(checker);
    window->sgImages->setCurrentCell(0, 1);
    QApplication::processEvents();
    // Said in the preview, not in a box at every row the selection meets.
    EXPECT_TRUE(window->boxes.empty());
    EXPECT_EQ(window->Image1->Message().toStdString(),
              "Cannot show picture 1 (" + checker + "):\nfile not found");
    // The surface itself stays the background; the reason is written over it.
    const QImage shown = window->Image1->Image();
    ExpectBackgroundOutside(shown, QRect(), window->palette().color(QPalette::Button).rgb());
}

}  // namespace
}  // namespace grix::test

namespace grix::test {
namespace {

TEST_F(PreviewTest, TheCheckColumnAndTheAmbiguityOverlay) {
    const std::string plus = dir / "plus.bmp", diagonal = dir / "diagonal.bmp",
                      blank = dir / "blank.bmp";
    WriteBmp(plus, 3, 3, [](int x, int y) { return x == 1 || y == 1; });
    WriteBmp(diagonal, 2, 2, [](int x, int y) { return x == y; });
    WriteBmp(blank, 2, 2, [](int, int) { return false; });
    auto window = ShowWindow(dir / "grix.ini");
    AddImages(*window, {plus, diagonal, blank});
    window->Checks().WaitForAll();
    QApplication::processEvents();
    const auto check = [&](int row) {
        return window->sgImages->item(row, 4)->text().toStdString();
    };
    EXPECT_EQ(check(0), "unique (line logic)");
    EXPECT_EQ(check(1), "several solutions");
    EXPECT_EQ(check(2), "blank");
    EXPECT_EQ(window->sgImages->horizontalHeaderItem(4)->text(), "Check");

    // The diagonal at "100%": the other solution differs in all four cells.
    window->sgImages->setCurrentCell(1, 1);
    window->ComboBox1->setCurrentIndex(0);
    QApplication::processEvents();
    const QImage plain = GrabPreview(*window);
    window->ShowAmbiguity->setChecked(true);
    QImage marked = GrabPreview(*window);
    const QSize panel = window->Panel3->maximumViewportSize();
    const int left = (panel.width() - 2) / 2, top = (panel.height() - 2) / 2;
    EXPECT_EQ(marked.pixel(left, top), kAmbiguityColor.rgb());
    EXPECT_EQ(marked.pixel(left + 1, top), kAmbiguityColor.rgb());
    window->ShowAmbiguity->setChecked(false);
    EXPECT_EQ(GrabPreview(*window), plain) << "off: the preview exactly as before";
}

}  // namespace
}  // namespace grix::test
