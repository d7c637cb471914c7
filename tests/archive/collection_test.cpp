// Folder collection: which items are taken, how they are named, in which
// order, and the rules behind them (masks, exclusions, attributes).
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "archive/archive_fixture.h"
#include "archive/archive_paths.h"
#include "archive/dir_search.h"
#include "archive/dos_time.h"
#include "archive/file_info.h"
#include "archive/folder_collection.h"
#include "archive/mask.h"
#include "archive/name_order.h"

namespace grix::test {
namespace {

TEST(Mask, Matching) {
    struct Case {
        const char* mask;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"*", "", true},
        {"*", "anything at all", true},
        {"*.*", "noext", false},  // the search, not the mask, lets "*.*" take every name
        {"*.*", "a.b", true},
        {"*.TXT", "readme.txt", true},
        {"readme.txt", "README.TXT", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"?", "", false},
        {"?", "ж", true},      // one character of two bytes
        {"??", "ж", false},
        {"ж*", "жук", true},
        {"Ж*", "жук", false},  // only ASCII letters match regardless of case
        {"*ab", "aab", true},
        {"*ab*cd", "abxabcd", true},
        {"*a*b*c", "xaxbxc", true},
        {"*a*b*c", "xaxbx", false},
        {"a*", "b", false},
        {"**", "x", true},
        {"*?", "", true},  // a "?" right after "*" adds nothing
        {"META-INF/*", "meta-inf/MANIFEST.MF", true},
        {"", "", true},
        {"", "x", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesMask(c.text, c.mask), c.match) << c.mask << " vs " << c.text;
    }
}

TEST(Mask, ThirtyStarsAtMost) {
    std::string thirty;  // thirty star-flagged elements: stars standing together count once
    for (int i = 0; i < 30; ++i) thirty += "**a";
    EXPECT_TRUE(MatchesMask(std::string(40, 'a'), thirty));
    EXPECT_FALSE(MatchesMask(std::string(29, 'a'), thirty));
    EXPECT_NO_THROW(TMask(thirty + "?b"));
    EXPECT_THROW(TMask(thirty + "*b"), EInvalidMask);
    EXPECT_THROW(TMask(thirty + "*"), EInvalidMask);  // a trailing star flags the end
}

TEST(Mask, SearchPatternsTakeNamesWithoutDots) {
    EXPECT_TRUE(SearchPatternMatches("*.*", "Makefile"));
    EXPECT_TRUE(SearchPatternMatches("*.", "Makefile"));
    EXPECT_FALSE(SearchPatternMatches("*.", "a.b"));
    EXPECT_TRUE(SearchPatternMatches("*.png", "SPLASH.PNG"));
    EXPECT_FALSE(SearchPatternMatches("*.png", "splash.pngx"));
}

TEST(NameOrder, UpperCasedOrdinalOrder) {
    EXPECT_TRUE(NameLess("a", "B"));
    EXPECT_TRUE(NameLess("B", "c"));
    EXPECT_TRUE(NameLess("Z", "_"));   // '_' sorts after the upper-case letters
    EXPECT_TRUE(NameLess(".x", "0"));
    EXPECT_TRUE(NameLess("X", "x"));   // folded alike: their own bytes decide
    EXPECT_FALSE(NameLess("x", "X"));
    EXPECT_EQ(FoldNameCase("ärger"), "ÄRGER");
    EXPECT_EQ(FoldNameCase("ёжик"), "ЁЖИК");
    EXPECT_EQ(FoldNameCase("σς"), "ΣΣ");
    EXPECT_EQ(FoldNameCase("\xFF\xFE"), "\xFF\xFE");  // malformed bytes stay
    EXPECT_TRUE(NameLess("яблоко", "ЯЩИК"));
}

TEST(StoredName, ByMode) {
    struct Case {
        const char* path;
        TBraskStorePathMode mode;
        const char* name;
    };
    const Case cases[] = {
        {"/base/cfg.dat", spRelativePath, "cfg.dat"},
        {"/base/META-INF/", spRelativePath, "META-INF"},  // RegisterEntry appends the '/'
        {"/base/META-INF/MANIFEST.MF", spRelativePath, "META-INF/MANIFEST.MF"},
        {"sub/x.txt", spRelativePath, "sub/x.txt"},  // relative to the base
        {"/base/./sub/../MiXeD.Txt", spRelativePath, "MiXeD.Txt"},
        {"/elsewhere/y.txt", spRelativePath, "elsewhere/y.txt"},  // outside: the full path
        {"/base/sub/x.txt", spNoPath, "x.txt"},
        {"/base/sub/x.txt", spFullPath, "base/sub/x.txt"},
        {"/base/sub/x.txt", spFullPathWithDrive, "base/sub/x.txt"},
        {"/base/back\\slash.txt", spRelativePath, "back/slash.txt"},
        {"/base/a:b.txt", spRelativePath, "a:b.txt"},  // no drives here
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeStoredName(c.path, "/base", c.mode), c.name) << c.path << " " << c.mode;
    }
}

TEST(ExpandMask, Forms) {
    struct Case {
        const char* mask;
        const char* full;
        bool relative;
    };
    const Case cases[] = {
        {"", "", false},
        {"/", "/base", false},
        {"//server/share/*.*", "//server/share/*.*", false},
        {"/abs/*.txt", "/abs/*.txt", false},
        {"../other/*.*", "../other/*.*", false},
        {"*.*", "/base/*.*", true},
        {"META-INF/*", "/base/META-INF/*", true},
    };
    for (const Case& c : cases) {
        const ExpandedMask x = ExpandMask(c.mask, "/base");
        EXPECT_EQ(x.full, c.full) << c.mask;
        EXPECT_EQ(x.relative, c.relative) << c.mask;
    }
    EXPECT_EQ(ExpandMask("*.*", "/").full, "/*.*");
}

TEST(Exclusion, Masks) {
    struct Case {
        const char* path;
        const char* mask;
        bool folder;
        bool excluded;
    };
    const Case cases[] = {
        {"/base/x.txt", "*.*", false, true},
        {"/base/x.txt", "", false, false},
        {"/base/x.bak", "*.bak", false, true},
        {"/base/deep/x.BAK", "*.bak", false, true},  // a bare mask looks at the name only
        {"/base/x.txt", "*.bak", false, false},
        {"/base/sub/abc", "sub/a*", false, true},
        {"/base/other/abc", "sub/a*", false, false},
        {"/base/temp", "temp", true, true},  // a folder mask
        {"/base/temp2", "temp", true, false},
        {"/base/temp", "temp", false, true},  // a file of that name too
        {"/base/temp.txt", "temp", false, false},
        {"/base/sub/x.txt", "/base/sub/x.txt", false, true},
        {"/base/SUB/X.TXT", "/base/sub/x.txt", false, true},  // case-insensitive, as masks are
        {"/base/sub/y.txt", "/base/sub/x.txt", false, false},
        {"/base/sub/deep/z.txt", "/base/sub/*.*", false, true},  // the whole tree
        {"/base/other/z.txt", "/base/sub/*.*", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesExclusion(c.path, c.mask, c.folder, "/base"), c.excluded)
            << c.path << " / " << c.mask;
    }
}

TEST(Paths, RelativeAndFull) {
    EXPECT_EQ(RelativePath("/a/b/", "/a/b/c/d.txt"), "c/d.txt");
    EXPECT_EQ(RelativePath("/a/b/", "/a/x.txt"), "../x.txt");
    EXPECT_EQ(RelativePath("/a/b/", "rel.txt"), "rel.txt");
    EXPECT_EQ(FullPath("x/../y/./z", "/cur"), "/cur/y/z");
    EXPECT_EQ(FullPath("/a//b/", "/cur"), "/a/b/");
    EXPECT_EQ(FullPath("../../..", "/a"), "/");
    EXPECT_EQ(NormalizeMaskSeparators("META-INF\\*.MF"), "META-INF/*.MF");
}

TEST(Attributes, PortableMapping) {
    EXPECT_EQ(FileAttributesFor(true, true, ".git"), 0x10);
    EXPECT_EQ(FileAttributesFor(false, true, "a.txt"), 0x20);
    EXPECT_EQ(FileAttributesFor(false, false, "a.txt"), 0x21);
    EXPECT_EQ(FileAttributesFor(false, true, ".profile"), 0x22);
    EXPECT_EQ(FileAttributesFor(false, false, ".profile"), 0x23);
}

TEST(DosTime, RangeOfTheFormat) {
    const DosDateTime early = DosDateTimeFromUnix(0);  // 1970: before the format begins
    EXPECT_EQ(early.date, (0 << 9) | (1 << 5) | 1);
    EXPECT_EQ(early.time, 0);
    std::tm tm{};
    tm.tm_year = 2200 - 1900;
    tm.tm_mon = 0;
    tm.tm_mday = 1;
    tm.tm_isdst = -1;
    const DosDateTime late = DosDateTimeFromUnix(std::mktime(&tm));
    EXPECT_EQ(late.date, (127 << 9) | (12 << 5) | 31);
    EXPECT_EQ(late.time, (23 << 11) | (59 << 5) | 29);
}

using Collection = ArchiveFixture;

TEST_F(Collection, AttributesReachTheArchive) {
    Put("plain.txt", "p");
    Put("locked.txt", "l");
    Put(".dot", "d");
    MakeFolder(".folder");
    ASSERT_EQ(::chmod(Path("locked.txt").c_str(), 0444), 0);
    const ZipArchive zip = Pack();
    EXPECT_EQ(Find(zip, "plain.txt")->central.external, 0x20u);
    EXPECT_EQ(Find(zip, "locked.txt")->central.external, 0x21u);
    EXPECT_EQ(Find(zip, ".dot")->central.external, 0x22u);
    EXPECT_EQ(Find(zip, ".folder/")->central.external, 0x10u);
}

TEST_F(Collection, EverySubfolderIsAddedAndEnteredEvenWithoutRecurse) {
    Put("a", "no dot");
    MakeFolder("empty");
    Put("nodot/inner", "i");
    const ZipArchive zip = Pack([](TBrask& jar) { jar.Options().Recurse = false; });
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"a", "empty/", "nodot/", "nodot/inner"}));
}

TEST_F(Collection, AttributeSetAndMaskDecideWhatIsTaken) {
    Put("a.txt", "a");
    Put(".hidden.txt", "h");
    Put("b.png", "b");
    Put("sub/c.txt", "c");
    Put("sub/d.png", "d");
    auto names = [&](const std::string& mask, std::uint16_t attributes, bool recurse) {
        TBrask jar("brask");
        jar.SetFileName(Jar());
        jar.Options().Recurse = recurse;
        jar.Open(kCreateMode);
        jar.SetBaseDir(Src());
        jar.AddFromBaseDir(mask, attributes);
        jar.Close();
        return Names(ParseZip(ReadBytes(Jar())));
    };
    using V = std::vector<std::string>;
    // Without the hidden bit, dot files stay out; without the folder bit no
    // folder entries are made, and recursion alone enters subfolders.
    EXPECT_EQ(names("*.*", kAttrArchive, false), (V{"a.txt", "b.png"}));
    EXPECT_EQ(names("*.*", kAttrArchive, true), (V{"a.txt", "b.png", "sub/c.txt", "sub/d.png"}));
    EXPECT_EQ(names("*.*", kAttrArchive | kAttrHidden, false), (V{".hidden.txt", "a.txt", "b.png"}));
    // A mask that no folder matches still finds files below with recursion.
    EXPECT_EQ(names("*.txt", kDefaultSearchAttr, true), (V{".hidden.txt", "a.txt", "sub/c.txt"}));
    // A folder the mask matches is taken whole.
    EXPECT_EQ(names("s*", kDefaultSearchAttr, false), (V{"sub/", "sub/c.txt", "sub/d.png"}));
    EXPECT_EQ(names("sub/*.png", kDefaultSearchAttr, true), (V{"sub/d.png"}));
    EXPECT_EQ(names("", kDefaultSearchAttr, true), V{});
}

TEST_F(Collection, ExclusionMasksLeaveItemsAndTreesOut) {
    Put("keep.txt", "k");
    Put("old.bak", "o");
    Put("temp/t.txt", "t");
    Put("temp/deeper/u.txt", "u");
    TBrask jar("brask");
    jar.SetFileName(Jar());
    jar.Open(kCreateMode);
    jar.SetBaseDir(Src());
    jar.ExclusionMasks = {"temp"};
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr, "*.bak");
    jar.Close();
    EXPECT_EQ(Names(ParseZip(ReadBytes(Jar()))), (std::vector<std::string>{"keep.txt"}));
}

TEST_F(Collection, LinksPipesAndLoopsAreLeftOut) {
    Put("real/file.txt", "content");
    ASSERT_EQ(::symlink(Path("real/file.txt").c_str(), Path("link.txt").c_str()), 0);
    ASSERT_EQ(::symlink(Src().c_str(), Path("real/loop").c_str()), 0);  // back up the tree
    ASSERT_EQ(::symlink("/", Path("root").c_str()), 0);
    ASSERT_EQ(::symlink("/etc/passwd", Path("passwd").c_str()), 0);
    ASSERT_EQ(::symlink(Path("gone").c_str(), Path("dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
    EXPECT_EQ(Names(Pack()), (std::vector<std::string>{"real/", "real/file.txt"}));
}

TEST_F(Collection, NonAsciiNamesAreUtf8AndFlaggedSo) {
    Put("кот.txt", "мяу");
    Put("\xE9t\xE9.txt", "a Latin-1 name: not UTF-8, so not flagged as such");
    const ZipArchive zip = Pack();
    ASSERT_EQ(Names(zip), (std::vector<std::string>{"кот.txt", "\xE9t\xE9.txt"}));
    EXPECT_EQ(zip.entries[0].local.flags, 0x800);
    EXPECT_EQ(zip.entries[0].central.flags, 0x800);
    EXPECT_EQ(zip.entries[1].central.flags, 0);
}

TEST_F(Collection, CurrentFolderIsNeitherUsedNorChanged) {
    Put("a.txt", "a");
    const auto before = std::filesystem::current_path();
    {
        TBrask closed("brask");
        EXPECT_THROW(closed.AddFromBaseDir("*.*", kDefaultSearchAttr), EBraskException);
        EXPECT_EQ(std::filesystem::current_path(), before);
    }
    Pack();
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(Collection, RelativeAndEmptyBaseDirAreTakenFromTheCurrentFolder) {
    Put("sub/a.txt", "a");
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(Src());
    for (const std::string base : {"sub", ""}) {
        TBrask jar("brask");
        jar.SetFileName(dir_ / "rel.jar");
        jar.Open(kCreateMode);
        jar.SetBaseDir(base);
        jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
        jar.Close();
        const ZipArchive zip = ParseZip(ReadBytes(dir_ / "rel.jar"));
        EXPECT_EQ(Names(zip), base.empty() ? (std::vector<std::string>{"sub/", "sub/a.txt"})
                                           : (std::vector<std::string>{"a.txt"}));
    }
    std::filesystem::current_path(before);
}

}  // namespace
}  // namespace grix::test
