// The picture list: adding, removing and moving rows, the count, the size
// text, the cell-selection rule, dropping files and the keyboard.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QUndoStack>
#include <QUrl>

#include <filesystem>

#include "core/ini_file.h"

#include "test_window.h"

namespace grix::test {
namespace {

class ListTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string a = dir / "a.bmp";
    std::string b = dir / "b.bmp";
    std::string c = dir / "c.bmp";
    std::unique_ptr<TestWindow> window;

    void SetUp() override {
        WriteBmp(a, 20, 15, [](int x, int) { return x % 2 == 0; });
        WriteBmp(b, 8, 8, [](int, int y) { return y == 0; });
        WriteBmp(c, 3, 5, [](int, int) { return true; });
        window = ShowWindow(dir / "grix.ini");
    }

    std::string Count() const { return window->Label14->text().toStdString(); }
    void Select(int row, int column = 1) {
        window->sgImages->setCurrentCell(row - 1, column);
        QApplication::processEvents();
    }
};

TEST_F(ListTest, StartsAsTheEmptyList) {
    EXPECT_TRUE(window->IsListEmpty());
    EXPECT_EQ(Count(), "0");
    EXPECT_EQ(Rows(*window), (std::vector<std::string>{"|||"}));
    EXPECT_TRUE(window->Project().list_empty);
}

TEST_F(ListTest, AddingToTheEmptyListFillsRowOneThenAppends) {
    AddImages(*window, {a});
    ASSERT_EQ(window->asked.size(), 1u);
    EXPECT_EQ(window->asked[0].title, "Select image");
    EXPECT_EQ(window->asked[0].filter, "*.bmp (*.bmp)");
    EXPECT_EQ(Rows(*window), (std::vector<std::string>{"1|" + a + "|20 * 15|"}));
    EXPECT_FALSE(window->IsListEmpty());
    EXPECT_EQ(Count(), "1");

    Select(1, 3);
    AddImages(*window, {b});
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + a + "|20 * 15|", "2|" + b + "|8 * 8|"}));
    EXPECT_EQ(Count(), "2");
    EXPECT_EQ(window->SelectedRow(), 2) << "the new picture is selected and shown";
    EXPECT_EQ(window->sgImages->currentColumn(), 1);
    EXPECT_TRUE(window->boxes.empty());

    window->file_answers.push_back(QString::fromStdString(c + "\n" + a));  // two at once
    Click(window->BitBtn4);
    EXPECT_EQ(Count(), "4");
    EXPECT_EQ(Rows(*window)[2], "3|" + c + "|3 * 5|");
    EXPECT_EQ(window->SelectedRow(), 4);
}

TEST_F(ListTest, ACancelledDialogAddsNothing) {
    Click(window->BitBtn4);
    EXPECT_EQ(window->asked.size(), 1u);
    EXPECT_TRUE(window->IsListEmpty());
}

TEST_F(ListTest, APictureThatCannotBeReadStaysWithoutSizeAndIsReported) {
    AddImages(*window, {a});
    const std::string broken = dir / "broken.bmp";
    WriteText(broken, "not a picture");
    AddImages(*window, {broken});
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + a + "|20 * 15|", "2|" + broken + "||"}));
    EXPECT_EQ(Count(), "2");
    ASSERT_EQ(window->boxes.size(), 1u);
    EXPECT_EQ(window->boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(window->boxes[0].text.startsWith(
        QString::fromStdString("Cannot read picture 2 (" + broken + "): ")))
        << window->boxes[0].text.toStdString();
    EXPECT_TRUE(window->boxes[0].text.endsWith('.'));
}

TEST_F(ListTest, RemovingTheMiddleOfThreeMovesTheLastUp) {
    AddImages(*window, {a, b, c});
    window->sgImages->item(2, 3)->setText("third note");
    Select(2);
    Click(window->BitBtn5);
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + a + "|20 * 15|", "2|" + c + "|3 * 5|third note"}));
    EXPECT_EQ(Count(), "2");
    EXPECT_EQ(window->SelectedRow(), 2);
}

TEST_F(ListTest, RemovingTheLastRowSelectsTheNewLast) {
    AddImages(*window, {a, b});
    Select(2);
    Click(window->BitBtn5);
    EXPECT_EQ(Rows(*window), (std::vector<std::string>{"1|" + a + "|20 * 15|"}));
    EXPECT_EQ(window->SelectedRow(), 1);
}

TEST_F(ListTest, RemovingTheOnlyRowGivesTheEmptyListAndABlankPreview) {
    AddImages(*window, {c});
    const QRgb background = window->palette().color(QPalette::Button).rgb();
    const auto shows_something = [&] {
        const QImage preview = GrabPreview(*window);
        for (int y = 0; y < preview.height(); ++y) {
            for (int x = 0; x < preview.width(); ++x) {
                if (preview.pixel(x, y) != background)
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(shows_something());
    Click(window->BitBtn5);
    EXPECT_TRUE(window->IsListEmpty());
    EXPECT_EQ(Rows(*window), (std::vector<std::string>{"|||"}));
    EXPECT_EQ(Count(), "0");
    EXPECT_FALSE(shows_something());
    Click(window->BitBtn5);  // removing from the empty list keeps it empty
    EXPECT_TRUE(window->IsListEmpty());
}

TEST_F(ListTest, ButtonsThatCanDoNothingAreDisabled) {
    EXPECT_FALSE(window->BitBtn5->isEnabled()) << "nothing to remove";
    AddImages(*window, {a, b});
    const auto before = Rows(*window);
    Select(1);
    EXPECT_FALSE(window->BitBtn6->isEnabled());
    EXPECT_TRUE(window->BitBtn7->isEnabled());
    Click(window->BitBtn6);
    EXPECT_EQ(Rows(*window), before);
    EXPECT_EQ(window->SelectedRow(), 1);
    Select(2);
    EXPECT_TRUE(window->BitBtn6->isEnabled());
    EXPECT_FALSE(window->BitBtn7->isEnabled());
    Click(window->BitBtn7);
    EXPECT_EQ(Rows(*window), before);
    EXPECT_EQ(window->SelectedRow(), 2);
    EXPECT_EQ(Count(), "2");
}

TEST_F(ListTest, UpAndDownSwapEntriesAndFollowWithTheSelection) {
    AddImages(*window, {a, b, c});
    window->sgImages->item(2, 3)->setText("c note");
    Select(3, 3);
    Click(window->BitBtn6);
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + a + "|20 * 15|", "2|" + c + "|3 * 5|c note",
                                        "3|" + b + "|8 * 8|"}));
    EXPECT_EQ(window->SelectedRow(), 2);
    EXPECT_EQ(window->sgImages->currentColumn(), 3);

    Select(1);
    Click(window->BitBtn7);
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + c + "|3 * 5|c note", "2|" + a + "|20 * 15|",
                                        "3|" + b + "|8 * 8|"}));
    EXPECT_EQ(window->SelectedRow(), 2);
}

TEST_F(ListTest, OnlyTheNotesColumnCanBeTypedInto) {
    AddImages(*window, {a});
    QTableWidget* grid = window->sgImages;
    Select(1, 1);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    Select(1, 2);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    Select(1, 3);
    EXPECT_NE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

    QTest::keyClick(grid, 'N');  // typing opens the editor
    QApplication::processEvents();
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, grid);
    QTest::keyClicks(editor, "ice");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(grid->item(0, 3)->text(), "Nice");
    EXPECT_EQ(window->Project().pictures.at(0).note, "Nice");

    // The number column is fixed: it can be neither selected nor edited.
    EXPECT_FALSE(grid->item(0, 0)->flags() & Qt::ItemIsSelectable);
    EXPECT_FALSE(grid->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(grid->item(0, 1)->flags() & Qt::ItemIsEditable);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(0, 0)).center());
    EXPECT_NE(grid->currentColumn(), 0);
}

// Drops `paths` on the list as a file manager does.
void Drop(TestWindow& window, const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& path : paths)
        urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
    data.setUrls(urls);
    QWidget* target = window.sgImages->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

TEST_F(ListTest, DropsAddBmpFilesInOrderAndFoldersSortedAndSayWhatWasRefused) {
    AddImages(*window, {a});
    Drop(*window, {c, dir / "notes.txt", b});
    EXPECT_EQ(Rows(*window), (std::vector<std::string>{"1|" + a + "|20 * 15|", "2|" + c + "|3 * 5|",
                                                       "3|" + b + "|8 * 8|"}));
    EXPECT_EQ(window->statusBar()->currentMessage(),
              "Not added: notes.txt is not a BMP, PNG, JPEG or GIF picture");

    const std::string folder = dir / "folder";
    std::filesystem::create_directory(folder);
    for (const char* name : {"b2.bmp", "A1.BMP", "c3.bmp"})
        WriteBmp(folder + "/" + name, 2, 2, [](int, int) { return true; });
    WriteText(folder + "/readme.txt", "not a picture");
    // A photo goes through the import dialog; what it writes is added with
    // its note.
    window->import_answers.push_back(ImportedPicture{QString::fromStdString(c), "photo-3x5.bmp"});
    Drop(*window, {folder, dir / "photo.png"});
    const auto rows = Rows(*window);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[3], "4|" + folder + "/A1.BMP|2 * 2|");
    EXPECT_EQ(rows[4], "5|" + folder + "/b2.bmp|2 * 2|");
    EXPECT_EQ(rows[5], "6|" + folder + "/c3.bmp|2 * 2|");
    EXPECT_EQ(rows[6], "7|" + c + "|3 * 5|photo-3x5.bmp");
    EXPECT_EQ(window->imported_sources, QStringList{QString::fromStdString(dir / "photo.png")});

    window->actionImport->trigger();  // from the menu: the dialog asks for the picture
    EXPECT_EQ(window->imported_sources.size(), 2);
    EXPECT_EQ(window->imported_sources.back(), "");
    EXPECT_EQ(Count(), "7") << "cancelled";
}

TEST_F(ListTest, DeleteClearsANoteRemovesARowOnItsFileCellAndLeavesTheSize) {
    AddImages(*window, {a, b});
    window->sgImages->item(0, 3)->setText("keep me");
    window->sgImages->item(1, 3)->setText("clear me");
    QTableWidget* grid = window->sgImages;
    grid->setFocus();
    Select(2, 3);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + a + "|20 * 15|keep me", "2|" + b + "|8 * 8|"}));
    Select(1, 2);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(Count(), "2") << "the size cell removes nothing";
    Select(1, 1);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(Rows(*window), (std::vector<std::string>{"1|" + b + "|8 * 8|"}));
    window->UndoStack()->undo();
    EXPECT_EQ(Rows(*window)[0], "1|" + a + "|20 * 15|keep me");
}

TEST_F(ListTest, UndoingEveryChangeAndRedoingItGivesTheSameLists) {
    AddImages(*window, {a, b});
    Select(1, 3);
    QTest::keyClick(window->sgImages, 'X');  // typing opens the note editor
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Select(2);  // a new picture goes after the selected one
    AddImages(*window, {c});
    Select(3);
    Click(window->BitBtn6);
    Select(1);
    Click(window->BitBtn5);
    const auto last = Rows(*window);
    EXPECT_EQ(last, (std::vector<std::string>{"1|" + c + "|3 * 5|", "2|" + b + "|8 * 8|"}));

    std::vector<std::vector<std::string>> seen{last};
    QUndoStack* undo = window->UndoStack();
    while (undo->canUndo()) {
        window->actionUndo->trigger();
        seen.push_back(Rows(*window));
    }
    EXPECT_EQ(seen.back(), (std::vector<std::string>{"|||"}));
    EXPECT_EQ(seen[3], (std::vector<std::string>{"1|" + a + "|20 * 15|X", "2|" + b + "|8 * 8|"}));
    for (std::size_t i = seen.size() - 1; i-- > 0;) {
        window->actionRedo->trigger();
        EXPECT_EQ(Rows(*window), seen[i]) << "redo " << i;
    }
    EXPECT_EQ(Count(), "2");
}

TEST_F(ListTest, TheNoteEditorTakesNoMoreThanTheSettingsFileKeeps) {
    AddImages(*window, {a});
    Select(1, 3);
    QTest::keyClick(window->sgImages, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), static_cast<int>(kIniValueCharacterLimit));
}

TEST_F(ListTest, KeyboardDeletesAndMovesTheSelectedPicture) {
    AddImages(*window, {a, b, c});
    QTableWidget* grid = window->sgImages;
    grid->setFocus();
    Select(1);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Rows(*window)[1], "2|" + a + "|20 * 15|");
    EXPECT_EQ(window->SelectedRow(), 2);
    QTest::keyClick(grid, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Rows(*window)[0], "1|" + a + "|20 * 15|");
    EXPECT_EQ(window->SelectedRow(), 1);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + b + "|8 * 8|", "2|" + c + "|3 * 5|"}));
    EXPECT_EQ(Count(), "2");
}

TEST_F(ListTest, NewPicturesGoAfterTheSelectedOneAndARowNumberSelectsItsPicture) {
    AddImages(*window, {a, b});
    const QRect number = window->sgImages->visualItemRect(window->sgImages->item(0, 0));
    QTest::mouseClick(window->sgImages->viewport(), Qt::LeftButton, {}, number.center());
    EXPECT_EQ(window->SelectedRow(), 1) << "the number's click selects its picture";
    AddImages(*window, {c});
    EXPECT_EQ(Rows(*window), (std::vector<std::string>{"1|" + a + "|20 * 15|", "2|" + c + "|3 * 5|",
                                                       "3|" + b + "|8 * 8|"}));
    EXPECT_EQ(window->SelectedRow(), 2);
}

TEST_F(ListTest, CtrlUpAndDownWorkFromAnyFieldAndTabLeavesTheListAtOnce) {
    AddImages(*window, {a, b});
    Select(1);
    window->activateWindow();
    window->Edit6->setFocus();
    QTest::keyClick(window->Edit6, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Rows(*window)[1], "2|" + a + "|20 * 15|") << "moved with the focus in a field";
    window->sgImages->setFocus();
    QTest::keyClick(window->sgImages, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), window->sgImages);
}

TEST_F(ListTest, TheProjectTakesEveryRowInOrder) {
    AddImages(*window, {a, b});
    window->sgImages->item(1, 3)->setText("second");
    window->Edit2->setText("Cats");
    const CrosswordProject p = window->Project();
    EXPECT_EQ(p.name, "Cats");
    EXPECT_FALSE(p.list_empty);
    ASSERT_EQ(p.pictures.size(), 2u);
    EXPECT_EQ(p.pictures[0].number, 1);
    EXPECT_EQ(p.pictures[0].path, a);
    EXPECT_EQ(p.pictures[0].size_text, "20 * 15");
    EXPECT_EQ(p.pictures[1].number, 2);
    EXPECT_EQ(p.pictures[1].note, "second");
}

}  // namespace
}  // namespace grix::test
