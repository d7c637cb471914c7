// The bytes of the archives: record layout, entry order, how each kind of
// entry is stored and how the raw deflate data is cut.
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>

#include "archive/archive_fixture.h"
#include "core/paths.h"
#include "core/platform.h"

namespace grix::test {
namespace {

using Layout = ArchiveFixture;

void SetLocalMtime(const std::string& path, int year, int month, int day, int hour, int minute,
                   int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    std::error_code ec;
    std::filesystem::last_write_time(
        NativePath(path),
        std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(t)), ec);
    ASSERT_FALSE(ec) << ec.message();
}

std::vector<std::uint8_t> ZlibRawDeflate(const std::vector<std::uint8_t>& data, int level) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level), Z_OK);
    // compress2 writes the zlib wrapper: 2 header bytes, 4 trailer bytes.
    return {out.begin() + 2, out.begin() + static_cast<long>(size) - 4};
}

// Both headers of an entry that holds no data: stored, CRC 0 and sizes 0.
void ExpectStoredWithoutData(const ZipEntry& e) {
    EXPECT_EQ(e.local.method, 0);
    EXPECT_EQ(e.central.method, 0);
    EXPECT_EQ(e.local.crc32, 0u);
    EXPECT_EQ(e.central.crc32, 0u);
    EXPECT_EQ(e.local.compressed, 0u);
    EXPECT_EQ(e.local.uncompressed, 0u);
    EXPECT_EQ(e.central.compressed, 0u);
    EXPECT_EQ(e.central.uncompressed, 0u);
}

TEST_F(Layout, FileEntryRecordsByteForByte) {
    const std::string text = "Manifest-Version: 1.0\nMIDlet-Name: Cats\n";
    Put("a.txt", text);
    SetLocalMtime(Path("a.txt"), 2021, 6, 15, 10, 20, 31);
    const std::vector<std::uint8_t> bytes = [&] {
        Pack();
        return ReadBytes(Jar());
    }();
    const std::vector<std::uint8_t> expected_data = ZlibRawDeflate(Bytes(text), 9);
    const std::uint32_t crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
    const std::uint16_t dos_time = (10 << 11) | (20 << 5) | 15;  // seconds halved, rounded down
    const std::uint16_t dos_date = ((2021 - 1980) << 9) | (6 << 5) | 15;

    ASSERT_EQ(bytes.size(), 30 + 5 + expected_data.size() + 46 + 5 + 22);
    // Local header.
    EXPECT_EQ(Get32(bytes, 0), 0x04034B50u);
    EXPECT_EQ(Get16(bytes, 4), 0x0B14);
    EXPECT_EQ(Get16(bytes, 6), 0);
    EXPECT_EQ(Get16(bytes, 8), 8);
    EXPECT_EQ(Get16(bytes, 10), dos_time);
    EXPECT_EQ(Get16(bytes, 12), dos_date);
    EXPECT_EQ(Get32(bytes, 14), crc);
    EXPECT_EQ(Get32(bytes, 18), expected_data.size());
    EXPECT_EQ(Get32(bytes, 22), text.size());
    EXPECT_EQ(Get16(bytes, 26), 5);
    EXPECT_EQ(Get16(bytes, 28), 0);
    EXPECT_EQ(std::string(bytes.begin() + 30, bytes.begin() + 35), "a.txt");
    EXPECT_TRUE(std::equal(expected_data.begin(), expected_data.end(), bytes.begin() + 35));
    // Central header.
    const std::size_t c = 35 + expected_data.size();
    EXPECT_EQ(Get32(bytes, c), 0x02014B50u);
    EXPECT_EQ(Get16(bytes, c + 4), 0x0B14);
    EXPECT_EQ(Get16(bytes, c + 6), 0x0B14);
    EXPECT_EQ(Get16(bytes, c + 8), 0);
    EXPECT_EQ(Get16(bytes, c + 10), 8);
    EXPECT_EQ(Get16(bytes, c + 12), dos_time);
    EXPECT_EQ(Get16(bytes, c + 14), dos_date);
    EXPECT_EQ(Get32(bytes, c + 16), crc);
    EXPECT_EQ(Get32(bytes, c + 20), expected_data.size());
    EXPECT_EQ(Get32(bytes, c + 24), text.size());
    EXPECT_EQ(Get16(bytes, c + 28), 5);
    for (std::size_t field : {30, 32, 34, 36}) EXPECT_EQ(Get16(bytes, c + field), 0) << field;
    EXPECT_EQ(Get32(bytes, c + 38), 0x20u);
    EXPECT_EQ(Get32(bytes, c + 42), 0u);
    EXPECT_EQ(std::string(bytes.begin() + static_cast<long>(c) + 46, bytes.begin() + static_cast<long>(c) + 51),
              "a.txt");
    // End record.
    const std::size_t e = c + 51;
    EXPECT_EQ(Get32(bytes, e), 0x06054B50u);
    EXPECT_EQ(Get16(bytes, e + 4), 0);
    EXPECT_EQ(Get16(bytes, e + 6), 0);
    EXPECT_EQ(Get16(bytes, e + 8), 1);
    EXPECT_EQ(Get16(bytes, e + 10), 1);
    EXPECT_EQ(Get32(bytes, e + 12), 51u);
    EXPECT_EQ(Get32(bytes, e + 16), c);
    EXPECT_EQ(Get16(bytes, e + 20), 0);
}

TEST_F(Layout, OemFileNamesSelectsTheVersionFields) {
    Put("x.txt", "x");
    MakeFolder("F");
    for (const bool oem : {false, true}) {
        const ZipArchive zip = Pack([oem](TBrask& jar) { jar.Options().OEMFileNames = oem; });
        const std::uint16_t want = oem ? 20 : 0x0B14;
        ASSERT_EQ(zip.entries.size(), 2u);
        for (const ZipEntry& e : zip.entries) {
            EXPECT_EQ(e.local.version, want) << e.name;
            EXPECT_EQ(e.central.made_by, want) << e.name;
            EXPECT_EQ(e.central.version, want) << e.name;
        }
    }
}

TEST_F(Layout, FolderEntryFields) {
    Put("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n");
    const std::time_t before = std::time(nullptr);
    const ZipArchive zip = Pack();
    const std::time_t after = std::time(nullptr);
    ASSERT_EQ(Names(zip), (std::vector<std::string>{"META-INF/", "META-INF/MANIFEST.MF"}));
    const ZipEntry& folder = zip.entries[0];
    ExpectStoredWithoutData(folder);
    EXPECT_EQ(folder.central.external, 0x10u);
    EXPECT_EQ(folder.central.flags, 2);
    EXPECT_EQ(folder.local.flags, 0);
    EXPECT_TRUE(folder.data.empty());
    // The folder carries the time it was registered.
    auto dos = [](std::time_t t) {
        std::tm tm{};
        (void)platform::LocalTime(t, tm);
        return (std::uint32_t((tm.tm_year - 80) << 9 | (tm.tm_mon + 1) << 5 | tm.tm_mday) << 16) |
               std::uint32_t(tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
    };
    const std::uint32_t stamp = (std::uint32_t{folder.central.date} << 16) | folder.central.time;
    EXPECT_GE(stamp, dos(before));
    EXPECT_LE(stamp, dos(after));
    EXPECT_EQ(folder.local.time, folder.central.time);
    EXPECT_EQ(folder.local.date, folder.central.date);
}

TEST_F(Layout, EntryOrderFilesFirstThenEachFolderWithItsContents) {
    Put("b.txt", "b");
    Put("A.txt", "a");
    Put("c", "no dot");
    Put("_under", "underscore sorts after letters once they are upper-cased");
    Put("zeta/inner.txt", "i");
    Put("zeta/Deep/d.txt", "d");
    Put("Alpha/x.txt", "x");
    Put("Alpha/.hidden", "h");
    MakeFolder("Alpha/empty");
    Put("x", "lower");
    // Windows' names ignore case: "X" would be "x" again there.
    if (!kWindows) Put("X", "upper, a separate file on this file system");
    std::vector<std::string> expected = {"A.txt", "b.txt", "c", "X", "x", "_under",
                                         "Alpha/", "Alpha/.hidden",
                                         "Alpha/x.txt", "Alpha/empty/",
                                         "zeta/", "zeta/inner.txt", "zeta/Deep/", "zeta/Deep/d.txt"};
    if (kWindows) expected.erase(expected.begin() + 3);
    const ZipArchive zip = Pack();
    EXPECT_EQ(Names(zip), expected);
}

TEST_F(Layout, EmptyFileIsStored) {
    Put("empty.bin", "");
    const ZipArchive zip = Pack();
    ASSERT_EQ(zip.entries.size(), 1u);
    const ZipEntry& e = zip.entries[0];
    ExpectStoredWithoutData(e);
    EXPECT_EQ(e.local.flags, 0);
    EXPECT_EQ(e.central.flags, 0);
}

TEST_F(Layout, IncompressibleFileIsStillDeflated) {
    const auto noise = SampleBytes(20000, false);
    Put("noise.png", noise);
    const ZipArchive zip = Pack();
    const ZipEntry& e = zip.entries.at(0);
    EXPECT_EQ(e.central.method, 8);
    EXPECT_GT(e.central.compressed, e.central.uncompressed);
    EXPECT_EQ(EntryContent(e), noise);
}

TEST_F(Layout, SmallFileIsOneFinishingDeflateCallWithoutWrapper) {
    // Exactly one chunk at level 9: zlib's own single-call output, less its wrapper.
    const auto data = SampleBytes(1572864, true);
    Put("one.dat", data);
    const ZipArchive zip = Pack();
    const ZipEntry& e = zip.entries.at(0);
    EXPECT_EQ(e.data, ZlibRawDeflate(data, 9));
    EXPECT_EQ(e.central.crc32, crc32(0, data.data(), static_cast<uInt>(data.size())));
}

TEST_F(Layout, LargeFileIsDeflatedInChunksFormingOneStream) {
    constexpr std::size_t kChunk = 1572864;
    const auto data = SampleBytes(2 * kChunk + 12345, true);
    Put("big.dat", data);
    const ZipArchive zip = Pack();
    const ZipEntry& e = zip.entries.at(0);
    ASSERT_EQ(e.central.method, 8);
    EXPECT_EQ(e.central.uncompressed, data.size());
    EXPECT_EQ(e.central.compressed, e.data.size());
    EXPECT_EQ(InflateRaw(e.data), data);

    // Each chunk but the last ends in a sync flush (an empty stored block,
    // 00 00 FF FF): inflating up to such a marker yields whole chunks.
    std::vector<std::size_t> boundaries;
    for (std::size_t i = 0; i + 4 <= e.data.size(); ++i) {
        if (e.data[i] != 0 || e.data[i + 1] != 0 || e.data[i + 2] != 0xFF || e.data[i + 3] != 0xFF) {
            continue;
        }
        z_stream s{};
        ASSERT_EQ(inflateInit2(&s, -MAX_WBITS), Z_OK);
        std::vector<std::uint8_t> out(data.size());
        s.next_in = const_cast<Bytef*>(e.data.data());
        s.avail_in = static_cast<uInt>(i + 4);
        s.next_out = out.data();
        s.avail_out = static_cast<uInt>(out.size());
        inflate(&s, Z_SYNC_FLUSH);
        boundaries.push_back(s.total_out);
        inflateEnd(&s);
    }
    EXPECT_NE(std::find(boundaries.begin(), boundaries.end(), kChunk), boundaries.end());
    EXPECT_NE(std::find(boundaries.begin(), boundaries.end(), 2 * kChunk), boundaries.end());
}

TEST_F(Layout, CompressionModeZeroStoresEveryFile) {
    const auto data = SampleBytes(5000, true);
    Put("t.txt", data);
    const ZipArchive zip = Pack([](TBrask& jar) { jar.SetCompressionMode(0); });
    const ZipEntry& e = zip.entries.at(0);
    EXPECT_EQ(e.central.method, 0);
    EXPECT_EQ(e.local.method, 0);
    EXPECT_EQ(e.data, data);
    EXPECT_EQ(e.central.crc32, crc32(0, data.data(), static_cast<uInt>(data.size())));
}

TEST_F(Layout, NoCompressionMasksStoreMatchingFiles) {
    Put("icon.png", SampleBytes(3000, true));
    Put("cfg.dat", SampleBytes(3000, true));
    const ZipArchive zip = Pack([](TBrask& jar) { jar.NoCompressionMasks = {"*.PNG"}; });
    EXPECT_EQ(Find(zip, "icon.png")->central.method, 0);
    EXPECT_EQ(Find(zip, "cfg.dat")->central.method, 8);
}

TEST_F(Layout, EmptyBaseFolderGivesTheEmptyArchive) {
    Pack();
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
}

TEST_F(Layout, CloseRightAfterOpenLeavesTheEmptyArchive) {
    TBrask jar("brask");
    jar.SetFileName(Jar());
    jar.Open(kCreateMode);
    jar.Close();
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
}

TEST_F(Layout, OpenReplacesAnExistingArchiveAtOnce) {
    WriteText(Jar(), std::string(5000, 'J'));
    TBrask jar("brask");
    jar.SetFileName(Jar());
    jar.Open(kCreateMode);
    EXPECT_EQ(std::filesystem::file_size(Jar()), 0u);
    jar.Close();
    EXPECT_EQ(ReadBytes(Jar()), EmptyArchiveBytes());
}

TEST_F(Layout, ArchiveInsideItsBaseFolderIsLeftOut) {
    if (kWindows) GTEST_SKIP() << "names that differ in case only are one file there";
    Put("a.txt", "a");
    Put("SELF.JAR", "a different file whose name differs only in case");
    TBrask jar("brask");
    jar.SetFileName(Path("self.jar"));
    jar.Open(kCreateMode);
    jar.SetBaseDir(Src());
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    jar.Close();
    const ZipArchive zip = ParseZip(ReadBytes(Path("self.jar")));
    ASSERT_TRUE(zip.ok) << zip.error;
    EXPECT_EQ(Names(zip), (std::vector<std::string>{"a.txt", "SELF.JAR"}));
}

TEST_F(Layout, ZipAlwaysWritesZip64FieldsReadersAccept) {
    Put("a.txt", SampleBytes(4000, true));
    Put("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n");
    TBrask jar("brask");
    jar.SetFileName(Jar());
    jar.SetZip64Mode(zmAlways);
    jar.Open(kCreateMode);
    jar.SetBaseDir(Src());
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    jar.Close();
    const auto bytes = ReadBytes(Jar());
    EXPECT_EQ(Get16(bytes, 4), 45);    // version needed
    EXPECT_EQ(Get32(bytes, 18), 0xFFFFFFFFu);
    EXPECT_EQ(Get16(bytes, 28), 20);   // the extra field with both sizes
    if (!kHostTools) return;  // the rest asks unzip and Python's zipfile
    std::string out;
    EXPECT_EQ(RunCommand("unzip -tq " + ShellQuote(Jar()), &out), 0) << out;
    EXPECT_EQ(RunCommand("/usr/bin/python3 -c " +
                             ShellQuote("import sys, zipfile\n"
                                        "z = zipfile.ZipFile(sys.argv[1])\n"
                                        "assert z.testzip() is None\n"
                                        "print(' '.join(z.namelist()))") +
                             " " + ShellQuote(Jar()),
                         &out),
              0);
    EXPECT_EQ(out, "a.txt META-INF/ META-INF/MANIFEST.MF\n");
}

}  // namespace
}  // namespace grix::test
