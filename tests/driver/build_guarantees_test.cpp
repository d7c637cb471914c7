// What a build guarantees: one build per folder at a time, the earlier suite
// kept whatever fails, links and special files refused, progress and cancel.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <regex>
#include <sstream>
#include <thread>

#include "archive/brask.h"
#include "builder/build_driver.h"
#include "builder/crossword_pack.h"
#include "core/file.h"
#include "driver/build_fixture.h"
#include "payload/payload.h"
#include "support/bmp_file.h"
#include "support/fault_ops.h"
#include "support/test_support.h"
#include "tools/byte_array_export.h"

namespace grix {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ShellQuote;
using test::TempDir;

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// The JAD's MIDlet-Jar-Size, -1 when it has none.
long long JadJarSize(const std::string& jad) {
    std::smatch m;
    const std::string text = Text(ReadBytes(jad));
    return std::regex_search(text, m, std::regex("MIDlet-Jar-Size: (\\d+)\r\n")) ? std::stoll(m[1])
                                                                                 : -1;
}

class BuildGuarantees : public test::BuildFixture {
  protected:
    std::vector<std::string> log;

    CrosswordProject Project(const std::string& info = "Sample") { return ProjectOf("Cat", info); }

    bool Run(const CrosswordProject& project, const BuildControl& control = {}) {
        log.clear();
        return RunBuild(
                   project, app, brask, [this](const std::string& l) { log.push_back(l); }, control)
            .success;
    }
};

// Every file operation of a full rebuild fails in turn, with a full disk,
// a refusal and a plain I/O error: a failed build leaves the earlier suite
// byte for byte, a build that shrugged the failure off (a deletion) leaves
// a whole new one, and no temporary file is left either way.
TEST_F(BuildGuarantees, EveryFailingFileOperationKeepsTheEarlierSuite) {
    ASSERT_TRUE(Run(Project()));
    const auto jar = ReadBytes(Jar());
    const auto jad = ReadBytes(Jad());
    const CrosswordProject next = Project("Changed");
    long long operations = 0;
    {
        test::NthOperationFails counting(-1, 0);
        ScopedFileOps scoped(counting);
        ASSERT_TRUE(Run(next));
        operations = counting.count();
    }
    ASSERT_GT(operations, 100);
    bool disk_full_logged = false;
    for (const int err : {ENOSPC, EACCES, EIO}) {
        for (long long victim = 0; victim < operations; ++victim) {
            test::WriteBytes(Jar(), jar);
            test::WriteBytes(Jad(), jad);
            bool built = false;
            bool deletion_failed = false;
            {
                test::NthOperationFails failing(victim, err);
                ScopedFileOps scoped(failing);
                built = Run(next);
                deletion_failed = failing.failed_unlink();
            }
            const std::string where =
                "operation " + std::to_string(victim) + " errno " + std::to_string(err);
            if (built) {
                EXPECT_EQ(JadJarSize(Jad()), static_cast<long long>(fs::file_size(Jar()))) << where;
                EXPECT_NE(ReadBytes(Jar()), jar) << where;
            } else {
                ASSERT_EQ(ReadBytes(Jar()), jar) << where << ": " << log.back();
                ASSERT_EQ(ReadBytes(Jad()), jad) << where << ": " << log.back();
                disk_full_logged |= log.back() == "Process not ended, error: Disk full";
            }
            // Only a deletion that itself failed may leave a file, which
            // the next build removes.
            if (!deletion_failed) {
                ASSERT_EQ(FolderNames(folders.suite),
                          (std::vector<std::string>{"Cat.jad", "Cat.jar"}))
                    << where;
            }
        }
    }
    EXPECT_TRUE(disk_full_logged);
}

TEST_F(BuildGuarantees, ProgressAfterEachPictureAndCancelKeepsTheEarlierSuite) {
    std::vector<std::pair<std::size_t, std::size_t>> steps;
    BuildControl control;
    control.progress = [&](std::size_t done, std::size_t total) {
        steps.emplace_back(done, total);
    };
    ASSERT_TRUE(Run(Project(), control));
    EXPECT_EQ(steps, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 2}, {2, 2}}));
    const auto jar = ReadBytes(Jar());
    const auto jad = ReadBytes(Jad());

    // Cancelled at once, after the first picture, and while the lock is waited for.
    std::atomic<bool> cancel{false};
    control.cancel = &cancel;
    control.progress = [&](std::size_t done, std::size_t) { cancel = done == 1; };
    cancel = true;
    EXPECT_FALSE(Run(Project("Other"), control));
    EXPECT_EQ(log.back(), "Process not ended, error: Build cancelled");
    cancel = false;
    EXPECT_FALSE(Run(Project("Other"), control));
    EXPECT_EQ(log.back(), "Process not ended, error: Build cancelled");
    {
        File held = File::Open(app + "grix-build.lock", OpenMode::ReadWrite);
        ASSERT_EQ(held.TryLock(true), 0);
        control.progress = nullptr;
        std::thread later([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            cancel = true;
        });
        EXPECT_FALSE(Run(Project("Other"), control));
        later.join();
        EXPECT_EQ(log, (std::vector<std::string>{
                           log[0], "Waiting for another build in " + app + " to end...",
                           "Process not ended, error: Build cancelled"}));
    }
    EXPECT_EQ(ReadBytes(Jar()), jar);
    EXPECT_EQ(ReadBytes(Jad()), jad);
    EXPECT_EQ(FolderNames(folders.suite), (std::vector<std::string>{"Cat.jad", "Cat.jar"}));
    EXPECT_FALSE(fs::exists(folders.staging + "/cfg.dat"));
}

// Links planted where the build writes are replaced, never written
// through; a staging folder that is a link is refused before anything in
// it is written, deleted or packed.
TEST_F(BuildGuarantees, LinksAreReplacedOrRefusedNeverFollowed) {
    ASSERT_TRUE(Run(Project()));
    const std::string victim = dir / "victim.txt";
    for (const std::string& planted :
         {Jar(), Jad(), folders.staging + "/cfg.dat", folders.staging + "/logo.png",
          folders.manifest + "/MANIFEST.MF"}) {
        test::WriteText(victim, "mine");
        fs::remove(planted);
        fs::create_symlink(victim, planted);
        ASSERT_TRUE(Run(Project())) << planted << ": " << log.back();
        EXPECT_EQ(Text(ReadBytes(victim)), "mine") << planted;
        EXPECT_FALSE(fs::is_symlink(planted)) << planted;
    }

    const std::string mine = dir / "pictures";
    fs::create_directory(mine);
    test::WriteText(mine + "/1.png", "keep me");
    fs::remove_all(folders.staging);
    fs::create_directory_symlink(mine, folders.staging);
    EXPECT_FALSE(Run(Project()));
    EXPECT_EQ(log.back(),
              "Process not ended, error: Can not create tempopary directory " + folders.staging);
    EXPECT_EQ(FolderNames(mine), (std::vector<std::string>{"1.png"}));
}

// grix-cli installed in a folder of its own, so that its builds go there.
// Killed between putting the new JAR and the new JAD in place (the JAD's
// rename is where the child dies): the next build puts the earlier JAR back
// before anything else, even when it then fails itself.
TEST_F(BuildGuarantees, AKillBetweenTheTwoRenamesIsMendedByTheNextBuild) {
    ASSERT_TRUE(Run(Project()));
    const auto jar = ReadBytes(Jar());
    const auto jad = ReadBytes(Jad());

    struct DiesAtTheJad : FileOps {
        int Rename(const std::string& from, const std::string& to) override {
            if (to.size() > 4 && to.compare(to.size() - 4, 4, ".jad") == 0)
                ::raise(SIGKILL);
            return FileOps::Rename(from, to);
        }
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        DiesAtTheJad ops;
        ScopedFileOps scoped(ops);
        (void)Run(Project("Changed"));
        ::_exit(0);  // not reached: the rename kills the child
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    ASSERT_NE(ReadBytes(Jar()), jar);  // the state the kill left: a new JAR, the old JAD
    ASSERT_EQ(ReadBytes(Jad()), jad);

    CrosswordProject failing = Project();
    failing.pictures[0].path = dir / "missing.bmp";
    EXPECT_FALSE(Run(failing));
    EXPECT_EQ(ReadBytes(Jar()), jar);
    EXPECT_EQ(ReadBytes(Jad()), jad);
    EXPECT_EQ(FolderNames(folders.suite), (std::vector<std::string>{"Cat.jad", "Cat.jar"}));
    EXPECT_EQ(std::count(log.begin(), log.end(),
                         "Warning: an earlier build was stopped while it replaced " + Jar() +
                             "; the suite beside it is whole again"),
              1);
}

// A full disk is named as one, at the player's files and in the JAR alike.
TEST_F(BuildGuarantees, AFullDiskIsSaidToBeOne) {
    std::int64_t written = 223;  // the manifest
    for (const PayloadFile& file : PayloadFiles())
        written += static_cast<std::int64_t>(file.length);
    written += WritePack(Project(), dir / "pack.dat");
    const struct {
        long long room;
        std::string message;
    } cases[] = {
        {0, "Can not create/save file " + folders.staging + "/point.png (Disk full)"},
        {written + 10, "Disk full"},
    };
    for (const auto& c : cases) {
        test::FullDisk disk(c.room);
        ScopedFileOps scoped(disk);
        EXPECT_FALSE(Run(Project()));
        EXPECT_EQ(log.back(), "Process not ended, error: " + c.message) << c.room;
    }
}

class CliBuilds : public ::testing::Test {
  protected:
    TempDir dir;
    std::string cli = dir / "grix-cli";
    std::string suite = dir / "midlets";

    void SetUp() override {
        std::error_code ec;
        fs::create_hard_link(GRIX_CLI_PATH, cli, ec);
        if (ec)
            fs::copy_file(GRIX_CLI_PATH, cli);
        test::WriteInkBmp(dir / "heart.bmp", 5, 4, [](int x, int y) { return (x + y) % 2 == 0; });
    }

    std::string BuildCommand(const std::string& name, const std::string& info) {
        return ShellQuote(cli) + " build --name " + ShellQuote(name) + " --info " +
               ShellQuote(info) + " --image " + ShellQuote(dir / "heart.bmp");
    }

    // The pack a build of this project writes.
    std::string ExpectedPack(const std::string& info) {
        CrosswordProject p;
        p.info = info;
        p.pictures = {{1, dir / "heart.bmp", "", ""}};
        const std::string path = dir / ("expected-" + info);
        (void)WritePack(p, path);
        return Text(ReadBytes(path));
    }

    std::string Entry(const std::string& jar, const std::string& name) {
        std::string out;
        EXPECT_EQ(test::RunCommand("unzip -p " + ShellQuote(jar) + " " + ShellQuote(name), &out),
                  0);
        return out;
    }

    // Runs the commands at once; answers their exit statuses.
    std::vector<int> RunTogether(const std::vector<std::string>& commands) {
        std::string script;
        for (std::size_t i = 0; i < commands.size(); ++i) {
            script += commands[i] + " >" + ShellQuote(dir / ("out" + std::to_string(i))) +
                      " 2>&1 & p" + std::to_string(i) + "=$!\n";
        }
        for (std::size_t i = 0; i < commands.size(); ++i) {
            script += "wait $p" + std::to_string(i) + "; echo $?\n";
        }
        std::string out;
        test::RunCommand("bash -c " + ShellQuote(script), &out);
        std::vector<int> statuses;
        std::istringstream lines(out);
        for (int status; lines >> status;)
            statuses.push_back(status);
        return statuses;
    }
};

TEST_F(CliBuilds, BuildsStartedTogetherNeverMix) {
    std::vector<std::uint8_t> main_class;
    for (const PayloadFile& file : PayloadFiles()) {
        if (file.name == "TGrixMIDlet.class")
            main_class.assign(file.scrambled, file.scrambled + file.length);
    }
    ScrambleBytes(main_class.data(), main_class.size());
    for (const bool same_name : {false, true}) {
        const int runs = same_name ? 4 : 8;
        std::vector<std::string> commands;
        for (int i = 0; i < runs; ++i) {
            commands.push_back(BuildCommand(same_name ? "Same" : "Cw" + std::to_string(i),
                                            "Info " + std::to_string(i)));
        }
        const std::vector<int> statuses = RunTogether(commands);
        ASSERT_EQ(statuses.size(), static_cast<std::size_t>(runs));
        std::vector<std::string> packs;
        for (int i = 0; i < runs; ++i)
            packs.push_back(ExpectedPack("Info " + std::to_string(i)));
        for (int i = 0; i < runs; ++i) {
            EXPECT_EQ(statuses[i], 0) << Text(ReadBytes(dir / ("out" + std::to_string(i))));
            if (same_name && i > 0)
                continue;
            const std::string name = same_name ? "Same" : "Cw" + std::to_string(i);
            const std::string jar = suite + "/" + name + ".jar";
            const std::string pack = Entry(jar, "cfg.dat");
            if (same_name) {  // the last build's suite, whole and matching
                EXPECT_NE(std::find(packs.begin(), packs.end(), pack), packs.end());
            } else {
                EXPECT_EQ(pack, packs[i]) << name;
            }
            EXPECT_NE(Entry(jar, "META-INF/MANIFEST.MF").find("MIDlet-Name: " + name + "\r\n"),
                      std::string::npos);
            EXPECT_EQ(Entry(jar, "TGrixMIDlet.class"), Text(main_class));
            std::string listing;
            test::RunCommand("unzip -Z1 " + ShellQuote(jar), &listing);
            EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 16) << listing;
            EXPECT_EQ(JadJarSize(suite + "/" + name + ".jad"),
                      static_cast<long long>(fs::file_size(jar)));
            EXPECT_EQ(test::RunCommand("unzip -tq " + ShellQuote(jar)), 0) << name;
        }
        EXPECT_EQ(FolderNames(suite).size(), same_name ? 18u : 16u);  // JARs and JADs, nothing else
    }
}

// A build killed with SIGKILL while it writes its JAR leaves the earlier
// suite as it was; the next build clears what the killed one left.
TEST_F(CliBuilds, AKilledBuildKeepsTheEarlierSuite) {
    ASSERT_EQ(test::RunCommand(BuildCommand("Cat", "Before")), 0);
    const auto jar = ReadBytes(suite + "/Cat.jar");
    const auto jad = ReadBytes(suite + "/Cat.jad");
    // A picture of 8192 x 8192 cells of noise: 8 MB of pack that does not
    // compress keep the JAR step busy long enough to be killed in it.
    std::vector<std::uint8_t> noise(62 + (std::size_t{8192} * 8192 / 8));
    std::uint32_t state = 12345;
    for (auto& b : noise)
        b = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    const std::uint8_t header[62] = {
        'B', 'M', 0, 0, 0,    0,    0,    0, 0, 0, 62,   0, 0,
        0,   40,  0, 0, 0,    0,    0x20, 0, 0, 0, 0x20, 0, 0,  // 8192 x 8192
        1,   0,   1, 0,                                         // one plane, 1 bit
        0,   0,   0, 0, 0,    0,    0,    0, 0, 0, 0,    0, 0,
        0,   0,   0, 2, 0,    0,    0,    0, 0, 0, 0,  // two colours
        0,   0,   0, 0, 0xFF, 0xFF, 0xFF, 0};
    std::copy(std::begin(header), std::end(header), noise.begin());
    test::WriteBytes(dir / "noise.bmp", noise);
    const std::string log = dir / "killed.log";
    const std::string script = BuildCommand("Cat", "After") + " --image " +
                               ShellQuote(dir / "noise.bmp") + " >" + ShellQuote(log) +
                               " 2>&1 & pid=$!\n" + "until grep -q 'Creating jar file' " +
                               ShellQuote(log) +
                               "; do kill -0 $pid 2>/dev/null || exit 3; sleep 0.01; done\n"
                               "kill -9 $pid; wait $pid; exit 0\n";
    ASSERT_EQ(test::RunCommand("bash -c " + ShellQuote(script)), 0) << Text(ReadBytes(log));
    EXPECT_EQ(Text(ReadBytes(log)).find("Process successfully ended"), std::string::npos);
    EXPECT_EQ(ReadBytes(suite + "/Cat.jar"), jar);
    EXPECT_EQ(ReadBytes(suite + "/Cat.jad"), jad);

    ASSERT_EQ(test::RunCommand(BuildCommand("Cat", "After")), 0);
    EXPECT_EQ(FolderNames(suite), (std::vector<std::string>{"Cat.jad", "Cat.jar"}));
    EXPECT_EQ(Entry(suite + "/Cat.jar", "cfg.dat"), ExpectedPack("After"));
}

}  // namespace
}  // namespace grix
