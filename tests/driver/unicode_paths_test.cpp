// Names beyond ASCII, as users of Cyrillic systems type them: in picture
// paths, crossword names (from the command line and from grix.ini), the
// program's own folder, folders packed by `jar` and files given to `hex`.
// The same tables run on every platform; on Windows they run under the
// Western and the Cyrillic ANSI code page, neither of which may matter.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/brask.h"
#include "archive/file_info.h"
#include "archive/zip_reader.h"
#include "builder/build_driver.h"
#include "builder/build_lock.h"
#include "builder/crossword_pack.h"
#include "core/file.h"
#include "core/paths.h"
#include "support/bmp_file.h"
#include "support/test_support.h"
#include "tools/byte_array_export.h"

namespace grix {
namespace {

using test::RunCommand;
using test::ShellQuote;

// Names no single ANSI code page holds all of: Cyrillic (1251 only),
// Western accents (1252 only) and a character of neither.
const char* const kNames[] = {"Кроссворд", "Ёлка и ёж", "Café №5", "Снег ☃"};

std::string Cli(const std::string& program, const std::string& arguments, std::string* out,
                std::string* err, int* status) {
    *status = RunCommand(ShellQuote(program) + " " + arguments, out, err);
    return *out;
}

void DrawPicture(const std::string& path) {
    test::WriteInkBmp(path, 5, 3, [](int x, int y) { return (x + y) % 2 == 0; });
}

// The pack the library itself writes for one picture, its note and the info.
std::vector<std::uint8_t> ExpectedPack(const test::TempDir& dir, const std::string& picture,
                                       const std::string& text) {
    CrosswordProject project;
    project.info = text;
    project.pictures.push_back({1, picture, "5 * 3", text});
    const std::string path = dir / "expected.dat";
    (void)WritePack(project, path);
    return test::ReadBytes(path);
}

std::vector<std::uint8_t> EntryNamed(const test::ZipArchive& zip, const std::string& name) {
    for (const auto& entry : zip.entries) {
        if (entry.name == name)
            return test::EntryContent(entry);
    }
    ADD_FAILURE() << "no entry " << name;
    return {};
}

TEST(UnicodePaths, PicturesAndNotesFromTheCommandLine) {
    for (const std::string name : kNames) {
        test::TempDir dir;
        std::filesystem::create_directories(NativePath(dir / name));
        const std::string picture = dir / (name + "/" + name + ".bmp");
        DrawPicture(picture);
        std::string out, err;
        int status = 0;
        Cli(GRIX_CLI_PATH, "cells " + ShellQuote(picture), &out, &err, &status);
        EXPECT_EQ(status, 0) << name << ": " << err;
        EXPECT_EQ(out.substr(0, out.find('\n')), "5 * 3") << name;

        const std::string pack = dir / (name + ".dat");
        Cli(GRIX_CLI_PATH,
            "pack --out " + ShellQuote(pack) + " --info " + ShellQuote(name) + " --image " +
                ShellQuote(picture) + " --note " + ShellQuote(name),
            &out, &err, &status);
        EXPECT_EQ(status, 0) << name << ": " << err;
        EXPECT_EQ(test::ReadBytes(pack), ExpectedPack(dir, picture, name)) << name;
    }
}

TEST(UnicodePaths, HexExportsAFileWithSuchAName) {
    for (const std::string name : kNames) {
        test::TempDir dir;
        const std::string input = dir / (name + ".png");
        const std::vector<std::uint8_t> bytes = {0x89, 'P', 'N', 'G', 0, 0xFF};
        test::WriteBytes(input, bytes);
        std::string out, err;
        int status = 0;
        Cli(GRIX_CLI_PATH, "hex " + ShellQuote(input), &out, &err, &status);
        EXPECT_EQ(status, 0) << name << ": " << err;
        const std::vector<std::uint8_t> imp = test::ReadBytes(input + ".imp");
        std::vector<std::uint8_t> stored =
            ParseByteArrayDeclaration(std::string(imp.begin(), imp.end()));
        ScrambleBytes(stored.data(), stored.size());  // the rule is its own inverse
        EXPECT_EQ(stored, bytes) << name;
    }
}

TEST(UnicodePaths, JarKeepsEveryFileOfTheFolderUnderItsName) {
    for (const std::string name : kNames) {
        test::TempDir dir;
        const std::string source = dir / name;
        std::filesystem::create_directories(NativePath(source + "/" + name));
        test::WriteText(source + "/" + name + ".txt", "top");
        test::WriteText(source + "/" + name + "/" + name + ".txt", "inner");
        const std::string jar = dir / (name + ".jar");
        std::string out, err;
        int status = 0;
        Cli(GRIX_CLI_PATH, "jar --out " + ShellQuote(jar) + " " + ShellQuote(source), &out, &err,
            &status);
        ASSERT_EQ(status, 0) << name << ": " << err;
        const test::ZipArchive zip = test::ParseZip(test::ReadBytes(jar));
        ASSERT_TRUE(zip.ok) << zip.error;
        const std::vector<std::uint8_t> top = {'t', 'o', 'p'};
        const std::vector<std::uint8_t> inner = {'i', 'n', 'n', 'e', 'r'};
        EXPECT_EQ(EntryNamed(zip, name + ".txt"), top) << name;
        EXPECT_EQ(EntryNamed(zip, name + "/" + name + ".txt"), inner) << name;
    }
}

// A whole build by a grix-cli copied into a folder named like the
// crossword, once with everything on the command line and once from a
// grix.ini holding relative picture paths; both must give the same suite,
// and its pack must be the one the library writes for the same texts.
TEST(UnicodePaths, BuildInAProgramFolderWithSuchANameFromArgumentsAndSettings) {
    const std::string cli(GRIX_CLI_PATH);
    const std::string program_name = NativePath(cli).filename().string();
    for (const std::string name : kNames) {
        test::TempDir dir;
        const std::string program_folder = dir / ("Программа " + name);
        std::filesystem::create_directories(NativePath(program_folder + "/Картинки"));
        const std::string program = program_folder + "/" + program_name;
        std::filesystem::copy_file(NativePath(cli), NativePath(program));
        const std::string picture = program_folder + "/Картинки/" + name + ".bmp";
        DrawPicture(picture);
        const std::string ini = program_folder + "/проект.ini";
        test::WriteText(ini, "[TEdit]\nEdit2=" + name + "\nEdit6=" + name +
                                 "\n[Table]\nRowCount=1\n1.1=Картинки/" + name +
                                 ".bmp\n1.2=5 * 3\n1.3=" + name + "\n");
        const std::string suite = program_folder + "/midlets/" + name;
        const std::vector<std::uint8_t> expected_pack = ExpectedPack(dir, picture, name);

        const std::string ways[] = {
            "--name " + ShellQuote(name) + " --info " + ShellQuote(name) + " --image " +
                ShellQuote(picture) + " --note " + ShellQuote(name),
            "--project " + ShellQuote(ini),
        };
        std::vector<std::uint8_t> first_jad;
        for (const std::string& way : ways) {
            std::string out, err;
            int status = 0;
            Cli(program, "build " + way, &out, &err, &status);
            ASSERT_EQ(status, 0) << name << ", " << way << ":\n" << out << err;
            EXPECT_NE(out.find("midlets"), std::string::npos) << out;
            const test::ZipArchive zip = test::ParseZip(test::ReadBytes(suite + ".jar"));
            ASSERT_TRUE(zip.ok) << zip.error;
            EXPECT_EQ(EntryNamed(zip, "cfg.dat"), expected_pack) << name << ", " << way;
            const std::vector<std::uint8_t> jad = test::ReadBytes(suite + ".jad");
            const std::string jad_text(jad.begin(), jad.end());
            EXPECT_NE(jad_text.find("MIDlet-Name: " + name), std::string::npos) << jad_text;
            if (first_jad.empty())
                first_jad = jad;
            EXPECT_EQ(jad, first_jad) << name << ", " << way;
        }
    }
}

// The system's device names cannot be files on Windows, whatever follows
// them; elsewhere they are names like any other.
TEST(UnicodePaths, DeviceNamesAreRefusedAsCrosswordNamesOnWindowsOnly) {
    const struct {
        const char* name;
        bool device;
    } cases[] = {
        {"NUL", true},    {"aux", true},      {"Con.jar", true},  {"prn.x.y", true},
        {"COM1", true},   {"lpt9.txt", true}, {"nul .jad", true}, {"NULL", false},
        {"COM10", false}, {"com0", false},    {"Console", false}, {"Кон", false},
        {"LPT", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsUsableCrosswordName(c.name), !(c.device && test::kWindows)) << c.name;
    }
}

TEST(UnicodePaths, FileInfoSeesAHiddenFileWhereverItsFolderIs) {
    test::TempDir dir;
    const std::string folder = dir / "Папка.d";
    std::filesystem::create_directories(NativePath(folder));
    // A leading dot hides a file on POSIX; Windows keeps a hidden bit.
    const std::string hidden = folder + (test::kWindows ? "/скрытый.txt" : "/.скрытый.txt");
    const std::string plain = folder + "/файл.txt";
    test::WriteText(hidden, "h");
    test::WriteText(plain, "p");
    if (test::kWindows) {
        ASSERT_EQ(RunCommand("attrib +h " + ShellQuote(hidden)), 0);
    }
    EXPECT_EQ(QueryFileInfo(hidden).attributes & (kAttrHidden | kAttrFolder), kAttrHidden);
    EXPECT_EQ(QueryFileInfo(plain).attributes & (kAttrHidden | kAttrFolder), 0);
    EXPECT_EQ(QueryFileInfo(folder).attributes & (kAttrHidden | kAttrFolder), kAttrFolder);
    EXPECT_EQ(QueryFileInfo(plain).kind, FileKind::File);
}

TEST(UnicodePaths, AnArchiveBeingWrittenIsHeldAgainstASecondWriter) {
    test::TempDir dir;
    const std::string jar = dir / "Кроссворд.jar";
    TBrask first;
    first.SetFileName(jar);
    first.Open(kCreateMode);
    TBrask second;
    second.SetFileName(jar);
    EXPECT_THROW(second.Open(kCreateMode), EFCreateError);
    first.Close();
    EXPECT_NO_THROW(second.Open(kCreateMode));
    second.Close();
}

// The second build finds the lock file open to it and the lock taken, and
// waits (here until told to stop), on every system.
TEST(UnicodePaths, ASecondBuildOfTheSameFolderWaitsForTheFirst) {
    test::TempDir dir;
    const std::string app = dir / "Программа/";
    std::filesystem::create_directories(NativePath(app));
    const BuildLock first(app, {}, nullptr);
    std::vector<std::string> log;
    const std::atomic<bool> stop{true};
    EXPECT_THROW_MSG(BuildLock(
                         app, [&](const std::string& line) { log.push_back(line); }, &stop),
                     Error, kBuildCancelled);
    EXPECT_EQ(log, std::vector<std::string>{"Waiting for another build in " + app + " to end..."});
}

TEST(UnicodePaths, FailuresNameTheFileAndTheReasonInPlainWords) {
    test::TempDir dir;
    const std::string folder = dir / "Папка";
    std::filesystem::create_directories(NativePath(folder));
    const struct {
        const char* command;
        std::string path;
        const char* reason;
    } cases[] = {
        {"hex", folder, "File access denied"},
        {"hex", folder + "/нет.bin", "File not found"},
        {"cells", folder + "/нет.bmp", "No such file or directory"},
    };
    for (const auto& c : cases) {
        std::string out, err;
        int status = 0;
        Cli(GRIX_CLI_PATH, std::string(c.command) + " " + ShellQuote(c.path), &out, &err, &status);
        EXPECT_EQ(status, 1) << c.path;
        EXPECT_EQ(err, "Cannot open file \"" + AbsolutePath(c.path) + "\". " + c.reason + "\n");
    }
}

}  // namespace
}  // namespace grix
