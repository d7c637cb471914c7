// Drawing in the window: the mouse on the preview draws, the Check column
// follows, Ctrl+Z takes a stroke back, "Fix it" is one step, saving the
// project saves the drawing without overwriting a picture that cannot take
// it, Start saves it before the build reads the file, and "New picture"
// lists a blank one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QUndoStack>

#include "app/cell_editor.h"
#include "cells/pack_picture.h"
#include "convert/cell_bmp_writer.h"
#include "test_window.h"

namespace grix::test {
namespace {

std::string CheckOf(const TestWindow& window) {
    return window.sgImages->item(0, 4)->text().toStdString();
}

QPoint PixelOf(const TestWindow& window, QPoint cell) {
    const PreviewLayout& layout = window.Image1->Layout();
    return layout.origin + cell * layout.pitch + QPoint(layout.pitch / 2, layout.pitch / 2);
}

void Settle(TestWindow& window) {
    window.Editor().WaitForWork();
    window.Checks().WaitForAll();
    QApplication::processEvents();
}

TEST(Drawing, AStrokeOnThePreviewIsOneStepAndSavingKeepsA24BitSource) {
    TempDir dir;
    const std::string source = dir / "photo.bmp";
    WriteBmp(source, 4, 4, [](int x, int y) { return x == 3 && y == 2; });
    const std::vector<std::uint8_t> source_bytes = ReadBytes(source);
    auto window = ShowWindow(dir / "grix.ini");
    AddImages(*window, {source});
    window->UndoStack()->setClean();
    Settle(*window);
    ASSERT_EQ(CheckOf(*window), "unique (line logic)");
    const int steps = window->UndoStack()->count();

    // Press on (0, 3) and move straight to (2, 3), skipping (1, 3): a run
    // of three in the bottom row fits left or right of the cell above.
    QTest::mousePress(window->Image1, Qt::LeftButton, {}, PixelOf(*window, {0, 3}));
    QTest::mouseMove(window->Image1, PixelOf(*window, {2, 3}));
    QTest::mouseRelease(window->Image1, Qt::LeftButton, {}, PixelOf(*window, {2, 3}));
    Settle(*window);
    EXPECT_EQ(window->UndoStack()->count(), steps + 1);
    EXPECT_EQ(window->actionUndo->text(), "&Undo draw cells");
    EXPECT_EQ(CheckOf(*window), "several solutions");
    EXPECT_TRUE(window->IsProjectModified());

    window->actionUndo->trigger();
    Settle(*window);
    EXPECT_EQ(CheckOf(*window), "unique (line logic)");
    EXPECT_FALSE(window->IsProjectModified());
    window->actionRedo->trigger();

    // Closing asks, and staying keeps the drawing.
    window->save_changes_answers = {QMessageBox::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(window->save_changes_questions.size(), 1);
    ASSERT_TRUE(window->Editor().HasUnsavedEdits());

    // Cancelling the new name saves nothing; the drawing stays.
    const QString copy = QString::fromStdString(dir / "photo-edited.bmp");
    window->actionSave->trigger();
    ASSERT_FALSE(window->asked.empty());
    EXPECT_EQ(window->asked.back().proposed, copy);
    EXPECT_TRUE(window->IsProjectModified());
    window->save_answers = {copy};
    window->actionSave->trigger();
    EXPECT_EQ(window->asked.back().proposed, copy);
    EXPECT_EQ(ReadBytes(source), source_bytes);
    EXPECT_EQ(Rows(*window), std::vector<std::string>{"1|" + copy.toStdString() + "|4 * 4|"});
    EXPECT_EQ(CellsOfPicture(copy.toStdString()),
              (CellGrid{4, 4, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0}}));
    EXPECT_FALSE(window->IsProjectModified());
}

TEST(Drawing, FixItAppliesTheProposalAsOneStep) {
    TempDir dir;
    WriteBmp(dir / "diagonal.bmp", 2, 2, [](int x, int y) { return x == y; });
    auto window = ShowWindow(dir / "grix.ini");
    AddImages(*window, {dir / "diagonal.bmp"});
    Settle(*window);
    ASSERT_EQ(CheckOf(*window), "several solutions");
    const int steps = window->UndoStack()->count();

    // Declined, nothing changes; applied, the one cell is one step.
    window->fix_answers = {false, true};
    for (int asked = 1; asked <= 2; ++asked) {
        Click(Find<QAbstractButton>(*window, "FixIt"));
        Settle(*window);
        ASSERT_EQ(window->fix_questions.size(), asked);
        EXPECT_TRUE(window->fix_questions.back().startsWith(
            "Change 1 cell to make the puzzle unique (line logic):\n("));
        EXPECT_EQ(window->UndoStack()->count(), steps + asked - 1);
    }
    EXPECT_EQ(CheckOf(*window), "unique (line logic)");
    window->actionUndo->trigger();
    Settle(*window);
    EXPECT_EQ(CheckOf(*window), "several solutions");
}

TEST(Drawing, StartSavesTheDrawingInPlaceBeforeTheBuildReadsIt) {
    TempDir dir;
    const std::string path = dir / "one-bit.bmp";
    WriteCellBmp(path, CellGrid{3, 1, {0, 0, 0}});
    CellGrid built;
    auto window = ShowWindow(dir / "grix.ini", [&](const CrosswordProject& project, const LogSink&,
                                                   const BuildControl&) {
        built = CellsOfPicture(project.pictures.at(0).path);
        return BuildOutcome{true, {}};
    });
    AddImages(*window, {path});
    const std::size_t asked = window->asked.size();
    window->Editor().Stroke(StrokeStep::Press, QString::fromStdString(path), {1, 0});
    window->Editor().Stroke(StrokeStep::Release, QString::fromStdString(path), {1, 0});
    window->actionStart->trigger();
    WaitForBuild(*window);
    EXPECT_EQ(window->asked.size(), asked);  // in place: no name asked
    EXPECT_EQ(built, (CellGrid{3, 1, {0, 1, 0}}));
}

TEST(Drawing, NewPictureAddsABlankOneToDrawOn) {
    TempDir dir;
    auto window = ShowWindow(dir / "grix.ini");
    const std::string path = dir / "new.bmp";
    window->size_answers = {QSize(5, 3)};
    window->save_answers = {QString::fromStdString(dir / "new")};  // .bmp is added
    Find<QAction>(*window, "actionNewPicture")->trigger();
    EXPECT_EQ(Rows(*window), std::vector<std::string>{"1|" + path + "|5 * 3|"});
    EXPECT_EQ(CellsOfPicture(path), (CellGrid{5, 3, std::vector<std::uint8_t>(15)}));
}

}  // namespace
}  // namespace grix::test
