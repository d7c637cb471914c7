#include "builder/build_driver.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <regex>

#include "archive/brask.h"
#include "builder/crossword_pack.h"
#include "builder/descriptors.h"
#include "core/file.h"
#include "core/text.h"
#include "driver/build_fixture.h"
#include "payload/payload.h"
#include "support/bmp_file.h"
#include "support/png_file.h"
#include "support/test_support.h"

namespace grix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

template <typename Ink>
void WriteBmp(const std::string& path, int width, int height, Ink ink) {
    test::WriteInkBmp(path, width, height, ink);
}

struct Build {
    BuildOutcome outcome;
    std::vector<std::string> log;
};

class BuildDriverTest : public test::BuildFixture {
protected:
    CrosswordProject Project(const std::string& name = "Cat") { return ProjectOf(name, "Sample"); }

    Build Run(const CrosswordProject& project) {
        Build b;
        b.outcome = RunBuild(project, app, brask, [&](const std::string& l) { b.log.push_back(l); });
        return b;
    }

    // Entry names in archive order, read by an independent reader.
    std::vector<std::string> Entries(const std::string& jar) {
        std::string out;
        EXPECT_EQ(test::RunCommand("unzip -Z1 " + test::ShellQuote(jar), &out), 0);
        std::vector<std::string> names;
        std::string line;
        for (char c : out) {
            if (c == '\n') names.push_back(line), line.clear();
            else line += c;
        }
        return names;
    }
};

const std::regex kStarted("Process started at \\d\\d:\\d\\d:\\d\\d");
const std::regex kEnded("Process successfully ended at \\d\\d:\\d\\d:\\d\\d");

TEST_F(BuildDriverTest, ASuccessfulBuildLogsEveryStepInOrder) {
    const Build b = Run(Project());
    ASSERT_TRUE(b.outcome.success);
    EXPECT_EQ(b.outcome.suite_folder, folders.suite);

    std::vector<std::string> expected = {"", "Checking directories...",
                                         "Temporary directory " + folders.suite + " - Ok",
                                         "Temporary directory " + folders.staging + " - Ok",
                                         "Temporary directory " + folders.manifest + " - Ok",
                                         "Creating temporary files..."};
    for (const PayloadFile& f : PayloadFiles()) {
        expected.push_back("Create file " + folders.staging + "/" + std::string(f.name) + ", size " +
                           std::to_string(f.length) + " bytes");
    }
    const std::string manifest = ManifestText("Cat", kVendor);
    expected.push_back("Create file " + folders.manifest + "/MANIFEST.MF, size 223 bytes");
    const std::int64_t jar_size = static_cast<std::int64_t>(fs::file_size(Jar()));
    const std::string jad = JadText("Cat", kVendor, kProfile, jar_size);

    // The pack the build wrote is the pack of the same project.
    const std::int64_t expected_pack = WritePack(Project(), dir / "expected.dat");
    expected.push_back("Create cfg file " + folders.staging + "/cfg.dat, size " +
                       std::to_string(expected_pack) + " bytes");
    expected.push_back("Creating jar file...");
    expected.push_back("Create midlet Cat.jar, size " + std::to_string(jar_size) + " bytes");
    expected.push_back("Create file " + Jad() + ", size " + std::to_string(jad.size()) + " bytes");
    expected.push_back("Create Cat.jad, size " + std::to_string(jad.size()) + " bytes");
    expected.push_back("");

    ASSERT_EQ(b.log.size(), expected.size());
    EXPECT_TRUE(std::regex_match(b.log.front(), kStarted)) << b.log.front();
    EXPECT_TRUE(std::regex_match(b.log.back(), kEnded)) << b.log.back();
    for (std::size_t i = 1; i + 1 < expected.size(); ++i) EXPECT_EQ(b.log[i], expected[i]) << i;

    // The JAD carries the JAR's size on disk; the manifest is the Cat manifest.
    const auto jad_bytes = test::ReadBytes(Jad());
    EXPECT_EQ(std::string(jad_bytes.begin(), jad_bytes.end()), jad);
    std::string extracted;
    ASSERT_EQ(test::RunCommand("unzip -p " + test::ShellQuote(Jar()) + " META-INF/MANIFEST.MF", &extracted), 0);
    EXPECT_EQ(extracted, manifest);
    ASSERT_EQ(test::RunCommand("unzip -p " + test::ShellQuote(Jar()) + " cfg.dat", &extracted), 0);
    const auto pack = test::ReadBytes(dir / "expected.dat");
    EXPECT_EQ(extracted, std::string(pack.begin(), pack.end()));
}

TEST_F(BuildDriverTest, TheJarHoldsThePlayerThePackAndTheManifest) {
    ASSERT_TRUE(Run(Project()).outcome.success);
    const std::vector<std::string> entries = Entries(Jar());
    // The manifest first, for readers that stream the JAR, then the files
    // of the staging folder in the folder's name order.
    std::vector<std::string> files = {"cfg.dat"};
    for (const PayloadFile& f : PayloadFiles()) files.emplace_back(f.name);
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        return AsciiUpper(a) < AsciiUpper(b);
    });
    files.insert(files.begin(), {"META-INF/", "META-INF/MANIFEST.MF"});
    EXPECT_EQ(entries, files);
    EXPECT_EQ(test::RunCommand("unzip -tq " + test::ShellQuote(Jar())), 0);
    std::string listing;
    EXPECT_EQ(test::RunCommand("jar tf " + test::ShellQuote(Jar()), &listing), 0);
    EXPECT_NE(listing.find("TGrixMIDlet.class"), std::string::npos);
}

TEST_F(BuildDriverTest, TheStagingFolderKeepsOnlyTheLastingPlayerFiles) {
    ASSERT_TRUE(Run(Project()).outcome.success);
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(folders.staging)) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"META-INF", "TBoard.class", "TCanvas.class",
                                              "TCanvasInit.class", "TConfig.class", "TGrixMIDlet.class",
                                              "TNokiaCanvas.class", "TSprite.class", "snow0.png",
                                              "snow1.png", "snow2.png", "snow3.png"}));
    EXPECT_TRUE(fs::is_empty(folders.manifest));
}

TEST_F(BuildDriverTest, RefusalsBeforeAnyFolderIsTouched) {
    const struct {
        std::string name;
        bool empty_list;
        std::string message;
    } cases[] = {
        {"", false, "Crossword name is empty"},
        {"", true, "Crossword name is empty"},
        {"Cat", true, "Image list is empty"},
        {"../x", false, "Crossword name can not be used as a file name"},
        {"a/b", false, "Crossword name can not be used as a file name"},
        {"a\\b", false, "Crossword name can not be used as a file name"},
        {"c:x", false, "Crossword name can not be used as a file name"},
        {"what?", false, "Crossword name can not be used as a file name"},
        {"star*", false, "Crossword name can not be used as a file name"},
        {"q\"", false, "Crossword name can not be used as a file name"},
        {"<a>", false, "Crossword name can not be used as a file name"},
        {"a|b", false, "Crossword name can not be used as a file name"},
        {"tab\there", false, "Crossword name can not be used as a file name"},
        {".", false, "Crossword name can not be used as a file name"},
        {"..", false, "Crossword name can not be used as a file name"},
        {"Cat.", false, "Crossword name can not be used as a file name"},
        {"Cat ", false, "Crossword name can not be used as a file name"},
        {"Cats, Dogs", false, "Crossword name can not contain a comma"},
        {std::string(252, 'n'), false,
         "Crossword name is too long for a file name: 252 bytes, at most 251"},
    };
    for (const auto& c : cases) {
        CrosswordProject p = Project(c.name);
        p.list_empty = c.empty_list;
        if (c.empty_list) p.pictures.clear();
        const Build b = Run(p);
        EXPECT_FALSE(b.outcome.success);
        ASSERT_EQ(b.log.size(), 2u) << c.name;
        EXPECT_TRUE(std::regex_match(b.log[0], kStarted));
        EXPECT_EQ(b.log[1], "Process not ended, error: " + c.message) << c.name;
        EXPECT_FALSE(fs::exists(folders.suite)) << c.name;
        EXPECT_FALSE(fs::exists(folders.staging)) << c.name;
    }
    for (const char* fine : {"Cat", "Кот", "A, B", "x.y", "Space inside"}) {
        EXPECT_TRUE(IsUsableCrosswordName(fine)) << fine;
    }
}

TEST_F(BuildDriverTest, AnUnreadablePictureFailsWithTheReadersMessageAndCleansUp) {
    test::WriteText(dir / "bad.bmp", "not a bitmap at all");
    CrosswordProject p = Project();
    p.pictures.push_back({3, dir / "bad.bmp", "", ""});
    p.splash = true;
    p.splash_path = dir / "heart.bmp";
    const Build b = Run(p);
    EXPECT_FALSE(b.outcome.success);
    EXPECT_EQ(b.log.back(), "Process not ended, error: Bitmap image is not valid");
    EXPECT_EQ(b.log[b.log.size() - 2], "Failed on picture 3 (" + (dir / "bad.bmp") + ")");
    EXPECT_FALSE(fs::exists(Jar()));
    EXPECT_TRUE(b.outcome.suite_folder.empty());
    for (const char* gone : {"cfg.dat", "logo.png", "point.png", "splash.png"}) {
        EXPECT_FALSE(fs::exists(folders.staging + "/" + gone)) << gone;
    }
    EXPECT_FALSE(fs::exists(folders.manifest + "/MANIFEST.MF"));
}

TEST_F(BuildDriverTest, SplashVariants) {
    // Only a PNG a phone can show goes in; anything else is left out with
    // the reason, as a missing file is.
    const std::vector<std::uint8_t> png = test::GreyPng(4, 3);
    test::WriteBytes(dir / "splash-source.png", png);
    ASSERT_EQ(::mkfifo((dir / "pipe.png").c_str(), 0644), 0);  // would block a reader for ever
    test::WriteBytes(dir / "huge.png", std::vector<std::uint8_t>(1024 * 1024 + 1));
    test::WriteBytes(dir / "empty.png", {});
    test::WriteBytes(dir / "text.png", {'s', 'p', 'l', 'a', 's', 'h', '\n'});
    test::WriteBytes(dir / "photo.png", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'});
    test::WriteBytes(dir / "anim.png", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
    test::WriteBytes(dir / "bomb.png", test::GreyPng(1, 1, 20000, 20000));
    test::WriteBytes(dir / "cut.png", std::vector<std::uint8_t>(png.begin(), png.end() - 1));
    std::vector<std::uint8_t> bad_crc = png;
    bad_crc[33 + 8] ^= 0xFF;  // the first byte of the IDAT data
    test::WriteBytes(dir / "crc.png", bad_crc);
    test::WriteBytes(dir / "short.png", test::GreyPng(4, 3, 8, 8));  // rows for 4 x 3 only
    fs::create_directories(dir / "folder.png");
    const auto refused = [](const std::string& path, const std::string& why) {
        return "Can not copy splash image " + path + ", suite built without it (" + why + ")";
    };
    const std::string staged = folders.staging + "/splash.png";
    const struct {
        bool flag;
        std::string path;
        bool in_jar;
        std::string line;  // the splash line expected in the log, if any
    } cases[] = {
        {true, dir / "splash-source.png", true, "Create file " + staged},
        {true, "", false, ""},
        {false, dir / "splash-source.png", false, ""},
        {true, dir / "missing.png", false, refused(dir / "missing.png", "File not found")},
        {true, dir / "pipe.png", false, refused(dir / "pipe.png", "Not a regular file")},
        {true, "/dev/urandom", false, refused("/dev/urandom", "Not a regular file")},
        {true, dir / "huge.png", false,
         refused(dir / "huge.png", "too large: 1048577 bytes, more than 256 KB")},
        {true, dir / "empty.png", false, refused(dir / "empty.png", "not a PNG picture")},
        {true, dir / "text.png", false, refused(dir / "text.png", "not a PNG picture")},
        {true, dir / "photo.png", false, refused(dir / "photo.png", "not a PNG picture")},
        {true, dir / "anim.png", false, refused(dir / "anim.png", "not a PNG picture")},
        {true, dir / "bomb.png", false, refused(dir / "bomb.png", "too large: 20000 x 20000")},
        {true, dir / "cut.png", false,
         refused(dir / "cut.png", "a damaged PNG picture: the file ends early")},
        {true, dir / "crc.png", false,
         refused(dir / "crc.png", "a damaged PNG picture: the checksum of its IDAT chunk is wrong")},
        {true, dir / "short.png", false,
         refused(dir / "short.png", "a damaged PNG picture: its pixels do not decode")},
        {true, dir / "folder.png", false,
         refused(dir / "folder.png", "it is a folder, not a picture")},
    };
    for (const auto& c : cases) {
        // A splash left behind by an earlier build must never slip in.
        fs::create_directories(folders.staging);
        test::WriteBytes(staged, {1});
        CrosswordProject p = Project();
        p.splash = c.flag;
        p.splash_path = c.path;
        const Build b = Run(p);
        ASSERT_TRUE(b.outcome.success) << b.log.back();
        const auto entries = Entries(Jar());
        EXPECT_EQ(std::count(entries.begin(), entries.end(), "splash.png"), c.in_jar ? 1 : 0) << c.path;
        const auto mentions = std::count_if(b.log.begin(), b.log.end(), [](const std::string& l) {
            return l.find("splash") != std::string::npos;
        });
        if (c.line.empty()) {
            EXPECT_EQ(mentions, 0);
        } else {
            EXPECT_EQ(mentions, 1);
            EXPECT_EQ(std::count(b.log.begin(), b.log.end(), c.line), 1) << c.line;
        }
        if (c.in_jar) {
            std::string copied;
            test::RunCommand("unzip -p " + test::ShellQuote(Jar()) + " splash.png", &copied);
            EXPECT_EQ(copied, std::string(png.begin(), png.end()));
        }
        EXPECT_FALSE(fs::exists(staged));
    }
}

// Files someone else left in the staging folder stay there and out of the
// suite; the log says how many.
TEST_F(BuildDriverTest, OnlyTheFilesTheBuildWroteArePacked) {
    ASSERT_TRUE(Run(Project()).outcome.success);
    const std::vector<std::string> own = Entries(Jar());
    const std::vector<std::string> strays = {folders.staging + "/secret.txt",
                                             folders.staging + "/sub/y.txt",
                                             folders.manifest + "/extra.txt"};
    fs::create_directories(folders.staging + "/sub");
    for (const std::string& stray : strays) test::WriteBytes(stray, {'x'});
    const Build b = Run(Project());
    ASSERT_TRUE(b.outcome.success);
    EXPECT_EQ(Entries(Jar()), own);
    EXPECT_EQ(std::count(b.log.begin(), b.log.end(),
                         "Warning: leaving out 3 file(s) in the staging folder that this build did "
                         "not write"),
              1);
    for (const std::string& stray : strays) EXPECT_TRUE(fs::exists(stray)) << stray;
}

// A picture whose file ends before its pixel data still packs, as it always
// has, but the author is told, and told what the missing rows became.
TEST_F(BuildDriverTest, APictureThatEndsEarlyIsPackedWithAWarning) {
    std::vector<std::uint8_t> header_only = test::Bmp24(4, 4, [](int, int) { return 0xFFFFFFu; });
    header_only.resize(54);
    test::WriteBytes(dir / "header.bmp", header_only);
    // 1-bit, index 0 white: the missing rows read as empty cells.
    std::vector<std::uint8_t> white_zero = test::Bmp24(4, 4, [](int, int) { return 0; });
    white_zero.resize(62);
    white_zero[10] = 62;
    white_zero[28] = 1;
    white_zero[46] = 2;
    for (int i = 54; i < 57; ++i) white_zero[static_cast<std::size_t>(i)] = 0xFF;
    test::WriteBytes(dir / "white.bmp", white_zero);
    const struct {
        std::string file;
        std::string becomes;
    } cases[] = {{"header.bmp", "filled"}, {"white.bmp", "empty"}};
    for (const auto& c : cases) {
        CrosswordProject p = Project();
        p.pictures[1].path = dir / c.file;
        const Build b = Run(p);
        ASSERT_TRUE(b.outcome.success) << b.log.back();
        EXPECT_EQ(std::count(b.log.begin(), b.log.end(),
                             "Warning: picture 2 (" + (dir / c.file) +
                                 ") ends before its pixel data; the missing rows are read as " +
                                 c.becomes),
                  1)
            << c.file;
    }
}

TEST_F(BuildDriverTest, ASecondBuildLeavesTheFirstSuiteAlone) {
    ASSERT_TRUE(Run(Project("First")).outcome.success);
    const auto jar = test::ReadBytes(Jar("First"));
    const auto jad = test::ReadBytes(Jad("First"));
    ASSERT_TRUE(Run(Project("Second")).outcome.success);
    EXPECT_EQ(test::ReadBytes(Jar("First")), jar);
    EXPECT_EQ(test::ReadBytes(Jad("First")), jad);
    EXPECT_TRUE(fs::exists(Jar("Second")));
}

TEST_F(BuildDriverTest, AFolderThatCannotBeCreatedEndsTheBuild) {
    test::WriteText(app + "temp", "a file where the staging folder belongs");
    const Build b = Run(Project());
    EXPECT_FALSE(b.outcome.success);
    EXPECT_EQ(b.log.back(), "Process not ended, error: Can not create tempopary directory " + folders.staging);
    EXPECT_EQ(b.log[b.log.size() - 2], "Temporary directory " + folders.suite + " - Ok");
}

// Makes one source file impossible to open for reading.
class UnreadableFile : public FileOps {
public:
    explicit UnreadableFile(std::string path) : path_(std::move(path)) {}
    int Open(const std::string& path, int flags, int mode) override {
        if (path == path_ && (flags & (O_WRONLY | O_RDWR)) == 0) {
            errno = EACCES;
            return -1;
        }
        return FileOps::Open(path, flags, mode);
    }

private:
    std::string path_;
};

TEST_F(BuildDriverTest, AbortInTheWritersPromptFailsTheBuild) {
    const std::string victim = folders.staging + "/logo.png";
    UnreadableFile ops(victim);
    ScopedFileOps scoped(ops);
    int asked = 0;
    brask.OnProcessFileFailure = [&](const std::string&, TBraskProcessOperation, TBraskAction& action,
                                     const std::string&, int, int) {
        ++asked;
        action = fxaAbort;
    };
    const Build b = Run(Project());
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(b.outcome.success);
    EXPECT_EQ(b.log.back(), "Process not ended, error: brask: Cannot open file \"" + victim +
                                "\" - Native error: 00033");
    EXPECT_FALSE(fs::exists(Jad()));
    EXPECT_FALSE(fs::exists(folders.staging + "/cfg.dat"));
    EXPECT_FALSE(fs::exists(Jar()));  // no suite before, none after
}

TEST_F(BuildDriverTest, IgnoreInTheWritersPromptIsLogged) {
    const std::string victim = folders.staging + "/point.png";
    UnreadableFile ops(victim);
    ScopedFileOps scoped(ops);
    brask.OnProcessFileFailure = [&](const std::string&, TBraskProcessOperation, TBraskAction& action,
                                     const std::string&, int, int) { action = fxaIgnore; };
    const Build b = Run(Project());
    EXPECT_TRUE(b.outcome.success);
    EXPECT_EQ(std::count(b.log.begin(), b.log.end(), "Skipped file " + victim), 1);
    const auto entries = Entries(Jar());
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "point.png"), 0);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "logo.png"), 1);
}

TEST_F(BuildDriverTest, WarningsForLargeSuitesLongNamesAndPicturesThePlayerRefuses) {
    // Noise does not compress: a 800 x 800 picture makes a JAR well over 64 KB.
    std::mt19937 random(12345);
    WriteBmp(dir / "noise.bmp", 800, 800, [&](int, int) { return (random() & 1) != 0; });
    CrosswordProject p = Project("A crossword name longer than 32 bytes");
    p.pictures = {{1, dir / "noise.bmp", "", ""}};
    const Build b = Run(p);
    ASSERT_TRUE(b.outcome.success);
    const auto midlet = std::find_if(b.log.begin(), b.log.end(),
                                     [](const std::string& l) { return l.rfind("Create midlet ", 0) == 0; });
    ASSERT_NE(midlet, b.log.end());
    EXPECT_EQ(*(midlet + 1), "Warning: " + p.name + ".jar is larger than 64 KB; some phones refuse suites this large");
    EXPECT_EQ(*(midlet + 2), "Warning: crossword name is longer than 32 bytes; some phones refuse such names");

    const auto refused = std::find_if(b.log.begin(), b.log.end(),
                                      [](const std::string& l) { return l.rfind("Create cfg file ", 0) == 0; });
    ASSERT_NE(refused, b.log.end());
    EXPECT_EQ(*(refused + 1), "Warning: picture 1 (" + (dir / "noise.bmp") +
                                  ") is 800 * 800; the player takes no side over 255 cells, so phones list "
                                  "it as unavailable");

    const Build small = Run(Project("Exactly32BytesLongNameForTest123"));
    for (const auto& l : small.log) EXPECT_EQ(l.rfind("Warning", 0), std::string::npos) << l;
}

}  // namespace
}  // namespace grix
