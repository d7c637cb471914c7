// The window's frame and buttons: caption, layout, "Start", "Show midlets",
// "Hex", "About" and the general error display.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

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
    EXPECT_EQ(window->windowTitle(), "grix.ini[*]") << "the project's name and its mark";
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(window->windowIcon().availableSizes().isEmpty()) << "the icon is built in";
    EXPECT_EQ(window->size(), QSize(793, 553));
    EXPECT_EQ(window->Splitter1->handleWidth(), 3);
    EXPECT_EQ(window->Panel2->height(), 33);

    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers << window->sgImages->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers, (QStringList{"\u2116", "File", "Size", "Notes"}));
    const QFontMetrics metrics = window->sgImages->fontMetrics();
    EXPECT_GE(window->sgImages->columnWidth(0), metrics.horizontalAdvance("999") + 8);
    EXPECT_GE(window->sgImages->columnWidth(2), metrics.horizontalAdvance("100 * 100"));

    EXPECT_EQ(window->Button1->text(), "Start");
    EXPECT_EQ(window->Button2->text(), "Show midlets");
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_EQ(window->Button4->text(), "About");
    for (const char* gone : {"Button6", "Button7"})
        EXPECT_EQ(window->findChild<QPushButton*>(gone), nullptr) << "never shown, so not made";
    EXPECT_FALSE(window->CancelButton->isVisible());
    EXPECT_EQ(window->Label14->text(), "0");
    EXPECT_TRUE(window->ListHint->isVisible()) << "the empty list says how to fill it";
    EXPECT_EQ(QApplication::focusWidget(), window->Edit2);
    EXPECT_EQ(window->StatusSuites->text(), "Suites: /suites/midlets");
    for (QAction* action : {window->actionOpen, window->actionSave, window->actionAddImage,
                            window->actionHelp, window->actionStart}) {
        EXPECT_TRUE(action->toolTip().contains(action->shortcut().toString()))
            << action->toolTip().toStdString();
    }
}

TEST_F(ButtonsTest, AtTheNarrowestWidthNoControlCoversAnother) {
    auto window = ShowWindow(dir / "grix.ini");
    window->resize(720, 553);
    QApplication::processEvents();
    EXPECT_EQ(window->width(), 720);
    const QWidget* controls[] = {window->BitBtn4,      window->BitBtn5,   window->BitBtn6,
                                 window->BitBtn7,      window->sgImages,  window->Edit1,
                                 window->CheckBox3,    window->Button5,   window->Edit2,
                                 window->Label3,       window->ComboBox1, window->CheckBox1,
                                 window->ShowAmbiguity};
    const QRect preview(window->Panel3->mapTo(window.get(), QPoint(0, 0)), window->Panel3->size());
    for (const QWidget* control : controls) {
        const QRect at(control->mapTo(window.get(), QPoint(0, 0)), control->size());
        if (control->parentWidget() != window->Panel3->parentWidget()) {
            EXPECT_FALSE(at.intersects(preview)) << control->objectName().toStdString();
        }
        EXPECT_TRUE(window->rect().contains(at)) << control->objectName().toStdString();
        EXPECT_EQ(control->visibleRegion().boundingRect(), control->rect())
            << control->objectName().toStdString() << " is covered";
        if (control->minimumWidth() != control->maximumWidth()) {
            EXPECT_GE(control->width(), control->minimumSizeHint().width())
                << control->objectName().toStdString() << " is squeezed";
        }
    }
}

TEST_F(ButtonsTest, SizeSplittersAndColumnsAreRememberedBetweenRuns) {
    int splitter = 0;
    {
        auto window = ShowWindow(dir / "grix.ini");
        window->resize(900, 600);
        window->Splitter1->setSizes({300, 200});
        window->sgImages->setColumnWidth(1, 123);
        QApplication::processEvents();
        splitter = window->Splitter1->sizes()[0];
        window->close();
    }
    auto again = std::make_unique<TestWindow>(dir / "grix.ini");
    again->show();
    QApplication::processEvents();
    EXPECT_EQ(again->size(), QSize(900, 600));
    EXPECT_EQ(again->Splitter1->sizes()[0], splitter);
    EXPECT_EQ(again->sgImages->columnWidth(1), 123);
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

TEST_F(ButtonsTest, TheSplashButtonAsksForAPngFileAndTicksTheBox) {
    auto window = ShowWindow(dir / "grix.ini");
    window->file_answers.push_back("/pictures/splash.png");
    Click(window->Button5);
    ASSERT_EQ(window->asked.size(), 1u);
    EXPECT_EQ(window->asked[0].title, "Select image");
    EXPECT_EQ(window->asked[0].filter, "*.png (*.png)");
    EXPECT_EQ(window->Edit1->text(), "/pictures/splash.png");
    EXPECT_TRUE(window->CheckBox3->isChecked());
    window->CheckBox3->setChecked(false);
    Click(window->Button5);  // cancelled: the path and the box stay
    EXPECT_EQ(window->Edit1->text(), "/pictures/splash.png");
    EXPECT_FALSE(window->CheckBox3->isChecked());
}

TEST_F(ButtonsTest, ClosingDuringABuildCancelsItAndClosesAfterItsEnd) {
    const std::string ini = dir / "grix.ini";
    std::atomic<bool> cancelled{false};
    auto window = ShowWindow(
        ini, [&](const CrosswordProject&, const LogSink& log, const BuildControl& control) {
            while (!control.cancel->load())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            cancelled = true;
            log("Process not ended, error: cancelled");
            return BuildOutcome{};
        });
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    ASSERT_TRUE(window->IsBuilding());
    window->close();
    EXPECT_TRUE(window->isVisible()) << "open until the build has cleaned up";
    WaitForBuild(*window);
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 5000));
    EXPECT_TRUE(std::filesystem::exists(ini)) << "closed the normal way, settings saved";
}

TEST_F(ButtonsTest, ABuildLocksOutStartAndEditingUntilItEnds) {
    std::atomic<bool> release{false};
    std::atomic<int> builds{0};
    const std::string picture = dir / "cat.bmp";
    WriteBmp(picture, 4, 4, [](int x, int y) { return x == y; });
    auto window = ShowWindow(dir / "grix.ini", [&](const CrosswordProject&, const LogSink& log,
                                                   const BuildControl& control) {
        ++builds;
        control.progress(1, 2);
        log("packed");
        while (!release.load() && !control.cancel->load())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        BuildOutcome outcome;
        outcome.success = !control.cancel->load();
        return outcome;
    });
    AddImages(*window, {picture, picture});
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->BuildProgress->value() == 1; }, 5000));
    EXPECT_EQ(window->BuildProgress->maximum(), 2);
    EXPECT_TRUE(window->BuildProgress->isVisible());
    EXPECT_TRUE(window->CancelButton->isVisible());
    for (QWidget* off : std::initializer_list<QWidget*>{window->Button1, window->BitBtn4,
                                                        window->BitBtn5, window->BitBtn6}) {
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    }
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    QTest::keyClick(window.get(), Qt::Key_B, Qt::ControlModifier);
    window->StartBuild();
    window->RemoveSelectedPicture();
    EXPECT_EQ(window->Project().pictures.size(), 2u);
    release = true;
    WaitForBuild(*window);
    EXPECT_EQ(builds, 1) << "presses during a build are not queued";
    EXPECT_TRUE(window->Button1->isEnabled());
    EXPECT_TRUE(window->Button2->isEnabled());
    EXPECT_FALSE(window->BuildProgress->isVisible());

    // Escape cancels; the build ends as a failed one.
    release = false;
    QTest::mouseClick(window->Button1, Qt::LeftButton);
    ASSERT_TRUE(window->IsBuilding());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    WaitForBuild(*window);
    EXPECT_EQ(builds, 2);
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_EQ(window->StatusBuild->text(), "Build cancelled");
}

TEST_F(ButtonsTest, HexWritesTheDeclarationBesideTheFile) {
    auto window = ShowWindow(dir / "grix.ini");
    const std::string input = dir / "three.bin";
    WriteBytes(input, {0x41, 0x41, 0x41});
    window->file_answers.push_back(QString::fromStdString(input));
    window->actionExport->trigger();
    ASSERT_EQ(window->asked.size(), 1u);
    EXPECT_EQ(window->asked[0].title, "Export file as byte array");
    const auto bytes = ReadBytes(input + ".imp");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "  array [1..3] of byte = (  $41,$40,$43\r\n);\r\n");
    EXPECT_TRUE(window->boxes.empty());
    EXPECT_TRUE(window->Memo2->toPlainText().contains(QString::fromStdString(input + ".imp")));

    window->actionExport->trigger();  // cancelled: nothing happens
    EXPECT_TRUE(window->boxes.empty());
}

TEST_F(ButtonsTest, AFailedExportNamesTheFile) {
    auto window = ShowWindow(dir / "grix.ini");
    window->file_answers.push_back(QString::fromStdString(dir / "missing.bin"));
    window->actionExport->trigger();
    ASSERT_EQ(window->boxes.size(), 1u);
    EXPECT_EQ(window->boxes[0].icon, QMessageBox::Critical);
    EXPECT_EQ(window->boxes[0].title, "Grix");
    EXPECT_EQ(window->boxes[0].text,
              QString::fromStdString("Cannot open file \"" + (dir / "missing.bin") +
                                     "\". File not found."));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.bin.imp"));
}

TEST_F(ButtonsTest, StartBuildsTheProjectOfTheControlsAndShowsItsLines) {
    const std::string picture = dir / "cat.bmp";
    WriteBmp(picture, 4, 4, [](int x, int y) { return x == y; });
    std::vector<CrosswordProject> built;
    bool succeed = true;
    auto window = ShowWindow(
        dir / "grix.ini", [&](const CrosswordProject& p, const LogSink& log, const BuildControl&) {
            built.push_back(p);
            log("Process started at 12:00:00");
            log("Process successfully ended at 12:00:01");
            BuildOutcome outcome;
            outcome.success = succeed;
            outcome.suite_folder = dir / "midlets";
            return outcome;
        });
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
    WaitForBuild(*window);
    ASSERT_EQ(built.size(), 2u);
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_EQ(window->ShowTarget(), dir / "midlets");
    EXPECT_EQ(window->StatusBuild->text(), "Build failed");

    window->open_folder_succeeds = false;
    window->Button2->setEnabled(true);
    Click(window->Button2);
    ASSERT_EQ(window->boxes.size(), 1u);
    EXPECT_EQ(window->boxes[0].text.toStdString(),
              "Can not open folder " + (dir / "midlets") + ".");
}

TEST_F(ButtonsTest, StartWithTheEmptyListHandsOverAnEmptyProject) {
    std::vector<CrosswordProject> built;
    auto window = ShowWindow(dir / "grix.ini",
                             [&](const CrosswordProject& p, const LogSink&, const BuildControl&) {
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
