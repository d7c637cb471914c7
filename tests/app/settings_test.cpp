// The settings file through the window: what closing writes and what the
// next window reads.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QTest>
#include <QUndoStack>

#include "app/preview.h"
#include "builder/project_settings.h"
#include "core/file.h"
#include "core/ini_file.h"
#include "test_window.h"

#include <fcntl.h>

#include <cerrno>
#include <filesystem>

namespace grix::test {
namespace {

std::string ReadText(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class SettingsTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string ini = dir / "grix.ini";
    std::string a = dir / "a.bmp";
    std::string b = dir / "b.bmp";

    void SetUp() override {
        WriteBmp(a, 20, 15, [](int x, int) { return x == 0; });
        WriteBmp(b, 8, 8, [](int, int y) { return y == 0; });
    }
};

TEST_F(SettingsTest, WithoutAFileTheWindowShowsDefaultsAndClosingWritesAWholeFile) {
    auto window = ShowWindow(ini);
    EXPECT_EQ(window->Edit2->text(), "My first crossword");
    EXPECT_EQ(window->Edit6->text(), kDefaultCreditLine);
    EXPECT_TRUE(window->IsListEmpty());
    EXPECT_EQ(window->ComboBox1->currentText(), "Fit");
    window->close();

    const std::string text = ReadText(ini);
    const IniFile saved(ini);
    EXPECT_EQ(saved.ReadInteger("Table", "RowCount", -1), 0);
    EXPECT_FALSE(saved.ValueExists("Table", "1.1"));
    EXPECT_EQ(saved.ReadString("TEdit", "Edit2", ""), "My first crossword");
    EXPECT_EQ(saved.ReadString("TEdit", "Edit1", "-"), "");
    EXPECT_EQ(saved.ReadString("TCheckBox", "CheckBox3", ""), "0");
    EXPECT_EQ(saved.ReadString("TComboBox", "ComboBox1", ""), "10");
    EXPECT_TRUE(saved.ValueExists("Font", "Font.Name"));
    // Sections in visiting order, and the edits in theirs.
    const std::vector<std::string> order = {
        "[TEdit]",    "Edit2=",       "Edit6=",     "Edit1=",   "[TCheckBox]", "CheckBox3=",
        "CheckBox1=", "[TComboBox]",  "ComboBox1=", "[Font]",   "Font.Size=",  "Font.Name=",
        "Font.Bold=", "Font.Italic=", "[Table]",    "RowCount="};
    std::size_t at = 0;
    for (const std::string& piece : order) {
        const std::size_t found = text.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece << " after " << at << " in\n" << text;
        at = found;
    }
}

TEST_F(SettingsTest, TheProjectAndOptionsSurviveARestart) {
    {
        auto window = ShowWindow(ini);
        AddImages(*window, {a, b});
        window->sgImages->item(0, 3)->setText("Лодка, first");
        window->Edit2->setText("Cats");
        window->Edit6->setText("By me");
        window->Edit1->setText(QString::fromStdString(dir / "splash.png"));
        window->CheckBox3->setChecked(true);
        window->ComboBox1->setCurrentIndex(4);
        window->CheckBox1->setChecked(true);
        QFont font = window->Image1->font();
        font.setPointSize(13);
        font.setItalic(true);
        window->Image1->setFont(font);
        window->close();
    }
    auto window = ShowWindow(ini);
    EXPECT_EQ(window->Edit2->text(), "Cats");
    EXPECT_EQ(window->Edit6->text(), "By me");
    EXPECT_EQ(window->Edit1->text().toStdString(), dir / "splash.png");
    EXPECT_TRUE(window->CheckBox3->isChecked());
    EXPECT_EQ(window->ComboBox1->currentIndex(), 4);
    EXPECT_TRUE(window->CheckBox1->isChecked());
    EXPECT_EQ(window->Image1->font().pointSize(), 13);
    EXPECT_TRUE(window->Image1->font().italic());
    EXPECT_FALSE(window->Image1->font().bold());
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + a + "|20 * 15|Лодка, first", "2|" + b + "|8 * 8|"}));
    EXPECT_EQ(window->Label14->text(), "2");
    EXPECT_EQ(window->SelectedRow(), 1);
    EXPECT_TRUE(window->boxes.empty());
}

TEST_F(SettingsTest, ANoteStillBeingTypedIsSavedOnClosing) {
    {
        auto window = ShowWindow(ini);
        AddImages(*window, {a});
        window->sgImages->setCurrentCell(0, 3);
        window->sgImages->editItem(window->sgImages->item(0, 3));
        QApplication::processEvents();
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, window->sgImages);
        QTest::keyClicks(editor, "typed");
        window->close();
    }
    EXPECT_EQ(IniFile(ini).ReadString("Table", "1.3", ""), "typed");
}

TEST_F(SettingsTest, ReadingRulesAndDefaults) {
    WriteText(ini,
              "; kept as it is\r\n"
              "[tedit]\r\n"
              "EDIT6=\xC0\xE2\xF2\xEE\xF0\r\n"  // "Автор" in Windows-1251
              "[TCheckBox]\r\n"
              "CheckBox3=7\r\n"
              "CheckBox1=maybe\r\n"
              "[TComboBox]\r\n"
              "ComboBox1=$3\r\n"
              "[Table]\r\n"
              "RowCount=0x2\r\n"
              "1.1=" +
                  a +
                  "\r\n"
                  "1.2=20 * 15\r\n"
                  "1.3=first\r\n"
                  "2.1=" +
                  b +
                  "\r\n"
                  "2.2=8 * 8\r\n");
    auto window = ShowWindow(ini);
    EXPECT_EQ(window->Edit2->text(), "My first crossword") << "missing: the default stays";
    EXPECT_EQ(window->Edit6->text(), "Автор");
    EXPECT_TRUE(window->CheckBox3->isChecked()) << "7 is not 0";
    EXPECT_FALSE(window->CheckBox1->isChecked()) << "unparsable: the default";
    EXPECT_EQ(window->ComboBox1->currentIndex(), 3);
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + a + "|20 * 15|first", "2|" + b + "|8 * 8|"}));
    EXPECT_EQ(window->Label14->text(), "2");
    window->CheckBox1->setChecked(true);  // a changed project is saved on closing
    window->close();
    const std::string text = ReadText(ini);
    EXPECT_EQ(text.rfind("; kept as it is\r\n[tedit]\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("EDIT6=Автор\r\n"), std::string::npos) << "rewritten in UTF-8";
}

TEST_F(SettingsTest, ShrinkingTheListLeavesOldRowsThatTheNextStartIgnores) {
    {
        auto window = ShowWindow(ini);
        AddImages(*window, {a, b, a, b, a});
        window->close();
    }
    {
        auto window = ShowWindow(ini);
        ASSERT_EQ(Rows(*window).size(), 5u);
        for (int i = 0; i < 3; ++i)
            Click(window->BitBtn5);
        window->close();
    }
    const IniFile saved(ini);
    EXPECT_EQ(saved.ReadInteger("Table", "RowCount", -1), 2);
    EXPECT_TRUE(saved.ValueExists("Table", "5.3"));
    auto window = ShowWindow(ini);
    EXPECT_EQ(Rows(*window).size(), 2u);
    EXPECT_EQ(window->Label14->text(), "2");
}

TEST_F(SettingsTest, AHostileRowCountLoadsAsTheEmptyList) {
    WriteText(ini, "[Table]\nRowCount=100000000\n1.1=" + a + "\n");
    auto window = ShowWindow(ini);
    EXPECT_TRUE(window->IsListEmpty());
    EXPECT_EQ(window->Label14->text(), "0");
}

TEST_F(SettingsTest, RelativePicturePathsAreTakenAgainstTheSettingsFolder) {
    std::filesystem::create_directory(dir / "project");
    WriteBmp(dir / "project/cat.bmp", 3, 3, [](int, int) { return true; });
    WriteText(dir / "project/grix.ini", "[Table]\nRowCount=1\n1.1=cat.bmp\n1.2=3 * 3\n");
    auto window = ShowWindow(dir / "project/grix.ini");
    EXPECT_EQ(Rows(*window),
              (std::vector<std::string>{"1|" + (dir / "project/cat.bmp") + "|3 * 3|"}));
    EXPECT_TRUE(window->boxes.empty()) << "the preview found the picture";
}

TEST_F(SettingsTest, AFailedSaveKeepsTheOldFileAndIsNotReported) {
    const std::string missing = dir / "no such folder/grix.ini";
    auto window = ShowWindow(missing);
    window->Edit2->setText("Lost");
    window->close();
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(window->boxes.empty());
}

TEST_F(SettingsTest, AWindowThatNeverOpenedDoesNotOverwriteTheFile) {
    WriteText(ini, "[TEdit]\nEdit2=Keep me\n");
    {
        TestWindow window(ini);
        window.close();
    }
    EXPECT_EQ(ReadText(ini), "[TEdit]\nEdit2=Keep me\n");
}

}  // namespace
}  // namespace grix::test

namespace grix::test {
namespace {

// A folder the user may not write to: every open for writing in it fails.
class ReadOnlyFolder : public FileOps {
  public:
    explicit ReadOnlyFolder(std::string folder) : folder_(std::move(folder)) {}
    int Open(const std::string& path, int flags, int mode) override {
        if (path.rfind(folder_, 0) == 0 && (flags & (O_WRONLY | O_RDWR | O_CREAT)) != 0) {
            errno = EACCES;
            return -1;
        }
        return FileOps::Open(path, flags, mode);
    }

  private:
    std::string folder_;
};

TEST_F(SettingsTest, AProjectThatCannotBeSavedIsNeverDroppedSilently) {
    auto window = ShowWindow(ini);
    AddImages(*window, {a});
    window->Edit2->setText("Unsaved");
    ReadOnlyFolder read_only(dir.path().string());
    ScopedFileOps stub(read_only);

    window->close();  // no answer: "Stay"
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(window->save_failures.size(), 1);
    EXPECT_TRUE(window->save_failures[0].contains(QString::fromStdString(ini)))
        << window->save_failures[0].toStdString();

    // Save elsewhere: a cancelled dialog asks again; then another folder.
    TempDir elsewhere;
    const std::string moved = elsewhere / "cats.ini";
    window->save_failure_answers = {QMessageBox::Save, QMessageBox::Save};
    window->save_answers = {"", QString::fromStdString(moved)};
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->SettingsPath(), moved);
    EXPECT_EQ(LoadCrosswordProject(moved).name, "Unsaved");
    EXPECT_EQ(LoadCrosswordProject(moved).pictures.at(0).path, a);
    EXPECT_FALSE(std::filesystem::exists(ini));

    // Discard closes without writing.
    auto second = ShowWindow(dir / "other.ini");
    second->save_failure_answers = {QMessageBox::Discard};
    second->close();
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(std::filesystem::exists(dir / "other.ini"));
}

}  // namespace
}  // namespace grix::test

namespace grix::test {
namespace {

TEST_F(SettingsTest, ProjectsAreDocumentsSavedAsOpenedAndRemembered) {
    auto window = ShowWindow(ini);
    AddImages(*window, {a});
    window->Edit2->setText("Cats");
    const std::string cats = dir / "cats.ini";
    window->save_answers = {QString::fromStdString(cats)};
    window->actionSaveAs->trigger();
    EXPECT_EQ(window->SettingsPath(), cats);
    EXPECT_EQ(LoadCrosswordProject(cats).name, "Cats");

    // A new project is untitled until its first save asks where it goes;
    // a name without an extension is saved as an INI file.
    const std::string dogs = dir / "dogs.ini";
    window->actionNew->trigger();
    EXPECT_TRUE(window->IsListEmpty());
    EXPECT_EQ(window->Edit2->text(), "My first crossword");
    EXPECT_EQ(window->UndoStack()->count(), 0);
    EXPECT_EQ(window->SettingsPath(), "");
    window->save_answers = {QString::fromStdString(dir / "dogs")};
    window->actionSave->trigger();
    EXPECT_EQ(window->SettingsPath(), dogs);
    EXPECT_TRUE(std::filesystem::exists(dogs));

    window->file_answers = {QString::fromStdString(cats)};
    window->actionOpen->trigger();
    EXPECT_EQ(window->Edit2->text(), "Cats");
    EXPECT_EQ(window->Project().pictures.at(0).path, a);
    const QList<QAction*> recent = window->menuRecent->actions();
    ASSERT_GE(recent.size(), 3);
    EXPECT_TRUE(recent[0]->text().endsWith(QString::fromStdString(cats)));
    EXPECT_TRUE(recent[1]->text().endsWith(QString::fromStdString(dogs)));
    recent[1]->trigger();
    EXPECT_EQ(window->SettingsPath(), dogs);
    EXPECT_TRUE(window->boxes.empty());

    window->file_answers = {QString::fromStdString(dir / "missing.ini")};
    window->actionOpen->trigger();
    ASSERT_EQ(window->boxes.size(), 1u);
    EXPECT_EQ(window->boxes[0].text.toStdString(),
              "Cannot open project " + (dir / "missing.ini") + ": File not found.");
    EXPECT_EQ(window->SettingsPath(), dogs) << "the open project stays";
}

}  // namespace
}  // namespace grix::test

namespace grix::test {
namespace {

TEST_F(SettingsTest, AMissingFirstPictureIsReportedOverTheOpenWindowByName) {
    WriteText(ini, "[Table]\r\nRowCount=1\r\n1.1=" + (dir / "gone.bmp") + "\r\n");
    auto window = ShowWindow(ini);
    window->Checks().WaitForAll();
    QApplication::processEvents();
    // The row and the preview say it; no box interrupts the opening.
    EXPECT_TRUE(window->boxes.empty());
    EXPECT_EQ(window->sgImages->item(0, 4)->text(), "file not found");
    EXPECT_EQ(window->Image1->Message().toStdString(),
              "Cannot show picture 1 (" + (dir / "gone.bmp") + "):\nfile not found");
}

}  // namespace
}  // namespace grix::test
