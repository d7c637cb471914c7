// The check column as the single truth about each picture: what the phone
// will refuse, what is missing or unreadable, kept true as files change,
// and the build's warnings marked on their rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTableWidget>
#include <QTest>

#include <filesystem>

#include "app/field_checks.h"
#include "core/file.h"
#include "test_window.h"

namespace grix::test {
namespace {

std::string CheckOf(const TestWindow& window, int row) {
    return window.sgImages->item(row - 1, 4)->text().toStdString();
}

// Red text: the phone gets nothing of the picture (a verdict has its
// colour in the mark only).
bool IsRed(const TestWindow& window, int row) {
    return window.sgImages->item(row - 1, 4)->foreground().color().red() > 150;
}

TEST(CheckColumn, SaysWhatThePhoneRefusesWhatIsMissingAndWhatCannotBeRead) {
    TempDir dir;
    const auto blank = [](int, int) { return false; };
    WriteBmp(dir / "wide.bmp", 300, 8, blank);
    // 250 x 250 takes 7,813 bytes of cells: the ninth passes 64 KB.
    std::vector<std::string> paths{dir / "wide.bmp"};
    for (int n = 1; n <= 9; ++n) {
        paths.push_back(dir / ("big" + std::to_string(n) + ".bmp"));
        WriteBmp(paths.back(), 250, 250, blank);
    }
    WriteBmp(dir / "small.bmp", 2, 2, [](int x, int y) { return x == y; });
    WriteBmp(dir / "whole.bmp", 8, 8, blank);
    const std::vector<std::uint8_t> bytes = ReadBytes(dir / "whole.bmp");
    WriteText(dir / "short.bmp", std::string(bytes.begin(), bytes.begin() + 30));
    paths.insert(paths.end(), {dir / "small.bmp", dir / "short.bmp", dir / "gone.bmp"});
    std::string ini = "[Table]\nRowCount=" + std::to_string(paths.size()) + "\n";
    for (std::size_t i = 0; i < paths.size(); ++i)
        ini += std::to_string(i + 1) + ".1=" + paths[i] + "\n";
    WriteText(dir / "grix.ini", ini);

    auto window = ShowWindow(dir / "grix.ini");
    window->Checks().WaitForAll();
    QApplication::processEvents();
    const struct {
        int row;
        std::string check;
        bool red;
    } expected[] = {
        {1, "too wide for phones: 300 > 255", true},
        {9, "blank", false},  // the eighth 250 x 250 still fits
        {10, "over the phone's 64 KB: shown as unavailable", true},
        {11, "several solutions", false},  // what fits after it is still played
        {12, "cannot read: the file ends early", true},
        {13, "file not found", true},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(CheckOf(*window, e.row), e.check) << "row " << e.row;
        EXPECT_EQ(IsRed(*window, e.row), e.red) << "row " << e.row;
    }
    EXPECT_EQ(window->sgImages->item(0, 2)->text(), "300 * 8");
    EXPECT_TRUE(window->boxes.empty()) << "opening says it in the rows, not in boxes";

    // A file that goes or comes back is seen without touching the list.
    std::filesystem::remove(dir / "small.bmp");
    EXPECT_TRUE(QTest::qWaitFor([&] { return CheckOf(*window, 11) == "file not found"; }, 5000));
    EXPECT_EQ(window->sgImages->item(10, 2)->text(), "") << "no size for a file that is gone";
    WriteBmp(dir / "small.bmp", 3, 1, [](int, int) { return true; });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            window->Checks().WaitForAll();
            return CheckOf(*window, 11) == "unique (line logic)";
        },
        5000));
    EXPECT_EQ(window->sgImages->item(10, 2)->text(), "3 * 1");
}

TEST(CheckColumn, TheBuildsWarningsAreCountedAndMarkedOnTheirRows) {
    TempDir dir;
    WriteBmp(dir / "a.bmp", 2, 2, [](int x, int) { return x == 0; });
    WriteBmp(dir / "b.bmp", 2, 2, [](int x, int y) { return x == y; });
    auto window = ShowWindow(dir / "grix.ini", [&](const CrosswordProject& project,
                                                   const LogSink& log, const BuildControl&) {
        log("Warning: picture 2 (" + project.pictures[1].path + ") has more than one solution");
        log("Warning: Cat.jar is larger than 64 KB; some phones refuse suites this large");
        log("Process successfully ended at 12:00:00");
        return BuildOutcome{true, dir.path().string()};
    });
    AddImages(*window, {dir / "a.bmp", dir / "b.bmp"});
    Click(window->Button1);
    EXPECT_EQ(window->LastBuildWarnings(), 2);
    EXPECT_TRUE(window->StatusBuild->text().endsWith(", 2 warnings"))
        << window->StatusBuild->text().toStdString();
    EXPECT_EQ(window->Memo2->toPlainText().split('\n').last(),
              "2 warnings (the pictures concerned are marked in the list)");
    EXPECT_TRUE(window->sgImages->item(0, 0)->toolTip().isEmpty());
    EXPECT_TRUE(window->sgImages->item(1, 0)->toolTip().contains("more than one solution"));
}

TEST(CheckColumn, PassingMessagesHaveTheStatusBarsRoom) {
    TempDir dir;
    auto window = ShowWindow(dir / "grix.ini");
    const QString message = "Not added: notes.txt is not a BMP, PNG, JPEG or GIF picture";
    window->statusBar()->showMessage(message);
    QApplication::processEvents();
    EXPECT_GE(window->StatusSuites->x(), window->fontMetrics().horizontalAdvance(message))
        << "the suite folder at the right leaves the message its width";
}

TEST(ProjectFields, TheNameAndTheSplashPictureAreJudgedAsTheyAreTyped) {
    const struct {
        const char* name;
        const char* problem;
    } names[] = {
        {"Cats", ""},
        {"", "The crossword needs a name"},
        {"Cats, dogs", "A comma cannot be in the name: phones split the name there"},
        {"Cats/dogs", "\u201C/\u201D cannot be in a file name"},
        {"Cats?", "\u201C?\u201D cannot be in a file name"},
        {"Cats.", "The name cannot end in a dot or a blank"},
        {"A crossword name of forty bytes in total",
         "Too long: 40 bytes, some phones refuse names over 32"},
    };
    for (const auto& n : names)
        EXPECT_EQ(CrosswordNameProblem(n.name).toStdString(), n.problem) << n.name;

    TempDir dir;
    WriteText(dir / "splash.png", std::string("\x89PNG\r\n\x1A\n", 8) + "rest");
    WriteText(dir / "splash.bmp", "BM not a png");
    const struct {
        bool wanted;
        std::string path;
        const char* problem;
    } splashes[] = {
        {false, "", ""},
        {true, "", "No splash picture chosen: pick a PNG file or clear the box"},
        {true, GRIX_SOURCE_DIR "/player/res/logo.png", ""},
        {true, dir / "splash.png", "Not a PNG picture"},
        {false, dir / "splash.bmp", "Not a PNG picture"},
        {true, dir / "none.png", "File not found"},
    };
    for (const auto& s : splashes) {
        EXPECT_EQ(SplashProblem(s.wanted, QString::fromStdString(s.path)).toStdString(), s.problem)
            << s.path;
    }

    auto window = ShowWindow(dir / "grix.ini");
    window->Edit2->setText("Cats/dogs");
    EXPECT_EQ(window->Edit2->property("problem").toString(),
              "\u201C/\u201D cannot be in a file name");
    EXPECT_FALSE(window->Edit2->styleSheet().isEmpty()) << "marked";
    window->Edit2->setText("Cats");
    EXPECT_TRUE(window->Edit2->styleSheet().isEmpty());
    window->CheckBox3->setChecked(true);
    EXPECT_FALSE(window->Edit1->property("problem").toString().isEmpty()) << "ticked, no path";
}

}  // namespace
}  // namespace grix::test
