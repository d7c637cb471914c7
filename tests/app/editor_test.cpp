// Drawing over a picture: the mouse mapped to cells, and a stroke as one
// undo step that paints every cell it crosses with what the first got.
#include <gtest/gtest.h>

#include <QUndoStack>

#include <algorithm>

#include "app/cell_editor.h"
#include "app/preview.h"
#include "app/utf8_text.h"
#include "convert/cell_bmp_writer.h"
#include "test_window.h"

namespace grix::test {
namespace {

struct Editor {
    QUndoStack undo;
    CellEditor editor{&undo, {}};

    void Drag(const QString& picture, std::initializer_list<QPoint> cells) {
        StrokeStep step = StrokeStep::Press;
        for (const QPoint cell : cells) {
            editor.Stroke(step, picture, cell);
            step = StrokeStep::Move;
        }
        editor.Stroke(StrokeStep::Release, picture, *(cells.end() - 1));
    }
};

CellGrid Blank(int width, int height) {
    return {width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width * height))};
}

TEST(PreviewCells, DrawsTheDrawnCellsAndMapsPixelsThroughZoomGridAndCentring) {
    QImage surface;
    // 4 x 2 drawn cells (no file) at 300% with grid lines (pitch 4),
    // centred in 40 x 20; cell (0, 0) ambiguous, (1, 0) filled and in a fix.
    const PreviewLayout layout =
        DrawPreview(surface, Qt::gray,
                    PreviewRequest{"",
                                   2,
                                   true,
                                   QSize(40, 20),
                                   {{0, 0}, {1, 0}},
                                   0,
                                   CellGrid{4, 2, {0, 1, 0, 0, 0, 0, 0, 0}},
                                   {{1, 0}}});
    EXPECT_EQ(surface.pixel(13, 7), kAmbiguityColor.rgb());
    EXPECT_EQ(surface.pixel(14, 8), qRgb(255, 255, 255));
    EXPECT_EQ(surface.pixel(17, 7), kFixColor.rgb());
    EXPECT_EQ(surface.pixel(18, 8), qRgb(0, 0, 0));
    EXPECT_EQ(layout.pitch, 4);
    EXPECT_EQ(layout.origin, QPoint(12, 6));
    struct Case {
        QPoint pixel, cell;
    };
    for (const Case c : {Case{{12, 6}, {0, 0}},
                         {{15, 9}, {0, 0}},
                         {{16, 10}, {1, 1}},
                         {{27, 13}, {3, 1}},
                         {{11, 5}, {-1, -1}},
                         {{28, 14}, {4, 2}}}) {
        EXPECT_EQ(CellAt(layout, c.pixel), c.cell) << c.pixel.x() << "," << c.pixel.y();
    }
    EXPECT_EQ(CellAt(PreviewLayout{}, QPoint(0, 0)), std::nullopt);
}

TEST(CellEditor, AStrokePaintsEveryCellItCrossesAsOneUndoStep) {
    TempDir dir;
    Editor e;
    const QString path = QString::fromStdString(dir / "blank.bmp");
    WriteCellBmp(Utf8(path), Blank(6, 6));

    // A fast drag: the mouse skips from one end of the row to the other.
    e.Drag(path, {{0, 0}, {5, 0}, {5, 5}});
    ASSERT_EQ(e.undo.count(), 1);
    EXPECT_EQ(e.undo.text(0), "draw cells");
    const CellGrid* drawn = e.editor.EditedCells(path);
    ASSERT_NE(drawn, nullptr);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(drawn->Filled(i, 0) && drawn->Filled(5, i)) << i;
    EXPECT_EQ(std::count(drawn->cells.begin(), drawn->cells.end(), 1), 11);
    EXPECT_TRUE(e.editor.HasUnsavedEdits());
    e.editor.WaitForWork();
    EXPECT_EQ(e.editor.EditedCheck(path)->result.verdict, Verdict::Line);

    // What the first cell got, every other gets: a stroke from a filled
    // cell clears, and leaves the empty cells it crosses empty.
    e.Drag(path, {{5, 0}, {5, 1}, {4, 1}});
    EXPECT_FALSE(e.editor.EditedCells(path)->Filled(5, 0));
    EXPECT_FALSE(e.editor.EditedCells(path)->Filled(4, 1));
    EXPECT_EQ(e.undo.count(), 2);

    e.undo.undo();
    EXPECT_TRUE(e.editor.EditedCells(path)->Filled(5, 1));
    e.undo.undo();
    EXPECT_EQ(e.editor.EditedCells(path), nullptr);  // the file's cells again
    EXPECT_FALSE(e.editor.HasUnsavedEdits());
}

}  // namespace
}  // namespace grix::test
