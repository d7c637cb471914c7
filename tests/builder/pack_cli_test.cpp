// grix-cli cells and pack: exact output, exit status and what a failure
// leaves on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "builder/crossword_pack.h"
#include "imaging/bmp_builder.h"
#include "support/test_support.h"

namespace grix {
namespace {

using test::Bmp;
using test::Bytes;
using test::ShellQuote;
using test::TempDir;

using Result = test::CliResult;

Result Cli(const std::string& arguments) { return test::RunCli(arguments); }

// 1-bit picture: index 1 (black) for '#'.
Bytes OneBit(const std::vector<std::string>& rows) {
    Bmp bmp;
    bmp.bpp = 1;
    bmp.width = static_cast<std::int32_t>(rows[0].size());
    bmp.height = static_cast<std::int32_t>(rows.size());
    bmp.table = {0xFFFFFF, 0x000000};
    std::vector<std::vector<std::uint32_t>> stored;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        std::vector<std::uint32_t> values;
        for (char c : *row)
            values.push_back(c == '#' ? 1 : 0);
        stored.push_back(values);
    }
    bmp.pixels = test::Rows(stored, 1);
    return bmp.Encode();
}

TEST(CellsCommand, PrintsTheSizeTextAndTheCells) {
    TempDir dir;
    test::WriteBytes(dir / "p.bmp", OneBit({"#..#", ".##.", "#..."}));
    const Result r = Cli("cells " + ShellQuote(dir / "p.bmp"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "4 * 3\n#..#\n.##.\n#...\n");
    EXPECT_EQ(r.err, "");

    test::WriteBytes(dir / "empty.bmp", {});
    const Result empty = Cli("cells " + ShellQuote(dir / "empty.bmp"));
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "0 * 0\n");
}

TEST(CellsCommand, FailuresPrintTheMessageAloneAndExitOne) {
    TempDir dir;
    test::WriteBytes(dir / "bad.bmp", Bytes(5, 'B'));
    test::WriteBytes(dir / "a.ico", {0, 0, 1, 0, 1, 0});
    const std::pair<std::string, std::string> cases[] = {
        {dir / "bad.bmp", "Stream read error"},
        {dir / "a.ico", "Bitmap image is not valid"},
        {dir / "missing.bmp",
         "Cannot open file \"" + (dir / "missing.bmp") + "\". No such file or directory"},
        {dir / "x.tiff", "Unknown picture file extension (.tiff)"},
    };
    for (const auto& [path, message] : cases) {
        const Result r = Cli("cells " + ShellQuote(path));
        EXPECT_EQ(r.status, 1) << path;
        EXPECT_EQ(r.out, "") << path;
        EXPECT_EQ(r.err, message + "\n") << path;
    }
}

TEST(CellsCommand, SamplePicturesAreRealPuzzles) {
    const std::filesystem::path examples = std::filesystem::path(GRIX_SOURCE_DIR) / "examples";
    int samples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        if (entry.path().extension() != ".bmp")
            continue;
        SCOPED_TRACE(entry.path().string());
        ++samples;
        const Result r = Cli("cells " + ShellQuote(entry.path().string()));
        ASSERT_EQ(r.status, 0) << r.err;
        int width = 0;
        int height = 0;
        ASSERT_EQ(std::sscanf(r.out.c_str(), "%d * %d", &width, &height), 2);
        EXPECT_GE(width, 10);
        EXPECT_LE(width, 30);
        EXPECT_GE(height, 10);
        EXPECT_LE(height, 30);
        // Some ink, but not all of it.
        const std::size_t ink = std::count(r.out.begin(), r.out.end(), '#');
        EXPECT_GT(ink, static_cast<std::size_t>(width * height / 8));
        EXPECT_LT(ink, static_cast<std::size_t>(width * height * 3 / 4));
    }
    EXPECT_GE(samples, 5);
}

TEST(PackCommand, NotesBelongToTheImageBeforeThem) {
    TempDir dir;
    test::WriteBytes(dir / "a.bmp", OneBit({"#."}));
    test::WriteBytes(dir / "b.bmp", OneBit({".", "#"}));
    const std::string out = dir / "cfg.dat";
    const Result r = Cli("pack --out " + ShellQuote(out) + " --image " + ShellQuote(dir / "a.bmp") +
                         " --note " + ShellQuote("first note") + " --image " + ShellQuote(dir / "b.bmp") + " --image " +
                         ShellQuote(dir / "a.bmp") + " --note " + ShellQuote("П") + " --info Grix");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    CrosswordProject project;
    project.info = "Grix";
    project.pictures = {{1, dir / "a.bmp", "", "first note"},
                        {2, dir / "b.bmp", "", ""},
                        {3, dir / "a.bmp", "", "П"}};
    (void)WritePack(project, dir / "expected.dat");
    EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(dir / "expected.dat"));
    // Only the pack is left beside the pictures.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              4);
}

TEST(PackCommand, WithoutImagesWritesAnEmptyList) {
    TempDir dir;
    const Result r = Cli("pack --out " + ShellQuote(dir / "cfg.dat"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        test::ReadBytes(dir / "cfg.dat"),
        (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0x31, 0, 0x2E, 0, 0x30, 0, 0x2E, 0, 0x30}));
}

TEST(PackCommand, AFailureKeepsWhatWasThere) {
    TempDir dir;
    test::WriteBytes(dir / "a.bmp", OneBit({"#"}));
    test::WriteBytes(dir / "bad.bmp", Bytes(20, 'Z'));
    const std::string out = dir / "cfg.dat";
    test::WriteText(out, "the previous pack");
    const Result r = Cli("pack --out " + ShellQuote(out) + " --image " + ShellQuote(dir / "a.bmp") +
                         " --image " + ShellQuote(dir / "bad.bmp"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Bitmap image is not valid\n");
    EXPECT_EQ(test::ReadBytes(out), (Bytes{'t', 'h', 'e', ' ', 'p', 'r', 'e', 'v', 'i', 'o', 'u',
                                           's', ' ', 'p', 'a', 'c', 'k'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3);  // no half-written pack beside it

    const Result missing = Cli("pack --out " + ShellQuote(dir / "nowhere/cfg.dat"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "File not found\n");

    std::filesystem::create_directory(dir / "folder");
    const Result folder = Cli("pack --out " + ShellQuote(dir / "folder"));
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err, "File access denied\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
}

TEST(PackCommand, MisplacedNotesAreRefused) {
    TempDir dir;
    test::WriteBytes(dir / "a.bmp", OneBit({"#"}));
    const std::string out = ShellQuote(dir / "cfg.dat");
    const std::string image = " --image " + ShellQuote(dir / "a.bmp");
    const Result before = Cli("pack --out " + out + " --note n" + image);
    EXPECT_EQ(before.status, 1);
    EXPECT_EQ(before.err, "--note must follow the --image it belongs to\n");
    const Result twice = Cli("pack --out " + out + image + " --note n --note m");
    EXPECT_EQ(twice.status, 1);
    EXPECT_EQ(twice.err, "Only one --note may follow each --image\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "cfg.dat"));
}

}  // namespace
}  // namespace grix
