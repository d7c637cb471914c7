// The window's frame and buttons: caption, layout, "Start", "Show midlets",
// "Hex", "About" and the general error display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>

#include "app/error_display.h"
#include "app/program_version.h"
#include "test_window.h"

namespace grix::test {
namespace {

TEST(ErrorDisplay, AFullStopUnlessTheMessageEndsAtOrBelowOne) {
    struct Case {
        const char* message;
        const char* shown;
    };
    const Case cases[] = {
        {"File not found", "File not found."},
        {"Disk full.", "Disk full."},
        {"Stopped,", "Stopped,"},
        {"brask: Cannot open -", "brask: Cannot open -"},
        {"Wrong!", "Wrong!"},
        {"Native error: (00002)", "Native error: (00002)"},
        {"I/O error 5", "I/O error 5."},
        {"a/", "a/."},
        {"", ""},
        {"Ошибка", "Ошибка."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorDisplayText(QString::fromUtf8(c.message)).toStdString(), c.shown);
    }
}

class ButtonsTest : public ::testing::Test {
  protected:
    TempDir dir;
};

TEST_F(ButtonsTest, TheWindowAsItOpens) {
    auto window = ShowWindow(dir / "grix.ini");
    EXPECT_EQ(window->objectName(), "fmMain");
    EXPECT_EQ(window->windowTitle(), " Grix " + ProgramVersion());
    EXPECT_FALSE(window->windowIcon().availableSizes().isEmpty()) << "the icon is built in";
    EXPECT_EQ(window->size(), QSize(793, 553));
    const QList<int> sizes = window->Splitter1->sizes();
    ASSERT_EQ(sizes.size(), 2);
    EXPECT_EQ(sizes[0], 381);
    EXPECT_EQ(window->Splitter1->handleWidth(), 3);
    EXPECT_EQ(window->Panel2->height(), 33);
    EXPECT_EQ(window->Image1->size(), QSize(640, 480));

    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers << window->sgImages->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers, (QStringList{"\u2116", "File", "Size", "Notes"}));
    EXPECT_EQ(window->sgImages->columnWidth(0), 20);
    EXPECT_EQ(window->sgImages->columnWidth(1) + window->sgImages->columnWidth(2), 209 + 39);
    EXPECT_GE(window->sgImages->columnWidth(2), 39);
    EXPECT_GE(window->sgImages->columnWidth(2),
              window->sgImages->fontMetrics().horizontalAdvance("100 * 100"));

    EXPECT_EQ(window->Button1->text(), "Start");
    EXPECT_EQ(window->Button2->text(), "Show midlets");
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_EQ(window->Button3->text(), "Hex");
    EXPECT_EQ(window->Button4->text(), "About");
    EXPECT_FALSE(window->Button6->isVisible());
    EXPECT_FALSE(window->Button7->isVisible());
    EXPECT_EQ(window->Label14->text(), "0");
    EXPECT_EQ(QApplication::focusWidget(), window->Edit2);

    // Bigger and smaller: the log takes the height, the preview the width.
    window->resize(1100, 800);
    QApplication::processEvents();
    EXPECT_EQ(window->Splitter1->sizes()[0], 381);
    EXPECT_GT(window->Panel3->width(), 500);
    window->resize(793, 553);
    QApplication::processEvents();
    EXPECT_EQ(window->Image1->size(), QSize(640, 480));
}

TEST_F(ButtonsTest, AboutShowsTheVersionAndCredits) {
    auto window = ShowWindow(dir / "grix.ini");
    Click(window->Button4);
    ASSERT_EQ(window->boxes.size(), 1u);
    EXPECT_EQ(window->boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(window->boxes[0].title, "About");
    EXPECT_TRUE(window->boxes[0].text.startsWith("Grix " + ProgramVersion() + "\n"));
    EXPECT_TRUE(window->boxes[0].text.contains("Copyright"));
}

TEST_F(ButtonsTest, TheSplashButtonAsksForAPngFile) {
    auto window = ShowWindow(dir / "grix.ini");
    window->file_answers.push_back("/pictures/splash.png");
    Click(window->Button5);
    ASSERT_EQ(window->asked.size(), 1u);
    EXPECT_EQ(window->asked[0].title, "Select image");
    EXPECT_EQ(window->asked[0].filter, "*.png (*.png)");
    EXPECT_EQ(window->Edit1->text(), "/pictures/splash.png");
    Click(window->Button5);  // cancelled: the path stays
    EXPECT_EQ(window->Edit1->text(), "/pictures/splash.png");
}

TEST_F(ButtonsTest, ClosingDuringABuildWaitsForItsEnd) {
    const std::string ini = dir / "grix.ini";
    TestWindow* shown = nullptr;
    bool closed_during_build = true;
    auto window = ShowWindow(ini, [&](const CrosswordProject&, const LogSink& log) {
        shown->close();
        log("still building");
        closed_during_build = !shown->isVisible();
        return BuildOutcome{};
    });
    shown = window.get();
    Click(window->Button1);
    EXPECT_FALSE(closed_during_build);
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(std::filesystem::exists(ini)) << "closed the normal way, settings saved";
}

TEST_F(ButtonsTest, HexWritesTheDeclarationBesideTheFile) {
    auto window = ShowWindow(dir / "grix.ini");
    const std::string input = dir / "three.bin";
    WriteBytes(input, {0x41, 0x41, 0x41});
    window->file_answers.push_back(QString::fromStdString(input));
    Click(window->Button3);
    ASSERT_EQ(window->asked.size(), 1u);
    EXPECT_EQ(window->asked[0].title, "");
    EXPECT_EQ(window->asked[0].filter, "");
    const auto bytes = ReadBytes(input + ".imp");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "  array [1..3] of byte = (  $41,$40,$43\r\n);\r\n");
    EXPECT_TRUE(window->boxes.empty());
    EXPECT_TRUE(window->Memo2->toPlainText().contains(QString::fromStdString(input + ".imp")));

    Click(window->Button3);  // cancelled: nothing happens
    EXPECT_TRUE(window->boxes.empty());
}

TEST_F(ButtonsTest, AFailedExportReachesTheErrorDisplay) {
    auto window = ShowWindow(dir / "grix.ini");
    window->file_answers.push_back(QString::fromStdString(dir / "missing.bin"));
    Click(window->Button3);
    ASSERT_EQ(window->boxes.size(), 1u);
    EXPECT_EQ(window->boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(window->boxes[0].title, ProgramTitle());
    EXPECT_EQ(window->boxes[0].text,
              QString::fromStdString("Cannot open file \"" + (dir / "missing.bin") +
                                     "\". File not found."));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.bin.imp"));
}

TEST_F(ButtonsTest, StartBuildsTheProjectOfTheControlsAndShowsItsLines) {
    const std::string picture = dir / "cat.bmp";
    WriteBmp(picture, 4, 4, [](int x, int y) { return x == y; });
    std::vector<CrosswordProject> built;
    bool button_during_build = true;
    bool succeed = true;
    QStringList lines_seen_during_build;
    TestWindow* shown = nullptr;
    auto window = ShowWindow(dir / "grix.ini", [&](const CrosswordProject& p, const LogSink& log) {
        built.push_back(p);
        button_during_build = shown->Button2->isEnabled();
        log("Process started at 12:00:00");
        lines_seen_during_build = shown->Memo2->toPlainText().split('\n');
        log("Process successfully ended at 12:00:01");
        BuildOutcome outcome;
        outcome.success = succeed;
        outcome.suite_folder = dir / "midlets";
        return outcome;
    });
    shown = window.get();
    AddImages(*window, {picture});
    window->sgImages->item(0, 3)->setText("diagonal");
    window->Edit2->setText("Cats");
    window->Edit6->setText("Info");
    window->CheckBox3->setChecked(true);
    window->Edit1->setText("/splash.png");

    Click(window->Button1);
    ASSERT_EQ(built.size(), 1u);
    const CrosswordProject& p = built[0];
    EXPECT_EQ(p.name, "Cats");
    EXPECT_EQ(p.info, "Info");
    EXPECT_TRUE(p.splash);
    EXPECT_EQ(p.splash_path, "/splash.png");
    EXPECT_FALSE(p.list_empty);
    ASSERT_EQ(p.pictures.size(), 1u);
    EXPECT_EQ(p.pictures[0].path, picture);
    EXPECT_EQ(p.pictures[0].note, "diagonal");
    EXPECT_EQ(lines_seen_during_build, QStringList{"Process started at 12:00:00"});
    EXPECT_EQ(window->Memo2->toPlainText(),
              "Process started at 12:00:00\nProcess successfully ended at 12:00:01");
    EXPECT_TRUE(window->Button2->isEnabled());
    EXPECT_EQ(window->ShowTarget(), dir / "midlets");

    Click(window->Button2);
    EXPECT_EQ(window->opened_folders, QStringList{QString::fromStdString(dir / "midlets")});

    // A failed build disables "Show midlets" but keeps the folder it reported;
    // Ctrl+B starts a build too.
    succeed = false;
    QTest::keyClick(window.get(), Qt::Key_B, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_EQ(built.size(), 2u);
    EXPECT_FALSE(button_during_build) << "disabled while the build runs";
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_EQ(window->ShowTarget(), dir / "midlets");

    window->open_folder_succeeds = false;
    window->Button2->setEnabled(true);
    Click(window->Button2);
    ASSERT_EQ(window->boxes.size(), 1u);
    EXPECT_EQ(window->boxes[0].text.toStdString(),
              "Can not open folder " + (dir / "midlets") + ".");
}

TEST_F(ButtonsTest, StartWithTheEmptyListHandsOverAnEmptyProject) {
    std::vector<CrosswordProject> built;
    auto window = ShowWindow(dir / "grix.ini", [&](const CrosswordProject& p, const LogSink&) {
        built.push_back(p);
        return BuildOutcome{};
    });
    Click(window->Button1);
    ASSERT_EQ(built.size(), 1u);
    EXPECT_TRUE(built[0].list_empty);
    EXPECT_TRUE(built[0].pictures.empty());
    EXPECT_EQ(built[0].name, "My first crossword");
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_EQ(window->ShowTarget(), "");
}

}  // namespace
}  // namespace grix::test
