// "Start" for real: the window's project goes through the build driver and
// the archive writer, and the build's lines show in the log pane.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <filesystem>
#include <regex>
#include <thread>

#include "app/suite_builder.h"
#include "archive/brask.h"
#include "test_window.h"

namespace grix::test {
namespace {

namespace fs = std::filesystem;

class StartTest : public ::testing::Test {
  protected:
    TempDir dir;
    std::string app = dir.path().string() + "/";
    SuiteBuilder builder;
    std::unique_ptr<TestWindow> window;

    void SetUp() override {
        WriteBmp(dir / "heart.bmp", 5, 4, [](int x, int y) { return (x + y) % 2 == 0; });
        WriteBmp(dir / "bar.bmp", 3, 3, [](int, int y) { return y == 1; });
        window = ShowWindow(dir / "grix.ini", [this](const CrosswordProject& p, const LogSink& log,
                                                     const BuildControl& control) {
            return builder.Run(p, app, log, control);
        });
    }

    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        for (const QString& line : window->Memo2->toPlainText().split('\n')) {
            if (!line.startsWith("Warning:"))
                lines.push_back(line.toStdString());
        }
        return lines;
    }
};

// Each line of the log against its pattern, in order.
void ExpectLines(const std::vector<std::string>& lines, const std::vector<std::string>& patterns) {
    ASSERT_EQ(lines.size(), patterns.size()) << ::testing::PrintToString(lines);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], std::regex(patterns[i])))
            << "line " << i << ": " << lines[i] << "\n  expected: " << patterns[i];
    }
}

std::string Quote(const std::string& text) {
    return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

TEST_F(StartTest, BuildsTheSuiteAndShowsEveryLine) {
    AddImages(*window, {dir / "heart.bmp", dir / "bar.bmp"});
    window->sgImages->item(0, 3)->setText("Heart");
    window->Edit2->setText("Cats");
    Click(window->Button1);

    const std::string suite = app + "midlets";
    const std::string staging = app + "temp";
    const std::string manifest = staging + "/META-INF";
    std::vector<std::string> expected = {R"(Process started at \d\d:\d\d:\d\d)",
                                         "Checking directories\\.\\.\\.",
                                         "Temporary directory " + Quote(suite) + " - Ok",
                                         "Temporary directory " + Quote(staging) + " - Ok",
                                         "Temporary directory " + Quote(manifest) + " - Ok",
                                         "Creating temporary files\\.\\.\\."};
    for (int i = 0; i < 13; ++i) {
        expected.push_back("Create file " + Quote(staging) +
                           "/[A-Za-z0-9]+\\.(png|class), size \\d+ bytes");
    }
    expected.push_back("Create file " + Quote(manifest) + "/MANIFEST\\.MF, size \\d+ bytes");
    expected.push_back("Create cfg file " + Quote(staging) + "/cfg\\.dat, size \\d+ bytes");
    expected.push_back("Creating jar file\\.\\.\\.");
    expected.push_back("Create midlet Cats\\.jar, size " +
                       std::to_string(fs::file_size(suite + "/Cats.jar")) + " bytes");
    expected.push_back("Create file " + Quote(suite) + "/Cats\\.jad, size \\d+ bytes");
    expected.push_back("Create Cats\\.jad, size \\d+ bytes");
    expected.push_back(R"(Process successfully ended at \d\d:\d\d:\d\d)");
    ExpectLines(LogLines(), expected);

    EXPECT_TRUE(window->Button2->isEnabled());
    EXPECT_EQ(window->ShowTarget(), suite);
    EXPECT_TRUE(window->boxes.empty());

    std::string listing;
    ASSERT_EQ(RunCommand("unzip -Z1 " + ShellQuote(suite + "/Cats.jar"), &listing), 0);
    EXPECT_NE(listing.find("cfg.dat\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("META-INF/MANIFEST.MF\n"), std::string::npos) << listing;
    EXPECT_EQ(RunCommand("unzip -tq " + ShellQuote(suite + "/Cats.jar")), 0);
    EXPECT_TRUE(fs::exists(suite + "/Cats.jad"));

    const QString folder = QString::fromUtf8(GRIX_BINARY_DIR) + "/screenshots";
    QDir().mkpath(folder);
    EXPECT_TRUE(window->grab().save(folder + "/grix-window-after-build-offscreen.png"));
}

TEST_F(StartTest, AFailedBuildEndsWithItsReasonAndKeepsShowMidletsOff) {
    Click(window->Button1);  // the empty list
    ExpectLines(LogLines(), {R"(Process started at \d\d:\d\d:\d\d)",
                             "Process not ended, error: Image list is empty"});
    EXPECT_FALSE(window->Button2->isEnabled());

    window->Memo2->clear();
    WriteText(dir / "broken.bmp", "BM but not a picture");
    AddImages(*window, {dir / "broken.bmp"});
    window->boxes.clear();
    Click(window->Button1);
    const std::vector<std::string> lines = LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("Process not ended, error: ", 0), 0u) << lines.back();
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_TRUE(window->boxes.empty()) << "a build reports in its log only";
}

TEST_F(StartTest, AFileTheArchiveCannotReadIsAskedAboutInABox) {
    struct Answer {
        QMessageBox::StandardButton button;
        TBraskAction action;
    };
    const Answer answers[] = {{QMessageBox::Retry, fxaRetry},
                              {QMessageBox::Ignore, fxaIgnore},
                              {QMessageBox::Abort, fxaAbort}};
    for (const Answer& answer : answers) {
        QString shown;
        QMessageBox::StandardButtons offered;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = box->text();
            offered = box->standardButtons();
            box->button(answer.button)->click();
        });
        EXPECT_EQ(AskFailurePrompt("Cannot read cfg.dat"), answer.action);
        EXPECT_EQ(shown.toStdString(), FailurePromptText("Cannot read cfg.dat"));
        EXPECT_EQ(offered, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    }
}

TEST_F(StartTest, TheBuildsThreadAsksOnTheWindowsThread) {
    std::atomic<int> action{-1};
    bool asked_here = false;
    QTimer answer;  // runs inside the box's own event loop
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked_here = box->thread() == QThread::currentThread();
            answer.stop();
            box->button(QMessageBox::Ignore)->click();
        }
    });
    answer.start(10);
    std::thread build([&] { action = AskFailurePrompt("Cannot read cfg.dat"); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return action != -1; }, 5000));
    build.join();
    EXPECT_EQ(action, fxaIgnore);
    EXPECT_TRUE(asked_here);
}

}  // namespace
}  // namespace grix::test
