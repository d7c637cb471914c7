#include "core/file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/fault_ops.h"
#include "support/test_support.h"

namespace grix {
namespace {

using test::TempDir;

TEST(File, WriteReadSeekTruncate) {
    TempDir dir;
    const std::string path = dir / "a.bin";
    File file = File::Open(path, OpenMode::CreateReadWrite);
    file.WriteAll("hello world", 11);
    EXPECT_EQ(file.Size(), 11);
    EXPECT_EQ(file.Position(), 11);
    file.Seek(6);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
    EXPECT_EQ(std::string(buffer, 5), "world");
    file.Truncate(5);
    EXPECT_EQ(file.Size(), 5);
    file.Sync();
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(test::ReadBytes(path), (std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}));
}

TEST(File, CreateTruncatesAnExistingFile) {
    TempDir dir;
    const std::string path = dir / "b.bin";
    test::WriteText(path, "old content");
    WriteWholeFile(path, std::string("new"));
    EXPECT_EQ(test::ReadBytes(path).size(), 3u);
}

TEST(File, OpenFailuresCarryTheRuntimeMessage) {
    TempDir dir;
    EXPECT_THROW_MSG(File::Open(dir / "missing", OpenMode::Read), EFileError, "File not found");
    EXPECT_THROW_MSG(File::Open(dir / "no/such/folder/x", OpenMode::CreateTruncate), EFileError,
                     "File not found");
    EXPECT_THROW_MSG(File::Open(dir.path().string(), OpenMode::Read), EFileError,
                     "File access denied");
    EXPECT_THROW_MSG(File::Open("", OpenMode::Read), EFileError, "File not found");
    int err = 0;
    File file = File::TryOpen(dir / "missing", OpenMode::Read, err);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(err, ENOENT);
}


TEST(File, AFullDiskIsReportedAsDiskFull) {
    TempDir dir;
    test::FullDisk disk(4);
    ScopedFileOps scoped(disk);
    File file = File::Open(dir / "c.bin", OpenMode::CreateTruncate);
    EXPECT_EQ(file.WriteSome("abcdefgh", 8), 4u);
    EXPECT_THROW_MSG(file.WriteAll("x", 1), EFileError, "Disk full");
}

}  // namespace
}  // namespace grix
