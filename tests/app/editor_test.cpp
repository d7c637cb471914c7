// Drawing over a picture: the mouse mapped to cells, a stroke as one undo
// step followed by the live check, "Fix it" as one step, and a picture that
// cannot take the drawing never overwritten.
#include <gtest/gtest.h>

#include <QUndoStack>

#include <algorithm>

#include "app/cell_editor.h"
#include "app/preview.h"
#include "app/utf8_text.h"
#include "cells/pack_picture.h"
#include "convert/cell_bmp_writer.h"
#include "test_window.h"

namespace grix::test {
namespace {

struct Editor {
    QUndoStack undo;
    QStringList proposed;  // the names the save question offered
    QStringList answers;   // its answers, in turn
    std::vector<std::pair<QString, QString>> repointed;
    std::vector<std::size_t> fix_shown;  // the changes a fix question showed
    bool apply = true;
    QString path;  // the picture whose fix is asked about
    CellEditor editor{&undo, Hooks()};

    EditorHooks Hooks() {
        EditorHooks hooks;
        hooks.save_name = [this](const QString&, const QString& name) {
            proposed << name;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
        hooks.apply_fix = [this](const QString&) {
            fix_shown.push_back(editor.Proposal(path)->changes.size());
            return apply;
        };
        hooks.repoint = [this](const QString& from, const QString& to) {
            repointed.emplace_back(from, to);
        };
        return hooks;
    }

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

TEST(CellEditor, FixItShowsTheProposalAndAppliesItAsOneStep) {
    TempDir dir;
    const QString path = QString::fromStdString(dir / "diagonal.bmp");
    const CellGrid diagonal{2, 2, {1, 0, 0, 1}};
    WriteCellBmp(Utf8(path), diagonal);
    for (const bool apply : {false, true}) {
        SCOPED_TRACE(apply ? "applied" : "declined");
        Editor e;
        e.path = path;
        e.apply = apply;
        e.editor.StartFix(path);
        e.editor.WaitForWork();
        EXPECT_EQ(e.fix_shown, std::vector<std::size_t>{1});
        EXPECT_EQ(e.editor.Proposal(path), nullptr);  // asked and answered
        ASSERT_EQ(e.undo.count(), apply ? 1 : 0);
        if (!apply)
            continue;
        EXPECT_EQ(e.undo.text(0), "fix it");
        const CellGrid fixed = *e.editor.EditedCells(path);
        EXPECT_EQ(CheckCells(fixed).verdict, Verdict::Line);
        e.undo.undo();
        EXPECT_EQ(e.editor.EditedCells(path), nullptr);
    }
}

TEST(CellEditor, APictureThatCannotTakeTheDrawingIsSavedAsANewFile) {
    TempDir dir;
    Editor e;
    const QString path = QString::fromStdString(dir / "photo.bmp");
    WriteBmp(Utf8(path), 3, 3, [](int x, int y) { return x == y; });
    const std::vector<std::uint8_t> source = ReadBytes(Utf8(path));
    e.Drag(path, {{0, 2}});

    // Cancelling the name keeps the edits.
    EXPECT_FALSE(e.editor.SaveAll());
    EXPECT_TRUE(e.editor.HasUnsavedEdits());
    const QString copy = QString::fromStdString(dir / "photo-edited.bmp");
    e.answers << copy;
    EXPECT_TRUE(e.editor.SaveAll());

    EXPECT_EQ(e.proposed, QStringList({copy, copy}));
    EXPECT_EQ(ReadBytes(Utf8(path)), source);
    EXPECT_EQ(CellsOfPicture(Utf8(copy)), (CellGrid{3, 3, {1, 0, 0, 0, 1, 0, 1, 0, 1}}));
    EXPECT_EQ(e.repointed, (std::vector<std::pair<QString, QString>>{{path, copy}}));
    EXPECT_FALSE(e.editor.HasUnsavedEdits());
}

}  // namespace
}  // namespace grix::test
