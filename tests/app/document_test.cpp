// A project as a document: the title's modified mark, the question before
// a modified project goes, untitled new projects, the last project reopened,
// and the window's own state kept apart from the user's.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QUndoStack>

#include <filesystem>

#include "builder/project_settings.h"
#include "core/file.h"
#include "test_window.h"

namespace grix::test {
namespace {

std::string ReadText(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(Document, TheTitleMarksChangesAndUndoingThemClearsTheMark) {
    TempDir dir;
    WriteBmp(dir / "a.bmp", 2, 2, [](int x, int) { return x == 0; });
    auto window = ShowWindow(dir / "cats.ini");
    EXPECT_EQ(window->windowTitle(), "cats.ini[*]");
    EXPECT_FALSE(window->isWindowModified());
    AddImages(*window, {dir / "a.bmp"});
    EXPECT_TRUE(window->isWindowModified());
    window->actionUndo->trigger();
    EXPECT_FALSE(window->isWindowModified()) << "back as saved";
    window->Edit6->setText("By me");
    EXPECT_TRUE(window->isWindowModified());
    window->actionSave->trigger();
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(LoadCrosswordProject(dir / "cats.ini").info, "By me");
}

TEST(Document, NewOpenAndQuitAskBeforeAModifiedProjectGoes) {
    TempDir dir;
    const std::string cats = dir / "cats.ini";
    WriteText(cats, "[TEdit]\nEdit2=Cats\n");
    auto window = ShowWindow(dir / "grix.ini");
    window->Edit2->setText("Changed");

    // Cancel: nothing happens.
    window->save_changes_answers = {QMessageBox::Cancel};
    window->actionNew->trigger();
    EXPECT_EQ(window->save_changes_questions, QStringList{"Save changes to grix.ini?"});
    EXPECT_EQ(window->Edit2->text(), "Changed");

    // Discard: the file stays as it was (here: never written).
    window->save_changes_answers = {QMessageBox::Discard};
    window->actionNew->trigger();
    EXPECT_FALSE(std::filesystem::exists(dir / "grix.ini"));
    EXPECT_EQ(window->SettingsPath(), "");
    EXPECT_EQ(window->windowTitle(), "Untitled[*]");

    // Save on Open: an untitled project asks where, then the file opens.
    window->Edit2->setText("Dogs");
    window->file_answers = {QString::fromStdString(cats)};
    window->save_answers = {QString::fromStdString(dir / "proj2")};
    window->save_changes_answers = {QMessageBox::Save};
    window->actionOpen->trigger();
    EXPECT_EQ(LoadCrosswordProject(dir / "proj2.ini").name, "Dogs");
    EXPECT_EQ(window->SettingsPath(), cats);
    EXPECT_EQ(window->Edit2->text(), "Cats");
    EXPECT_FALSE(window->isWindowModified()) << "just opened";

    // Quit: Cancel keeps the window, Discard leaves the file as it was.
    window->Edit2->setText("Lions");
    window->save_changes_answers = {QMessageBox::Cancel, QMessageBox::Discard};
    window->close();
    EXPECT_TRUE(window->isVisible());
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ReadText(cats), "[TEdit]\nEdit2=Cats\n");
    EXPECT_EQ(window->save_changes_questions.size(), 5);

    // The next start opens the project last worked on.
    EXPECT_EQ(LastProjectFile(), QString::fromStdString(cats));
    std::filesystem::remove(cats);
    EXPECT_EQ(LastProjectFile(), QString::fromStdString(dir / "proj2.ini")) << "one that exists";
}

TEST(Document, NewAndOpenClearTheLogAndTheBuildResult) {
    TempDir dir;
    auto window = ShowWindow(dir / "grix.ini",
                             [](const CrosswordProject&, const LogSink& log, const BuildControl&) {
                                 log("Process successfully ended at 12:00:00");
                                 return BuildOutcome{true, "/suites/midlets"};
                             });
    WriteBmp(dir / "a.bmp", 2, 2, [](int x, int) { return x == 0; });
    AddImages(*window, {dir / "a.bmp"});
    Click(window->Button1);
    EXPECT_TRUE(window->Button2->isEnabled());
    window->actionNew->trigger();  // saves grix.ini: no answer is Save
    EXPECT_TRUE(window->Memo2->toPlainText().isEmpty());
    EXPECT_TRUE(window->StatusBuild->text().isEmpty());
    EXPECT_FALSE(window->Button2->isEnabled());
}

TEST(Document, ShowMidletsIsOnWhenTheSuiteFolderHoldsTheProjectsSuite) {
    TempDir dir;
    const std::string app = dir.path().string() + "/";
    std::filesystem::create_directories(dir / "midlets");
    WriteText(dir / "midlets/Cats.jar", "PK");
    for (const std::string name : {"Cats", "Dogs"}) {
        WriteText(dir / "grix.ini", "[TEdit]\nEdit2=" + name + "\n");
        QSettings().clear();
        TestWindow window(dir / "grix.ini", {}, app);
        window.show();
        QApplication::processEvents();
        EXPECT_EQ(window.Button2->isEnabled(), name == "Cats") << name;
        EXPECT_EQ(window.actionShowMidlets->isEnabled(), name == "Cats") << name;
    }
}

TEST(Document, TheWindowsStateNeverReachesTheUsersSettings) {
    EXPECT_TRUE(QStandardPaths::isTestModeEnabled());
    const QString users =
        QDir::homePath() + QStringLiteral("/.config/") + QCoreApplication::organizationName();
    EXPECT_FALSE(QSettings().fileName().startsWith(users)) << QSettings().fileName().toStdString();
    EXPECT_FALSE(QSettings().fileName().startsWith(QDir::homePath() + "/.config"));
}

}  // namespace
}  // namespace grix::test
