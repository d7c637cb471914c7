// grix-cli jar, run as a user would run it.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "archive/archive_fixture.h"

namespace grix::test {
namespace {

class CliJar : public ArchiveFixture {
protected:
    int Run(const std::string& args, std::string* out, std::string* err,
            const std::string& prefix = "") {
        return RunCommand(prefix + ShellQuote(GRIX_CLI_PATH) + " jar " + args, out, err);
    }
};

TEST_F(CliJar, PacksAFolderAsABuildDoes) {
    Put("cfg.dat", SampleBytes(5000, true));
    Put("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n");
    std::string out, err;
    ASSERT_EQ(Run("--out " + ShellQuote(Jar()) + " " + ShellQuote(Src()), &out, &err), 0) << err;
    EXPECT_EQ(err, "");
    const ZipArchive zip = ParseZip(ReadBytes(Jar()));
    ASSERT_TRUE(zip.ok) << zip.error;
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"cfg.dat", "META-INF/", "META-INF/MANIFEST.MF"}));
    EXPECT_EQ(zip.entries[0].central.made_by, 0x0B14);
    EXPECT_EQ(EntryContent(zip.entries[0]), SampleBytes(5000, true));
}

TEST_F(CliJar, UnreadableSourceFailsWithTheWritersMessage) {
    // Root reads everything, so the command runs as "nobody" when we are root.
    const bool root = ::geteuid() == 0;
    if (root && RunCommand("command -v setpriv") != 0) GTEST_SKIP() << "setpriv is missing";
    Put("a.txt", "a");
    Put("secret.txt", "s");
    ASSERT_EQ(::chmod(Path("secret.txt").c_str(), 0), 0);
    std::filesystem::permissions(dir_.path(), std::filesystem::perms::all);
    std::filesystem::permissions(Src(), std::filesystem::perms::all);
    const std::string prefix = root ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    // The program itself must be reachable for that user.
    const std::string copy = dir_ / "grix-cli";
    std::filesystem::copy_file(GRIX_CLI_PATH, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::all);
    std::string out, err;
    const int status = RunCommand(prefix + ShellQuote(copy) + " jar --out " + ShellQuote(Jar()) + " " +
                                      ShellQuote(Src()),
                                  &out, &err);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, "brask: Cannot open file \"" + Path("secret.txt") + "\" - Native error: 00033\n");
    EXPECT_FALSE(std::filesystem::exists(Jar()));  // nothing half-made in its place
}

TEST_F(CliJar, MissingFolderAndUnwritableTarget) {
    std::string out, err;
    EXPECT_EQ(Run("--out " + ShellQuote(Jar()) + " " + ShellQuote(dir_ / "nowhere"), &out, &err), 1);
    EXPECT_EQ(err, "Cannot open file \"" + (dir_ / "nowhere") + "\". No such file or directory\n");
    EXPECT_EQ(Run("--out " + ShellQuote(dir_ / "no/dir/x.jar") + " " + ShellQuote(Src()), &out, &err), 1);
    EXPECT_EQ(err, "Cannot create file \"" + (dir_ / "no/dir/x.jar") + "\". File not found\n");
}

// Only what lies under DIR goes in, under names that extract safely: links
// are left out, and files whose entry names would be absolute, carry a
// drive, climb out with ".." or hold control characters are left out with
// a warning while the rest of the archive is written.
TEST_F(CliJar, OnlyFilesUnderTheFolderUnderSafeNames) {
    Put("a.txt", "a");
    ASSERT_EQ(::symlink("/etc/passwd", Path("passwd").c_str()), 0);
    ASSERT_EQ(::symlink("/", Path("root").c_str()), 0);
    const std::vector<std::string> unsafe = {"\\abs.txt",       "\\\\server\\share\\y.txt",
                                             "C:\\x.txt",       "tmp\\...\\z\\..\\..\\evil.txt",
                                             "line\nbreak.txt", "cr\rname.txt"};
    for (const std::string& name : unsafe)
        Put(name, "x");
    std::string out, err;
    ASSERT_EQ(Run("--out " + ShellQuote(Jar()) + " " + ShellQuote(Src()), &out, &err), 0) << err;
    const ZipArchive zip = ParseZip(ReadBytes(Jar()));
    ASSERT_TRUE(zip.ok) << zip.error;
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"a.txt"}));
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), static_cast<long>(unsafe.size())) << err;
    EXPECT_NE(
        err.find("Warning: brask: Cannot store file \"" + Path("C:\\x.txt") +
                 "\": entry name \"C:/x.txt\" is not safe to extract - Native error: 00063\n"),
        std::string::npos)
        << err;
}

TEST_F(CliJar, AFailureKeepsTheEarlierFile) {
    WriteText(Jar(), "earlier");
    std::string out, err;
    EXPECT_EQ(Run("--out " + ShellQuote(Jar()) + " " + ShellQuote(dir_ / "nowhere"), &out, &err),
              1);
    EXPECT_EQ(ReadBytes(Jar()), Bytes("earlier"));
    // Nothing beside src and out.jar: no temporary file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);
    // A folder in FILE's place is named, not written into.
    std::filesystem::create_directory(dir_ / "folder.jar");
    EXPECT_EQ(Run("--out " + ShellQuote(dir_ / "folder.jar") + " " + ShellQuote(Src()), &out, &err),
              1);
    EXPECT_EQ(err, "Cannot create file \"" + (dir_ / "folder.jar") + "\". File access denied\n");
}

}  // namespace
}  // namespace grix::test
