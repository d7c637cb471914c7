// The open / update / commit / close life cycle and entry registration.
#include <filesystem>

#include "archive/archive_fixture.h"

namespace grix::test {
namespace {

class Update : public ArchiveFixture {
protected:
    void OpenJar(TBrask& jar) {
        jar.SetFileName(Jar());
        jar.SetCompressionLevel(clMax);
        jar.Options().OEMFileNames = false;
        jar.Open(kCreateMode);
        jar.SetBaseDir(Src());
    }
    ZipArchive Read() {
        ZipArchive zip = ParseZip(ReadBytes(Jar()));
        EXPECT_TRUE(zip.ok) << zip.error;
        return zip;
    }
};

TEST_F(Update, OnlyTheOutermostEndUpdateCommitsAndASecondDoesNothing) {
    Put("a.txt", "a");
    TBrask jar("brask");
    OpenJar(jar);
    jar.BeginUpdate();
    jar.BeginUpdate();
    EXPECT_EQ(jar.RegisterEntry(Path("a.txt"), "a.txt"), 0);
    jar.EndUpdate();
    EXPECT_EQ(std::filesystem::file_size(Jar()), 0u);
    EXPECT_EQ(jar.State(), ArchiveState::Updating);
    jar.EndUpdate();
    EXPECT_EQ(jar.State(), ArchiveState::Open);
    const auto committed = ReadBytes(Jar());
    jar.EndUpdate();  // nothing pending
    EXPECT_EQ(ReadBytes(Jar()), committed);
    EXPECT_EQ(Names(Read()), (std::vector<std::string>{"a.txt"}));
}

TEST_F(Update, CancelUpdateForgetsTheRegisteredEntries) {
    Put("a.txt", "a");
    Put("b.txt", "b");
    TBrask jar("brask");
    OpenJar(jar);
    jar.BeginUpdate();
    jar.RegisterEntry(Path("a.txt"), "a.txt");
    jar.CancelUpdate();
    EXPECT_EQ(jar.EntryCount(), 0);
    jar.BeginUpdate();
    jar.RegisterEntry(Path("b.txt"), "b.txt");
    jar.EndUpdate();
    jar.Close();
    EXPECT_EQ(Names(Read()), (std::vector<std::string>{"b.txt"}));
}

TEST_F(Update, RegisterOutsideAnUpdateCommitsAtOnce) {
    Put("a.txt", "alpha");
    TBrask jar("brask");
    OpenJar(jar);
    EXPECT_EQ(jar.RegisterEntry(Path("a.txt"), "docs/a.txt"), 0);
    EXPECT_EQ(Names(Read()), (std::vector<std::string>{"docs/a.txt"}));
}

TEST_F(Update, CloseCommitsAPendingUpdate) {
    Put("a.txt", "alpha");
    {
        TBrask jar("brask");
        OpenJar(jar);
        jar.BeginUpdate();
        jar.RegisterEntry(Path("a.txt"), "a.txt");
    }  // the destructor closes
    EXPECT_EQ(Names(Read()), (std::vector<std::string>{"a.txt"}));
}

TEST_F(Update, ReplacingAnEntryOfAnEarlierCommitKeepsTheOthers) {
    Put("a.txt", "first version");
    Put("b.txt", SampleBytes(70000, true));
    Put("c.txt", "c");
    TBrask jar("brask");
    OpenJar(jar);
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    Put("a.txt", "second, longer version of the file");
    EXPECT_EQ(jar.RegisterEntry(Path("a.txt"), "a.txt"), 0);
    jar.Close();
    const ZipArchive zip = Read();
    ASSERT_EQ(Names(zip), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(EntryContent(zip.entries[0]), Bytes("second, longer version of the file"));
    EXPECT_EQ(EntryContent(zip.entries[1]), SampleBytes(70000, true));
    EXPECT_EQ(EntryContent(zip.entries[2]), Bytes("c"));
}

TEST_F(Update, AddingAfterACommitAppends) {
    Put("a.txt", "a");
    TBrask jar("brask");
    OpenJar(jar);
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    Put("z.txt", "z");
    jar.RegisterEntry(Path("z.txt"), "z.txt");
    jar.Close();
    EXPECT_EQ(Names(Read()), (std::vector<std::string>{"a.txt", "z.txt"}));
}

TEST_F(Update, OverwriteModes) {
    Put("one.txt", "one");
    Put("two.txt", "two");
    struct Case {
        TBraskOverwriteMode mode;
        bool handler_answer;
        bool replaced;
    };
    for (const Case c : {Case{omAlways, false, true}, Case{omNever, false, false},
                         Case{omPrompt, false, false}, Case{omPrompt, true, true}}) {
        TBrask jar("brask");
        OpenJar(jar);
        jar.Options().OverwriteMode = c.mode;
        if (c.handler_answer) {
            jar.OnConfirmOverwrite = [](const std::string&, const std::string&, bool& ok) { ok = true; };
        }
        jar.BeginUpdate();
        EXPECT_EQ(jar.RegisterEntry(Path("one.txt"), "x.txt"), 0);
        EXPECT_EQ(jar.RegisterEntry(Path("two.txt"), "x.txt"), c.replaced ? 0 : -1) << c.mode;
        jar.EndUpdate();
        jar.Close();
        const ZipArchive zip = Read();
        ASSERT_EQ(zip.entries.size(), 1u);
        EXPECT_EQ(EntryContent(zip.entries[0]), Bytes(c.replaced ? "two" : "one")) << c.mode;
    }
}

TEST_F(Update, StoreFileHandlerRenamesAndComments) {
    Put("a.txt", "a");
    TBrask jar("brask");
    OpenJar(jar);
    jar.OnStoreFile = [](std::string& name, std::uint32_t& attributes, std::string& comment) {
        name = "renamed/" + name;
        attributes |= 0x01;
        comment = "note";
    };
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    jar.Close();
    const auto bytes = ReadBytes(Jar());
    const ZipArchive zip = ParseZip(bytes);
    ASSERT_TRUE(zip.ok) << zip.error;
    ASSERT_EQ(Names(zip), (std::vector<std::string>{"renamed/a.txt"}));
    EXPECT_EQ(zip.entries[0].central.external, 0x21u);
    EXPECT_EQ(zip.entries[0].central.comment_length, 4);
}

TEST_F(Update, ConfirmProcessFileCanLeaveItemsOut) {
    Put("keep.txt", "k");
    Put("skip.txt", "s");
    const ZipArchive zip = Pack([](TBrask& jar) {
        jar.OnConfirmProcessFile = [](const std::string& path, TBraskProcessOperation op, bool& ok) {
            EXPECT_EQ(op, poAdd);
            ok = path.find("skip") == std::string::npos;
        };
    });
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"keep.txt"}));
}

TEST_F(Update, ProgressAbortRollsBackWithoutAnError) {
    Put("a.txt", "a");
    Put("b.bin", SampleBytes(2000000, true));
    std::vector<TBraskProgressPhase> overall;
    TBrask jar("brask");
    OpenJar(jar);
    jar.OnOverallProgress = [&](TBraskProcessOperation, TBraskProgressPhase phase, bool&, double) {
        overall.push_back(phase);
    };
    jar.OnFileProgress = [](const std::string& name, TBraskProcessOperation, bool& abort,
                            TBraskProgressPhase phase, double percent) {
        if (name == "b.bin" && phase == ppProcess && percent > 0) abort = true;
    };
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    jar.Close();
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
    ASSERT_FALSE(overall.empty());
    EXPECT_EQ(overall.front(), ppStart);
    EXPECT_EQ(overall.back(), ppEnd);
}

TEST_F(Update, CloseFromAHandlerDuringACommitIsSafe) {
    Put("a.txt", "a");
    Put("b.txt", "b");
    TBrask jar("brask");
    OpenJar(jar);
    jar.OnFileProgress = [&jar](const std::string&, TBraskProcessOperation, bool&,
                                TBraskProgressPhase phase, double) {
        if (phase == ppEnd) jar.Close();
    };
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    EXPECT_FALSE(jar.IsOpen());
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
}

TEST_F(Update, CompressionLevelAndModeAreOneSetting) {
    TBrask jar;
    EXPECT_EQ(jar.CompressionLevel(), clFastest);
    EXPECT_EQ(jar.CompressionMode(), 1);
    const std::pair<TBraskCompressionLevel, int> levels[] = {
        {clNone, 0}, {clFastest, 1}, {clNormal, 6}, {clMax, 9}};
    for (const auto& [level, mode] : levels) {
        jar.SetCompressionLevel(level);
        EXPECT_EQ(jar.CompressionMode(), mode);
    }
    const TBraskCompressionLevel by_mode[] = {clNone,   clFastest, clFastest, clFastest, clNormal,
                                              clNormal, clNormal,  clMax,     clMax,     clMax};
    for (int mode = 0; mode <= 9; ++mode) {
        jar.SetCompressionMode(mode);
        EXPECT_EQ(jar.CompressionLevel(), by_mode[mode]) << mode;
    }
    EXPECT_THROW_MSG(jar.SetCompressionMode(10), EBraskException,
                     "Invalid compression mode. Mode must be in [0-9] range - Native error: 00005");
    EXPECT_EQ(jar.CompressionMode(), 9);
}

TEST_F(Update, DefaultsAfterConstruction) {
    TBrask jar;
    EXPECT_EQ(jar.Zip64Mode(), zmDisabled);
    EXPECT_EQ(jar.Options().StorePath, spRelativePath);
    EXPECT_TRUE(jar.Options().Recurse);
    EXPECT_EQ(jar.Options().ShareMode, smShareDenyNone);
    EXPECT_EQ(jar.Options().OverwriteMode, omAlways);
    EXPECT_EQ(jar.Options().SearchAttr, 10431);
    EXPECT_TRUE(jar.Options().FlushBuffers);
    EXPECT_TRUE(jar.Options().OEMFileNames);
    EXPECT_FALSE(jar.IsOpen());
}

}  // namespace
}  // namespace grix::test
