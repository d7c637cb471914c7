#include "builder/project_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cells/pack_picture.h"
#include "core/file_error.h"
#include "support/test_support.h"

namespace grix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(ProjectSettings, LoadsWhatTheWindowSaved) {
    TempDir dir;
    const std::string path = dir / "grix.ini";
    test::WriteText(path,
                    "[TEdit]\r\n"
                    "Edit2=Cats\r\n"
                    "Edit6=By me\r\n"
                    "Edit1=/pictures/splash.png\r\n"
                    "[TCheckBox]\r\n"
                    "CheckBox3=1\r\n"
                    "CheckBox1=0\r\n"
                    "[TComboBox]\r\n"
                    "ComboBox1=3\r\n"
                    "[Table]\r\n"
                    "RowCount=2\r\n"
                    "1.1=/pictures/cat.bmp\r\n"
                    "1.2=20 * 15\r\n"
                    "1.3=Sleeping cat\r\n"
                    "2.1=/pictures/dog.bmp\r\n"
                    "2.2=8 * 8\r\n"
                    "3.1=/pictures/left over from a longer list.bmp\r\n");
    const CrosswordProject p = LoadCrosswordProject(path);
    EXPECT_EQ(p.name, "Cats");
    EXPECT_EQ(p.info, "By me");
    EXPECT_TRUE(p.splash);
    EXPECT_EQ(p.splash_path, "/pictures/splash.png");
    EXPECT_FALSE(p.list_empty);
    ASSERT_EQ(p.pictures.size(), 2u);
    EXPECT_EQ(p.pictures[0].number, 1);
    EXPECT_EQ(p.pictures[0].path, "/pictures/cat.bmp");
    EXPECT_EQ(p.pictures[0].size_text, "20 * 15");
    EXPECT_EQ(p.pictures[0].note, "Sleeping cat");
    EXPECT_EQ(p.pictures[1].number, 2);
    EXPECT_EQ(p.pictures[1].path, "/pictures/dog.bmp");
    EXPECT_EQ(p.pictures[1].note, "") << "a missing 2.3 is an empty note";
}

TEST(ProjectSettings, MissingValuesTakeTheWindowDefaults) {
    TempDir dir;
    const std::string path = dir / "grix.ini";
    test::WriteText(path, "[TCheckBox]\nCheckBox3=x\n");
    const CrosswordProject p = LoadCrosswordProject(path);
    EXPECT_EQ(p.name, kDefaultCrosswordName);
    EXPECT_EQ(p.info, kDefaultCreditLine);
    EXPECT_FALSE(p.splash);
    EXPECT_EQ(p.splash_path, "");
    EXPECT_TRUE(p.list_empty);
    EXPECT_TRUE(p.pictures.empty());
}

TEST(ProjectSettings, AProjectFileThatIsNotThereIsAnError) {
    TempDir dir;
    EXPECT_THROW_MSG(LoadCrosswordProject(dir / "nothing.ini"), EFOpenError,
                     "Cannot open file \"" + (dir / "nothing.ini") + "\". File not found");
}

TEST(ProjectSettings, RowCountsOutsideTheTableLimitLoadAsTheEmptyList) {
    struct Case {
        const char* count;
        std::size_t rows;
    };
    const Case cases[] = {{"0", 0},         {"0x3", 3},   {"$2", 2},
                          {"-1", 0},        {"65536", 0}, {"2147483647", 0},
                          {"$FFFFFFFF", 0}, {"many", 0},  {"65535", 65535}};
    for (const Case& c : cases) {
        const IniFile ini =
            IniFile::FromText("x.ini", std::string("[Table]\nRowCount=") + c.count + "\n");
        EXPECT_EQ(ReadPictureTable(ini, "").size(), c.rows) << c.count;
    }
}

TEST(ProjectSettings, RelativePathsAreTakenAgainstTheSettingsFolder) {
    TempDir dir;
    fs::create_directory(dir / "sample");
    const std::string path = dir / "sample/grix.ini";
    test::WriteText(path,
                    "[TEdit]\nEdit1=art/splash.png\n"
                    "[Table]\nRowCount=4\n"
                    "1.1=heart.bmp\n"
                    "2.1=../shared/./star.bmp\n"
                    "3.1=/full/path.bmp\n"
                    "4.1=C:\\Pictures\\cat.bmp\n");
    const CrosswordProject p = LoadCrosswordProject(path);
    const fs::path base = dir.path() / "sample";
    EXPECT_EQ(p.splash_path, (base / "art/splash.png").lexically_normal().string());
    ASSERT_EQ(p.pictures.size(), 4u);
    EXPECT_EQ(p.pictures[0].path, (base / "heart.bmp").string());
    EXPECT_EQ(p.pictures[1].path, (dir.path() / "shared/star.bmp").lexically_normal().string());
    EXPECT_EQ(p.pictures[2].path, "/full/path.bmp");
    EXPECT_EQ(p.pictures[3].path, "C:\\Pictures\\cat.bmp");
    EXPECT_EQ(ResolveProjectPath("", "/base/"), "");
    EXPECT_EQ(ResolveProjectPath("a.bmp", ""), "a.bmp");
}

TEST(ProjectSettings, ShrinkingTheListLeavesOldRowsThatLoadingIgnores) {
    IniFile ini = IniFile::FromText("x.ini", "");
    std::vector<PictureEntry> five;
    for (int i = 1; i <= 5; ++i) {
        five.push_back(
            {i, "/p/" + std::to_string(i) + ".bmp", "1 * 1", "note " + std::to_string(i)});
    }
    WritePictureTable(ini, five);
    WritePictureTable(ini, {five[0], five[1]});
    EXPECT_EQ(ini.ReadInteger(kTableSection, kRowCountKey, -1), 2);
    EXPECT_EQ(ini.ReadString(kTableSection, "5.3", ""), "note 5");
    const auto rows = ReadPictureTable(ini, "");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].path, "/p/2.bmp");
    EXPECT_EQ(rows[1].size_text, "1 * 1");
    EXPECT_EQ(rows[1].note, "note 2");
}

}  // namespace
}  // namespace grix

namespace grix {
namespace {

TEST(SampleProject, RefersToThePicturesBesideIt) {
    const std::string path = std::string(GRIX_SOURCE_DIR) + "/examples/grix.ini";
    const CrosswordProject p = LoadCrosswordProject(path);
    EXPECT_FALSE(p.name.empty());
    ASSERT_EQ(p.pictures.size(), 8u);
    const fs::path examples = fs::path(GRIX_SOURCE_DIR) / "examples";
    for (const PictureEntry& entry : p.pictures) {
        EXPECT_EQ(fs::path(entry.path).parent_path(), examples) << entry.path;
        EXPECT_TRUE(fs::exists(entry.path)) << entry.path;
        EXPECT_EQ(entry.size_text, PictureSizeText(entry.path)) << entry.path;
        EXPECT_FALSE(entry.note.empty());
    }
}

}  // namespace
}  // namespace grix
