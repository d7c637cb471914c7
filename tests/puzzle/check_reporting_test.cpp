// How verdicts reach the author: grix-cli check (text, JSON, exit status)
// and the build's warnings.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/brask.h"
#include "builder/build_driver.h"
#include "puzzle_grids.h"
#include "support/bmp_file.h"
#include "support/test_support.h"

namespace grix {
namespace {

using test::ShellQuote;
using test::TempDir;

using Result = test::CliResult;

Result Check(const std::string& arguments) { return test::RunCli("check " + arguments); }

class CheckReporting : public ::testing::Test {
  protected:
    TempDir dir;
    std::string plus = dir / "plus.bmp";
    std::string search = dir / "search.bmp";
    std::string diagonal = dir / "diagonal.bmp";
    std::string blank = dir / "blank.bmp";
    std::string broken = dir / "broken.bmp";

    void SetUp() override {
        test::WriteInkBmp(plus, 3, 3, [](int x, int y) { return x == 1 || y == 1; });
        test::WriteInkBmp(search, 4, 4, [](int x, int y) {
            return (y == 0 && (x == 0 || x == 3)) || (y == 1 && (x == 1 || x == 2));
        });
        test::WriteInkBmp(diagonal, 2, 2, [](int x, int y) { return x == y; });
        test::WriteInkBmp(blank, 3, 2, [](int, int) { return false; });
        test::WriteText(broken, "not a picture");
    }

    // Builds `project` into the test's folder, which must succeed, and
    // answers the build's log.
    std::vector<std::string> BuildLog(const CrosswordProject& project) {
        TBrask brask;
        ConfigureSuiteArchiver(brask);
        std::vector<std::string> log;
        const auto add = [&log](const std::string& line) { log.push_back(line); };
        const BuildOutcome outcome = RunBuild(project, dir.path().string() + "/", brask, add);
        EXPECT_TRUE(outcome.success);
        return log;
    }
};

TEST_F(CheckReporting, ExitStatusTellsWhetherEveryPictureIsFair) {
    struct Case {
        std::vector<std::string> pictures;
        int status;
    };
    const Case cases[] = {
        {{plus, search}, 0},
        {{plus, diagonal}, 2},
        {{blank}, 2},
        {{plus, broken, diagonal}, 1},
    };
    for (const Case& c : cases) {
        std::string arguments;
        for (const auto& picture : c.pictures)
            arguments += " " + ShellQuote(picture);
        EXPECT_EQ(Check(arguments).status, c.status) << arguments;
    }
}

TEST_F(CheckReporting, OneLinePerPictureAndUnreadableOnesOnStandardError) {
    const Result r = Check(ShellQuote(plus) + " " + ShellQuote(broken) + " " + ShellQuote(search) +
                           " " + ShellQuote(diagonal) + " " + ShellQuote(blank));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, plus + ": unique (line logic)\n" + search + ": unique (needs search)\n" +
                         diagonal + ": several solutions\n" + blank + ": blank\n");
    EXPECT_EQ(r.err, broken + ": Stream read error\n");
}

TEST_F(CheckReporting, JsonCarriesSizeVerdictTimeAndTheDifferingCells) {
    const Result r = Check("--json --budget 1.5 " + ShellQuote(diagonal) + " " + ShellQuote(plus));
    EXPECT_EQ(r.status, 2);
    const std::size_t first_end = r.out.find('\n');
    ASSERT_NE(first_end, std::string::npos);
    const std::string first = r.out.substr(0, first_end);
    const std::string second = r.out.substr(first_end + 1);
    const auto seconds = [](const std::string& line) {
        const std::size_t at = line.find("\"seconds\": ") + 11;
        return line.substr(at, line.find_first_of(",}", at) - at);
    };
    // A Windows path's backslashes are escaped in JSON.
    const auto json = [](const std::string& text) {
        std::string out;
        for (const char c : text)
            out += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return out;
    };
    EXPECT_EQ(first,
              "{\"path\": \"" + json(diagonal) +
                  "\", \"width\": 2, \"height\": 2, \"verdict\": \"several\", \"seconds\": " +
                  seconds(first) + ", \"differs\": [[0, 0], [1, 0], [0, 1], [1, 1]]}");
    EXPECT_EQ(second, "{\"path\": \"" + json(plus) +
                          "\", \"width\": 3, \"height\": 3, \"verdict\": \"line\", \"seconds\": " +
                          seconds(second) + "}\n");
    EXPECT_LT(std::stod(seconds(second)), 1.0);
}

TEST_F(CheckReporting, ProjectPicturesInListOrder) {
    test::WriteText(dir / "grix.ini",
                    "[Table]\nRowCount=3\n1.1=diagonal.bmp\n2.1=plus.bmp\n3.1=" + plus + "\n");
    const Result r = Check("--project " + ShellQuote(dir / "grix.ini"));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, diagonal + ": several solutions\n" + plus + ": unique (line logic)\n" + plus +
                         ": unique (line logic)\n");
    EXPECT_EQ(Check("--project " + ShellQuote(dir / "missing.ini")).status, 1);
    EXPECT_EQ(Check("").status, 1);
    EXPECT_EQ(Check("--budget 0 " + ShellQuote(plus)).status, 1);
}

TEST_F(CheckReporting, BudgetsThatAreNotAPositiveNumberAreRefusedInWords) {
    for (const char* budget : {"0", "-1", "nan", "inf", "2s", "-0"}) {
        const Result r =
            Check(std::string("--budget ") + ShellQuote(budget) + " " + ShellQuote(plus));
        EXPECT_EQ(r.status, 1) << budget;
        EXPECT_NE(r.err.find("--budget: must be a number of seconds greater than 0"),
                  std::string::npos)
            << r.err;
        EXPECT_TRUE(r.out.empty()) << budget;
    }
    EXPECT_EQ(Check("--budget 5e-2 " + ShellQuote(plus)).status, 0);
}

// The budget covers reading the picture too: a large one is given up soon
// after the budget, however long reading all of its cells would take.
TEST_F(CheckReporting, BudgetCoversReadingALargePicture) {
    const std::string large = dir / "large.bmp";
    test::WriteInkBmp(large, 2500, 2500, [](int, int) { return true; });
    const Result r = Check("--json --budget 0.02 " + ShellQuote(large));
    EXPECT_EQ(r.status, 2);
    ASSERT_NE(r.out.find("\"verdict\": \"undecided\""), std::string::npos) << r.out;
    const std::size_t at = r.out.find("\"seconds\": ") + 11;
    EXPECT_LT(std::stod(r.out.substr(at)), 0.02 + 0.25) << r.out;
}

#ifndef _WIN32
// Linux file names are bytes: one that is not UTF-8 is written with its
// bytes as Latin-1 escapes, and its exact bytes come as hex.
TEST_F(CheckReporting, JsonStaysUtf8ForANameThatIsNot) {
    const std::string name = dir / "\xff\xfe\"q\\.bmp";
    test::WriteInkBmp(name, 3, 3, [](int x, int y) { return x == 1 || y == 1; });
    const Result r = Check("--json " + ShellQuote(name));
    EXPECT_EQ(r.status, 0);
    const std::string folder = dir.path().string();
    EXPECT_EQ(
        r.out.substr(0, r.out.find(", \"width\"")),
        "{\"path\": \"" + folder + "/\\u00ff\\u00fe\\\"q\\\\.bmp\", \"path_bytes\": \"" +
            [&] {
                std::string hex;
                char digits[3];
                for (const char c : name) {
                    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
                    hex += digits;
                }
                return hex;
            }() +
            "\"");
}
#endif

TEST_F(CheckReporting, BuildWarnsAboutAmbiguousAndBlankPicturesAndStillSucceeds) {
    CrosswordProject project;
    project.name = "Fair";
    project.pictures = {
        {1, plus, "", ""}, {2, diagonal, "", ""}, {3, blank, "", ""}, {4, search, "", ""}};
    project.list_empty = false;
    const std::vector<std::string> log = BuildLog(project);
    std::vector<std::string> warnings;
    for (const auto& line : log) {
        if (line.rfind("Warning: ", 0) == 0)
            warnings.push_back(line);
    }
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "Warning: picture 2 (" + diagonal + ") has more than one solution",
                            "Warning: picture 3 (" + blank + ") has no filled cell"}));
}

TEST_F(CheckReporting, BuildWarnsAboutAPictureItCouldNotCheckInTime) {
    const std::string slow = dir / "slow.bmp";
    const CellGrid cells = SlowGrid(16);
    test::WriteInkBmp(slow, cells.width, cells.height,
                      [&cells](int x, int y) { return cells.Filled(x, y); });
    CrosswordProject project;
    project.name = "Slow";
    project.pictures = {{1, plus, "", ""}, {2, slow, "", ""}};
    project.list_empty = false;
    const std::vector<std::string> log = BuildLog(project);
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Warning: picture 2 (" + slow +
                            ") could not be checked in time; it may have more than one solution"),
              log.end());
}

}  // namespace
}  // namespace grix
