// grix-cli given what is not a regular file, or links planted where it
// writes: it fails at once naming the file, and never writes through a link.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "support/bmp_file.h"
#include "support/test_support.h"

namespace grix {
namespace {

namespace fs = std::filesystem;
using test::ShellQuote;

class CliRefusals : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::string cli = dir / "grix-cli";  // a copy of its own: builds go beside it

    void SetUp() override {
        std::error_code ec;
        fs::create_hard_link(GRIX_CLI_PATH, cli, ec);
        if (ec)
            fs::copy_file(GRIX_CLI_PATH, cli);
        ASSERT_EQ(::mkfifo((dir / "pipe.bmp").c_str(), 0644), 0);
        ASSERT_EQ(::mkfifo((dir / "pipe.ini").c_str(), 0644), 0);
        fs::create_symlink("/dev/zero", dir / "x.bmp");
        fs::create_directory(dir / "folder");
        // A sparse 17 MB settings file: refused before a byte is read.
        test::WriteText(dir / "big.ini", "[TEdit]\n");
        fs::resize_file(dir / "big.ini", 17 << 20);
    }

    // Runs grix-cli with a time limit, so that a hang fails instead of
    // stopping the tests; answers the status and both outputs together.
    int Run(const std::string& args, std::string* output) {
        std::string out, err;
        const int status =
            test::RunCommand("timeout 20 " + ShellQuote(cli) + " " + args, &out, &err);
        *output = out + err;
        return status;
    }
};

TEST_F(CliRefusals, SpecialFilesAndFoldersFailAtOnceNamingThePath) {
    const std::string not_regular = "\". Not a regular file\n";
    const struct {
        std::string args;
        std::string expected;  // the end of the output
    } cases[] = {
        {"build --name Cat --image " + ShellQuote(dir / "pipe.bmp"),
         "Failed on picture 1 (" + (dir / "pipe.bmp") +
             ")\nProcess not ended, error: Cannot open file \"" + (dir / "pipe.bmp") + not_regular},
        {"build --name Cat --image " + ShellQuote(dir / "x.bmp"),
         "Failed on picture 1 (" + (dir / "x.bmp") +
             ")\nProcess not ended, error: Cannot open file \"" + (dir / "x.bmp") + not_regular},
        {"build --project " + ShellQuote(dir / "pipe.ini"),
         "Cannot open file \"" + (dir / "pipe.ini") + not_regular},
        {"build --project " + ShellQuote(dir / "folder"),
         "Cannot open file \"" + (dir / "folder") + "\". File access denied\n"},
        {"build --project " + ShellQuote(dir / "big.ini"),
         "Settings file " + (dir / "big.ini") + " is larger than 16 MB\n"},
        {"hex " + ShellQuote(dir / "pipe.bmp"),
         "Cannot open file \"" + (dir / "pipe.bmp") + not_regular},
        {"hex /dev/zero", "Cannot open file \"/dev/zero" + not_regular},
        {"hex " + ShellQuote(dir / "folder"),
         "Cannot open file \"" + (dir / "folder") + "\". File access denied\n"},
        {"cells " + ShellQuote(dir / "pipe.bmp"),
         "Cannot open file \"" + (dir / "pipe.bmp") + not_regular},
    };
    for (const auto& c : cases) {
        std::string output;
        EXPECT_EQ(Run(c.args, &output), 1) << c.args << "\n" << output;
        ASSERT_GE(output.size(), c.expected.size()) << c.args << "\n" << output;
        EXPECT_EQ(output.substr(output.size() - c.expected.size()), c.expected) << c.args;
    }
    EXPECT_FALSE(fs::exists(dir / "pipe.bmp.imp"));
    EXPECT_FALSE(fs::exists(dir / "midlets/Cat.jar"));
}

TEST_F(CliRefusals, LinksWhereItWritesAreReplacedNeverWrittenThrough) {
    const std::string victim = dir / "victim.txt";
    test::WriteText(victim, "mine");
    test::WriteText(dir / "in.bin", "ABC");
    fs::create_directory(dir / "payload");
    test::WriteBmp24(dir / "in.bmp", 2, 2, [](int x, int) { return x == 0 ? 0u : 0xFFFFFFu; });
    for (const char* planted :
         {"payload/logo.png", "in.bin.imp.partial", "in.bin.imp", "out.bmp", "out.bmp.part"}) {
        fs::create_symlink(victim, dir / planted);
    }
    std::string output;
    EXPECT_EQ(Run("payload " + ShellQuote(dir / "payload"), &output), 0) << output;
    EXPECT_EQ(Run("hex " + ShellQuote(dir / "in.bin"), &output), 0) << output;
    EXPECT_EQ(
        Run("convert --width 2 " + ShellQuote(dir / "in.bmp") + " " + ShellQuote(dir / "out.bmp"),
            &output),
        0)
        << output;
    EXPECT_EQ(test::ReadBytes(victim), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
    EXPECT_FALSE(fs::is_symlink(dir / "payload/logo.png"));
    EXPECT_FALSE(fs::is_symlink(dir / "in.bin.imp"));
    EXPECT_FALSE(fs::is_symlink(dir / "out.bmp"));
    EXPECT_EQ(test::ReadBytes(dir / "in.bin.imp").size(), 45u);
}

// `check --project` on a file that is no project, or whose picture list is
// damaged, says what is wrong instead of checking nothing in silence.
TEST_F(CliRefusals, CheckOfAFileThatIsNoProjectSaysWhy) {
    const std::string no_list =
        "it has no picture list (no RowCount in section [Table]), so it is no Grix project";
    const auto count = [](const std::string& value) {
        return "RowCount \"" + value + "\" is not a number of pictures from 0 to 65535";
    };
    const struct {
        std::string text;
        std::string reason;
    } cases[] = {
        {std::string("\x8f\x01\xfe\x00\x7fz\x9c", 7), no_list},
        {std::string("\xff\xfe[\0T\0a\0b\0l\0e\0]\0\n\0", 18), no_list},  // UTF-16
        {"[Table]\rRowCount=1\r1.1=a.bmp\r", no_list},
        {"[Table]\nRowCount=65536\n", count("65536")},
        {"[Table]\nRowCount=-5\n", count("-5")},
        {"[Table]\nRowCount=99999999999\n", count("99999999999")},
        {"[Table]\nRowCount=0\n", "Image list is empty"},
    };
    for (const auto& c : cases) {
        const std::string project = dir / "project.ini";
        test::WriteText(project, c.text);
        std::string output;
        EXPECT_EQ(Run("check --project " + ShellQuote(project), &output), 1) << c.reason;
        EXPECT_EQ(output, project + ": " + c.reason + "\n");
    }
}

}  // namespace
}  // namespace grix
