#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <filesystem>

#include "core/file.h"
#include "support/fault_ops.h"
#include "support/test_support.h"

namespace grix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string ReadText(const std::string& path) {
    const auto bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(IniNumbers, ParseLikeTheProfileService) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {"12", 12},
        {"+4", 4},
        {"-5", -5},
        {"007", 7},
        {"$1F", 31},
        {"$1f", 31},
        {"0x3", 3},
        {"0X3", 3},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"$80000000", INT_MIN},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {" 9 ", 9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIniInteger(c.text), c.expected) << '"' << c.text << '"';
    }
    // Past 32 bits, or no number at all.
    const char* const refused[] = {"2147483648", "$100000000", "99999999999999999999", "", "-",
                                   "$", "0x", "12abc", "1 2", "$G", "1.5", "abc"};
    for (const char* text : refused) {
        EXPECT_EQ(ParseIniInteger(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(IniRead, NamesMatchWithoutCaseAndTheFirstOfANameWins) {
    const IniFile ini = IniFile::FromText("x.ini",
                                          "orphan=before any section\n"
                                          "[TEdit]\n"
                                          "  Edit2 =  My crossword  \n"
                                          "edit2=second of the name\n"
                                          "; Edit6=a comment, not a key\n"
                                          "# Edit1=nor is this\n"
                                          "no equals sign here\n"
                                          "[tedit]\n"
                                          "Edit6=in a second section of the same name\n"
                                          "[ Other ]\n"
                                          "Key=\n");
    EXPECT_EQ(ini.ReadString("tEDIT", "EDIT2", "-"), "My crossword");
    EXPECT_EQ(ini.ReadString("TEdit", "Edit6", "-"), "-");
    EXPECT_EQ(ini.ReadString("TEdit", "Edit1", "-"), "-");
    EXPECT_EQ(ini.ReadString("TEdit", "orphan", "-"), "-");
    EXPECT_EQ(ini.ReadString("Other", "key", "-"), "");
    EXPECT_TRUE(ini.ValueExists("OTHER", "KEY"));
    EXPECT_FALSE(ini.ValueExists("Missing", "Key"));
}

TEST(IniRead, IntegersAndFlagsFallBackToTheirDefaults) {
    const IniFile ini = IniFile::FromText("x.ini",
                                          "[TCheckBox]\r\n"
                                          "CheckBox3=7\r\n"
                                          "CheckBox1=0\r\n"
                                          "CheckBox2=yes\r\n"
                                          "[Table]\r\n"
                                          "RowCount=0x3\r\n"
                                          "Broken=3 rows\r\n");
    EXPECT_TRUE(ini.ReadBool("TCheckBox", "CheckBox3", false));
    EXPECT_FALSE(ini.ReadBool("TCheckBox", "CheckBox1", true));
    EXPECT_TRUE(ini.ReadBool("TCheckBox", "CheckBox2", true));
    EXPECT_FALSE(ini.ReadBool("TCheckBox", "CheckBox2", false));
    EXPECT_TRUE(ini.ReadBool("TCheckBox", "Missing", true));
    EXPECT_EQ(ini.ReadInteger("Table", "RowCount", -9), 3);
    EXPECT_EQ(ini.ReadInteger("Table", "Broken", -9), -9);
    EXPECT_EQ(ini.ReadInteger("Table", "Missing", -9), -9);
}

TEST(IniRead, LongValuesAreCutAt2047CharactersNotBytes) {
    std::string cyrillic;
    for (int i = 0; i < 3000; ++i)
        cyrillic += "\xD0\xAF";  // U+042F, two bytes
    const IniFile ini = IniFile::FromText(
        "x.ini", "[S]\nascii=" + std::string(3000, 'a') + "\ncyrillic=" + cyrillic + "\n");
    EXPECT_EQ(ini.ReadString("S", "ascii", ""), std::string(2047, 'a'));
    EXPECT_EQ(ini.ReadString("S", "cyrillic", ""), cyrillic.substr(0, 2 * 2047));
}

TEST(IniRead, ValuesThatAreNotUtf8AreWindows1251) {
    // "Кот" in Windows-1251, as a Cyrillic Windows system wrote it.
    const IniFile ini = IniFile::FromText("x.ini",
                                          "\xEF\xBB\xBF[TEdit]\n"
                                          "Edit2=\xCA\xEE\xF2\n"
                                          "Edit6=\xD0\x9A\xD0\xBE\xD1\x82\n");
    EXPECT_EQ(ini.ReadString("TEdit", "Edit2", ""), "\xD0\x9A\xD0\xBE\xD1\x82");
    EXPECT_EQ(ini.ReadString("TEdit", "Edit6", ""), "\xD0\x9A\xD0\xBE\xD1\x82");
}

TEST(IniWrite, OnlyTheWrittenLinesChange) {
    const std::string original =
        "\xEF\xBB\xBF; settings of Grix\r\n"
        "[TEdit]\r\n"
        "  Edit2 = Old name\r\n"
        "Edit6=\xCA\xEE\xF2\r\n"
        "\r\n"
        "; the table follows\r\n"
        "[Table]\r\n"
        "RowCount=1\r\n"
        "1.1=/pictures/a.bmp";  // no line ending at the end of the file
    IniFile ini = IniFile::FromText("x.ini", original);
    ini.WriteString("TEdit", "edit2", "Old name");  // same value: the line keeps its look
    EXPECT_EQ(ini.Text(), original);

    ini.WriteString("TEdit", "Edit2", "New name");
    ini.WriteString("TEdit", "Edit1", "/pictures/splash.png");
    ini.WriteString("Table", "1.2", "20 * 15");
    ini.WriteString("Font", "Font.Size", "8");
    EXPECT_EQ(ini.Text(),
              "\xEF\xBB\xBF; settings of Grix\r\n"
              "[TEdit]\r\n"
              "Edit2=New name\r\n"
              "Edit6=\xCA\xEE\xF2\r\n"
              "Edit1=/pictures/splash.png\r\n"
              "\r\n"
              "; the table follows\r\n"
              "[Table]\r\n"
              "RowCount=1\r\n"
              "1.1=/pictures/a.bmp\r\n"
              "1.2=20 * 15\r\n"
              "\r\n"
              "[Font]\r\n"
              "Font.Size=8\r\n");
    EXPECT_EQ(ini.ReadString("TEdit", "Edit6", ""), "\xD0\x9A\xD0\xBE\xD1\x82");
}

TEST(IniWrite, ASectionHeaderOnTheLastLineGetsItsLineEnding) {
    IniFile ini = IniFile::FromText("x.ini", "; top\r\n[Table]");
    ini.WriteString("Table", "RowCount", "0");
    EXPECT_EQ(ini.Text(), "; top\r\n[Table]\r\nRowCount=0\r\n");
    IniFile bare = IniFile::FromText("x.ini", "stray text");
    bare.WriteString("TEdit", "Edit2", "Cat");
    const std::string text = bare.Text();
    EXPECT_EQ(text.rfind("stray text", 0), 0u);
    EXPECT_NE(text.find("\n[TEdit]"), std::string::npos) << "the section starts a line of its own";
    EXPECT_EQ(bare.ReadString("TEdit", "Edit2", ""), "Cat");
}

TEST(IniWrite, AFileFromScratchHasItsSectionsInWritingOrder) {
    IniFile ini = IniFile::FromText("x.ini", "");
    ini.WriteString("TEdit", "Edit2", "Cat");
    ini.WriteBool("TCheckBox", "CheckBox3", true);
    ini.WriteString("TEdit", "Edit6", "Info");
    ini.WriteInteger("TComboBox", "ComboBox1", -1);
    ini.WriteBool("TCheckBox", "CheckBox1", false);
    const std::string eol = test::kWindows ? "\r\n" : "\n";
    EXPECT_EQ(ini.Text(), "[TEdit]" + eol + "Edit2=Cat" + eol + "Edit6=Info" + eol + eol +
                              "[TCheckBox]" + eol + "CheckBox3=1" + eol + "CheckBox1=0" + eol +
                              eol + "[TComboBox]" + eol + "ComboBox1=-1" + eol);
}

TEST(IniWrite, AValueStaysOnOneLine) {
    IniFile ini = IniFile::FromText("x.ini", "[Table]\n");
    ini.WriteString("Table", "1.3", "first\nsecond\r\n[Table]\nRowCount=99999");
    EXPECT_EQ(ini.ReadString("Table", "1.3", ""), "first second  [Table] RowCount=99999");
    EXPECT_FALSE(ini.ValueExists("Table", "RowCount"));
}

TEST(IniWrite, ManyKeysInOneSectionStayFindable) {
    IniFile ini = IniFile::FromText("x.ini", "[Table]\nRowCount=0\n\n[After]\nx=1\n");
    for (int i = 1; i <= 2000; ++i)
        ini.WriteString("Table", std::to_string(i) + ".1", "p" + std::to_string(i));
    ini.WriteString("Table", "RowCount", "2000");
    for (int i = 1; i <= 2000; i += 199) {
        EXPECT_EQ(ini.ReadString("table", std::to_string(i) + ".1", ""), "p" + std::to_string(i));
    }
    EXPECT_EQ(ini.ReadInteger("Table", "RowCount", 0), 2000);
    EXPECT_EQ(ini.ReadString("After", "x", ""), "1");
    const std::string text = ini.Text();
    EXPECT_NE(text.find("2000.1=p2000\n\n[After]\nx=1\n"), std::string::npos);
}

// The shared full disk, also counting the files opened on it.
class FullDisk : public test::FullDisk {
public:
    using test::FullDisk::FullDisk;
    int Open(const std::string& path, int flags, int mode) override {
        ++opens;
        return test::FullDisk::Open(path, flags, mode);
    }
    int opens = 0;
};

TEST(IniSave, ReplacesTheFileAndReadsBack) {
    TempDir dir;
    const std::string path = dir / "grix.ini";
    {
        IniFile ini(path);  // missing: empty, created on saving
        EXPECT_FALSE(ini.ValueExists("TEdit", "Edit2"));
        ini.WriteString("TEdit", "Edit2", "Cat");
        ini.Save();
    }
    const IniFile again(path);
    EXPECT_EQ(again.ReadString("TEdit", "Edit2", ""), "Cat");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(IniSave, AFailedSaveLeavesTheOldFileIntact) {
    TempDir dir;
    const std::string path = dir / "grix.ini";
    const std::string original = "[TEdit]\nEdit2=Cat\n[Table]\nRowCount=2\n";
    test::WriteText(path, original);

    IniFile ini(path);
    ini.WriteString("TEdit", "Edit2", "Dog");
    ini.WriteString("TEdit", "Edit6", std::string(5000, 'x'));
    {
        FullDisk disk(100);
        ScopedFileOps scoped(disk);
        EXPECT_THROW_MSG(ini.Save(), EIniFileException, "Unable to write to " + path);
    }
    EXPECT_EQ(ReadText(path), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "the temporary file is removed";

    ini.Save();  // room again: the same edits go through
    EXPECT_EQ(IniFile(path).ReadString("TEdit", "Edit2", ""), "Dog");
}

TEST(IniSave, AFolderThatIsNotThereIsAWriteFailure) {
    TempDir dir;
    const std::string path = dir / "missing/grix.ini";
    IniFile ini(path);
    ini.WriteString("TEdit", "Edit2", "Cat");
    EXPECT_THROW_MSG(ini.Save(), EIniFileException, "Unable to write to " + path);
}

TEST(IniSave, AnUnchangedFileIsNotRewritten) {
    TempDir dir;
    const std::string path = dir / "grix.ini";
    test::WriteText(path, "[TEdit]\nEdit2=Cat\n");
    IniFile ini(path);
    ini.WriteString("TEdit", "Edit2", "Cat");
    FullDisk disk(0);
    ScopedFileOps scoped(disk);
    ini.Save();
    EXPECT_EQ(disk.opens, 0);
}

TEST(IniSave, KeepsPermissionsAndSymbolicLinks) {
    // Windows lets only privileged users make links, and has no such bits.
    if (test::kWindows) GTEST_SKIP() << "POSIX links and permissions";
    TempDir dir;
    const std::string real = dir / "real.ini";
    const std::string link = dir / "grix.ini";
    test::WriteText(real, "[TEdit]\nEdit2=Cat\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, link);

    IniFile ini(link);
    ini.WriteString("TEdit", "Edit2", "Dog");
    ini.Save();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadText(real), "[TEdit]\nEdit2=Dog\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST(IniOpen, AFileThatCannotBeReadIsAnError) {
    TempDir dir;
    fs::create_directory(dir / "grix.ini");
    EXPECT_THROW(IniFile(dir / "grix.ini"), EFileError);
}

}  // namespace
}  // namespace grix
