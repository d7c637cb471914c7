// Failures: the texts of the writer's errors, and sources or disks that
// fail, simulated through the file layer. Whatever happens, the archive on
// disk is complete and valid, or the 22-byte empty archive.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>

#include "archive/archive_fixture.h"
#include "archive/compress_source.h"
#include "archive/entry_list.h"
#include "archive/mask.h"
#include "core/file.h"

namespace grix::test {
namespace {

// A file layer whose faults are chosen per path: opens that fail, sources
// that end early, and a disk of limited capacity for the archive.
class FaultyOps : public FileOps {
public:
    std::map<std::string, int> failing_opens;       // path -> how many opens fail
    std::map<std::string, long long> short_sources;  // path -> bytes it really has
    std::string archive_path;
    long long capacity = -1;  // bytes the archive may grow to; -1: unlimited
    std::map<std::string, long long> huge_sources;  // path -> the size it claims

    int Open(const std::string& path, int flags, int mode) override {
        auto fail = failing_opens.find(path);
        if (fail != failing_opens.end() && fail->second > 0) {
            --fail->second;
            errno = EACCES;
            return -1;
        }
        const int fd = FileOps::Open(path, flags, mode);
        if (fd >= 0) paths_[fd] = path;
        return fd;
    }
    long long Read(int fd, void* buffer, std::size_t count) override {
        auto cut = short_sources.find(paths_[fd]);
        if (cut != short_sources.end()) {
            const long long here = FileOps::Seek(fd, 0, SEEK_CUR);
            if (here >= cut->second) return 0;
            count = static_cast<std::size_t>(std::min<long long>(static_cast<long long>(count),
                                                                 cut->second - here));
        }
        return FileOps::Read(fd, buffer, count);
    }
    long long Write(int fd, const void* buffer, std::size_t count) override {
        if (capacity >= 0 && paths_[fd] == archive_path) {
            const long long here = FileOps::Seek(fd, 0, SEEK_CUR);
            const long long room = capacity - here;
            if (room <= 0) {
                errno = ENOSPC;
                return -1;
            }
            count = static_cast<std::size_t>(std::min<long long>(static_cast<long long>(count), room));
        }
        return FileOps::Write(fd, buffer, count);
    }
    long long Seek(int fd, long long offset, int whence) override {
        auto huge = huge_sources.find(paths_[fd]);
        if (huge != huge_sources.end() && whence == SEEK_END) return huge->second;
        return FileOps::Seek(fd, offset, whence);
    }
    int Close(int fd) override {
        paths_.erase(fd);
        return FileOps::Close(fd);
    }

private:
    std::map<int, std::string> paths_;
};

struct Failure {
    std::string path;
    std::string message;
    int index = 0;
    int code = 0;
};

class Failures : public ArchiveFixture {
protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        ops_.archive_path = Jar();
        Put("a.txt", "alpha");
        Put("b.txt", "bravo");
        Put("c.txt", "charlie");
    }
    void TearDown() override { SetFailurePrompt(nullptr); }

    // Opens `jar` as a new archive at Jar(), ready to add the source folder.
    void CreateOverSource(TBrask& jar) {
        jar.SetFileName(Jar());
        jar.Open(kCreateMode);
        jar.SetBaseDir(Src());
    }

    // Packs with a handler answering `answers` in turn (then Abort).
    ZipArchive PackAnswering(std::vector<TBraskAction> answers) {
        ScopedFileOps scoped(ops_);
        ZipArchive zip = Pack([&](TBrask& jar) {
            jar.OnProcessFileFailure = [&, answers](const std::string& path, TBraskProcessOperation op,
                                                   TBraskAction& action, const std::string& message,
                                                   int index, int code) mutable {
                EXPECT_EQ(op, poAdd);
                failures_.push_back({path, message, index, code});
                action = answers.empty() ? fxaAbort : answers.front();
                if (!answers.empty()) answers.erase(answers.begin());
            };
        });
        return zip;
    }

    FaultyOps ops_;
    std::vector<Failure> failures_;
};

TEST_F(Failures, RetryWritesTheEntryOnceTheSourceOpens) {
    ops_.failing_opens[Path("b.txt")] = 1;
    const ZipArchive zip = PackAnswering({fxaRetry});
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0].path, Path("b.txt"));
    EXPECT_EQ(failures_[0].message,
              "brask: Cannot open file \"" + Path("b.txt") + "\" - Native error: 00033");
    EXPECT_EQ(failures_[0].code, 33);
    EXPECT_GE(failures_[0].index, 0);
}

TEST_F(Failures, IgnoreLeavesTheEntryOut) {
    ops_.failing_opens[Path("b.txt")] = 5;
    const ZipArchive zip = PackAnswering({fxaIgnore});
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"a.txt", "c.txt"}));
    EXPECT_EQ(EntryContent(zip.entries[1]), Bytes("charlie"));
}

TEST_F(Failures, AbortLeavesTheEmptyArchiveAndNoException) {
    ops_.failing_opens[Path("c.txt")] = 5;
    PackAnswering({fxaAbort});
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
}

TEST_F(Failures, WithoutAHandlerTheInstalledPromptIsAsked) {
    ops_.failing_opens[Path("a.txt")] = 5;
    std::vector<std::string> prompts;
    SetFailurePrompt([&](const std::string& text) {
        prompts.push_back(text);
        return fxaIgnore;
    });
    ScopedFileOps scoped(ops_);
    const ZipArchive zip = Pack();
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"b.txt", "c.txt"}));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0], "brask: Cannot open file \"" + Path("a.txt") +
                              "\" - Native error: 00033. File processing error, possibly disk is full");
}

TEST_F(Failures, WithoutHandlerOrPromptTheAnswerIsAbort) {
    ops_.failing_opens[Path("a.txt")] = 5;
    ScopedFileOps scoped(ops_);
    Pack();
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
}

// Without a handler the writer's own policy answers, and its last commit
// tells what was left out and which failure aborted it.
TEST_F(Failures, ThePolicyAnswersAndTheLastCommitTellsWhatHappened) {
    Put("line\nbreak.txt", "x");
    const std::string a_message =
        "brask: Cannot open file \"" + Path("a.txt") + "\" - Native error: 00033";
    FailurePolicy ignore_all;
    ignore_all.ask = [](const std::string&) { return fxaIgnore; };
    struct Case {
        const char* what;
        FailurePolicy policy;
        bool a_unreadable;
        std::vector<std::string> names;
        std::vector<std::pair<std::string, int>> skipped;  // path, code
        std::string aborted_by;
    };
    const Case cases[] = {
        {"asked, Ignore", ignore_all, true, {"b.txt", "c.txt"},
         {{Path("a.txt"), 33}, {Path("line\nbreak.txt"), 63}}, ""},
        {"unattended, unreadable", UnattendedPolicy(), true, {}, {}, a_message},
        {"unattended, unsafe name", UnattendedPolicy(), false, {"a.txt", "b.txt", "c.txt"},
         {{Path("line\nbreak.txt"), 63}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ops_.failing_opens[Path("a.txt")] = c.a_unreadable ? 5 : 0;
        ScopedFileOps scoped(ops_);
        TBrask jar("brask");
        jar.SetFileName(Jar());
        jar.SetFailurePolicy(c.policy);
        jar.Open(kCreateMode);
        jar.SetBaseDir(Src());
        jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
        std::vector<std::pair<std::string, int>> skipped;
        for (const SkippedSource& s : jar.LastCommit().skipped) {
            skipped.emplace_back(s.path, s.native_error);
        }
        EXPECT_EQ(skipped, c.skipped);
        EXPECT_EQ(jar.LastCommit().aborted_by, c.aborted_by);
        jar.Close();
        const ZipArchive zip = ParseZip(ReadBytes(Jar()));
        ASSERT_TRUE(zip.ok) << zip.error;
        EXPECT_EQ(Names(zip), c.names);
    }
}

TEST_F(Failures, SourceShorterThanItsSize) {
    // In the first chunk and after a sync-flushed chunk alike.
    Put("big.bin", SampleBytes(2000000, true));
    ops_.short_sources[Path("b.txt")] = 2;
    ops_.short_sources[Path("big.bin")] = 1700000;
    const ZipArchive zip = PackAnswering({fxaIgnore, fxaIgnore});
    ASSERT_EQ(failures_.size(), 2u);
    EXPECT_EQ(failures_[0].message,
              "brask: Invalid compressed size, rfs.size = 5, count = 0 - Native error: 00034");
    EXPECT_EQ(failures_[1].message,
              "brask: Invalid compressed size, rfs.size = 2000000, count = 1572864 - Native error: 00034");
    // The bytes the failed entries had written are gone: the parser walks
    // the local records without finding a gap.
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"a.txt", "c.txt"}));
}

TEST_F(Failures, AFullDiskWhileWritingEntryDataFailsTheAddAsDiskFull) {
    Put("big.bin", SampleBytes(300000, false));
    ops_.capacity = 250000;
    ScopedFileOps scoped(ops_);
    TBrask jar("brask");
    CreateOverSource(jar);
    EXPECT_THROW_MSG(jar.AddFromBaseDir("*.*", kDefaultSearchAttr), EFileError, "Disk full");
    jar.Close();
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
}

TEST_F(Failures, ShortWriteOfTheDirectoryFailsTheAddAndRollsBack) {
    // Room for the three entries (30 + 5 + 7 bytes of data at most each),
    // not for their central headers.
    ops_.capacity = 150;
    ScopedFileOps scoped(ops_);
    TBrask jar("brask");
    CreateOverSource(jar);
    EXPECT_THROW_MSG(jar.AddFromBaseDir("*.*", kDefaultSearchAttr), EBraskException,
                     "brask: Write to stream error - Native error: 00046");
    EXPECT_TRUE(jar.IsOpen());
    EXPECT_EQ(jar.EntryCount(), 0);
    jar.Close();
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
}

TEST_F(Failures, ShortWriteOfALocalHeaderFailsTheAddAndRollsBack) {
    for (const long long capacity : {30LL, 10LL}) {
        ops_.capacity = capacity;
        ScopedFileOps scoped(ops_);
        TBrask jar("brask");
        CreateOverSource(jar);
        EXPECT_THROW_MSG(jar.AddFromBaseDir("*.*", kDefaultSearchAttr), EWriteError,
                         "Stream write error");
        jar.Close();
        // Room for the empty archive: that is what is left; no room even
        // for it: nothing, rather than a torn record.
        EXPECT_EQ(ReadBytes(Jar()), capacity >= 22 ? EmptyArchiveBytes() : std::vector<std::uint8_t>{})
            << capacity;
    }
}

TEST_F(Failures, ShareModeRefusesASourceLockedElsewhere) {
    const int fd = ::open(Path("b.txt").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const ZipArchive zip = PackAnswering({fxaIgnore});
    EXPECT_EQ(Names(zip).size(), 3u);  // the default, smShareDenyNone, asks for no lock
    failures_.clear();
    const ZipArchive strict = [&] {
        ScopedFileOps scoped(ops_);
        return Pack([&](TBrask& jar) {
            jar.Options().ShareMode = smShareDenyWrite;
            jar.OnProcessFileFailure = [&](const std::string& path, TBraskProcessOperation,
                                           TBraskAction& action, const std::string& message, int,
                                           int code) {
                failures_.push_back({path, message, 0, code});
                action = fxaIgnore;
            };
        });
    }();
    ::close(fd);
    EXPECT_EQ(Names(strict), (std::vector<std::string>{"a.txt", "c.txt"}));
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0].code, 33);
}

TEST_F(Failures, ErrorTexts) {
    TBrask named("brask");
    TBrask anonymous;
    EXPECT_THROW_MSG(named.AddFromBaseDir("*.*", kDefaultSearchAttr), EBraskException,
                     "brask: Archive is not open - Native error: 00013");
    EXPECT_THROW_MSG(anonymous.AddFromBaseDir("*.*", kDefaultSearchAttr), EBraskException,
                     "Archive is not open - Native error: 00013");
    EXPECT_THROW_MSG(named.Open(kCreateMode), EBraskException,
                     "brask: File name is blank. Specify appropriate file name - Native error: 00010");
    named.SetFileName(dir_ / "missing.jar");
    EXPECT_THROW_MSG(named.Open(0), EBraskException,
                     "brask: File \"" + (dir_ / "missing.jar") + "\" not found - Native error: 00012");
    named.SetFileName(dir_ / "no/such/folder/x.jar");
    EXPECT_THROW_MSG(named.Open(kCreateMode), EFCreateError,
                     "Cannot create file \"" + (dir_ / "no/such/folder/x.jar") +
                         "\". No such file or directory");
    EXPECT_FALSE(named.IsOpen());

    EXPECT_EQ(EBraskException("brask", 99).what(), std::string("brask: Unknown error - Native error: 00099"));
    const EBraskException e("brask", 41, {"/x/y"});
    EXPECT_EQ(e.what(), std::string("brask: Cannot compress file '/x/y'. Zip64 mode is not enabled - "
                                    "Native error: 00041"));
    EXPECT_EQ(e.NativeError(), 41);
    EXPECT_EQ(EBraskException("", 43).MessageIndex(), EBraskException("", 43).MessageIndex());
    EXPECT_EQ(EBraskException("", 99).MessageIndex(), -1);
    EXPECT_EQ(EBraskException("", 2).MessageIndex(), EBraskException("", 4).MessageIndex());

    TBraskDirArray list;
    EXPECT_THROW_MSG(list.Item(0), EBraskException, "Index out of bounds - Native error: 00001");
    EXPECT_THROW_MSG(list.Delete(3), EBraskException, "Index out of bounds - Native error: 00004");
}

TEST_F(Failures, ZlibRefusalIsTheCompressionError) {
    File source = File::Open(Path("a.txt"), OpenMode::Read);
    File archive = File::Open(dir_ / "out.bin", OpenMode::CreateReadWrite);
    // No deflate level 10 exists: zlib refuses to start the stream.
    EXPECT_THROW_MSG(CompressSource(source, 5, archive, 10, true, {}), ECompressionError, "error");
    const CompressOutcome stored = CompressSource(source, 5, archive, 0, false, {});
    EXPECT_EQ(stored.bytes_written, 5u);
    EXPECT_EQ(stored.crc32, 0xD0E0396Au);  // CRC-32 of "alpha"
}

TEST_F(Failures, MissingBaseFolderIsAnError) {
    TBrask jar("brask");
    jar.SetFileName(Jar());
    jar.Open(kCreateMode);
    jar.SetBaseDir(dir_ / "nowhere");
    EXPECT_THROW_MSG(jar.AddFromBaseDir("*.*", kDefaultSearchAttr), EFOpenError,
                     "Cannot open file \"" + (dir_ / "nowhere") + "\". No such file or directory");
    jar.Close();
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
}

TEST_F(Failures, OpeningExistingArchivesIsRefused) {
    WriteText(Jar(), "old");
    TBrask jar("brask");
    jar.SetFileName(Jar());
    EXPECT_THROW_MSG(jar.Open(2), EBraskException,
                     "brask: Cannot open existing archive \"" + Jar() +
                         "\": only new archives can be created - Native error: 00061");
    EXPECT_EQ(ReadBytes(Jar()), Bytes("old"));
}

TEST_F(Failures, ZipDisabledRefusesASourceOf4GiBOrMore) {
    ops_.huge_sources[Path("b.txt")] = 5LL << 30;
    const ZipArchive zip = PackAnswering({fxaIgnore});
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"a.txt", "c.txt"}));
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0].message, "brask: Cannot compress file '" + Path("b.txt") +
                                        "'. Zip64 mode is not enabled - Native error: 00041");
}

TEST_F(Failures, MaskWithTooManyStars) {
    std::string mask;
    for (int i = 0; i < 31; ++i) mask += "*a";
    EXPECT_THROW_MSG(TMask{mask}, EInvalidMask, "Invalid mask \"" + mask + "\": more than 30 \"*\" wildcards");
    TBrask jar("brask");
    CreateOverSource(jar);
    EXPECT_THROW(jar.AddFromBaseDir(mask, kDefaultSearchAttr), EInvalidMask);
    EXPECT_EQ(jar.State(), ArchiveState::Open);
}

}  // namespace
}  // namespace grix::test
