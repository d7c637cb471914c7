// Record encoders, the entry list's growth and archives past the 16-bit
// entry count.
#include "archive/archive_fixture.h"
#include "archive/entry_list.h"
#include "archive/zip_records.h"

namespace grix::test {
namespace {

TEST(Records, EndRecordMarkersAndZip64Need) {
    const EndRecord small = MakeEndRecord(3, 150, 1000);
    EXPECT_EQ(small.total_entries, 3);
    EXPECT_EQ(small.central_directory_size, 150u);
    EXPECT_EQ(small.central_directory_offset, 1000u);
    EXPECT_FALSE(NeedsZip64EndRecord(65534, 150, 1000));

    const EndRecord many = MakeEndRecord(65535, 150, 0x1'0000'0000ULL);
    EXPECT_EQ(many.entries_on_disk, 0xFFFF);
    EXPECT_EQ(many.total_entries, 0xFFFF);
    EXPECT_EQ(many.central_directory_offset, 0xFFFFFFFFu);
    EXPECT_TRUE(NeedsZip64EndRecord(65535, 150, 1000));
    EXPECT_TRUE(NeedsZip64EndRecord(3, 150, 0xFFFFFFFFULL));
    EXPECT_TRUE(NeedsZip64EndRecord(3, 100, 0xFFFFFFFFULL - 50));  // ends beyond 4 GiB

    std::vector<std::uint8_t> bytes;
    AppendZip64EndRecord(bytes, {0, 0, 70000, 70000, 5, 0x1'0000'0000ULL});
    ASSERT_EQ(bytes.size(), kZip64EndRecordSize);
    EXPECT_EQ(Get32(bytes, 0), 0x06064B50u);
    EXPECT_EQ(Get32(bytes, 4), 44u);  // the record's size after this field
    EXPECT_EQ(Get16(bytes, 12), 45);
    EXPECT_EQ(Get16(bytes, 14), 45);
    EXPECT_EQ(Get32(bytes, 24), 70000u);
    EXPECT_EQ(Get32(bytes, 52), 1u);  // high half of the offset
}

TEST(Records, EntryListGrowsInDoublingStepsUpTo10000) {
    TBraskDirArray list;
    std::vector<std::size_t> capacities;
    for (int i = 0; i < 40000; ++i) {
        list.Add(TBraskDirItem{});
        if (capacities.empty() || capacities.back() != list.Capacity()) {
            capacities.push_back(list.Capacity());
        }
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t>{1000, 3000, 7000, 15000, 25000, 35000, 45000}));
    list.SetCount(0);
    EXPECT_EQ(list.Capacity(), 0u);
}

TEST(Records, NameLookupFollowsEveryChange) {
    TBraskDirArray list;
    for (const char* name : {"a", "b", "c"}) {
        TBraskDirItem item;
        item.stored_name = name;
        list.Add(item);
    }
    EXPECT_EQ(list.IndexOfName("c"), 2);
    list.Delete(0);
    EXPECT_EQ(list.IndexOfName("c"), 1);
    EXPECT_EQ(list.IndexOfName("a"), -1);
    TBraskDirItem renamed;
    renamed.stored_name = "z";
    list.Put(0, renamed);
    EXPECT_EQ(list.IndexOfName("z"), 0);
    EXPECT_EQ(list.IndexOfName("b"), -1);
}

using ManyEntries = ArchiveFixture;

TEST_F(ManyEntries, MoreThan65534EntriesGetAZip64EndRecord) {
    if (!kHostTools) GTEST_SKIP() << "reads the archive with python3";
    constexpr int kCount = 65536;
    Put("e", "");
    TBrask jar("brask");
    jar.SetFileName(Jar());
    jar.Options().FlushBuffers = false;
    jar.Open(kCreateMode);
    jar.BeginUpdate();
    for (int i = 0; i < kCount; ++i) jar.RegisterEntry(Path("e"), "f" + std::to_string(i));
    jar.EndUpdate();
    jar.Close();
    const auto bytes = ReadBytes(Jar());
    const std::size_t end = bytes.size() - 22;
    EXPECT_EQ(Get16(bytes, end + 10), 0xFFFF);
    EXPECT_EQ(Get32(bytes, end - 20), 0x07064B50u);  // the locator
    std::string out, err;
    ASSERT_EQ(RunCommand("/usr/bin/python3 -c " +
                             ShellQuote("import sys, zipfile\n"
                                        "z = zipfile.ZipFile(sys.argv[1])\n"
                                        "n = z.namelist()\n"
                                        "print(len(n), n[0], n[-1])") +
                             " " + ShellQuote(Jar()),
                         &out, &err),
              0)
        << err;
    EXPECT_EQ(out, "65536 f0 f65535\n");
}

}  // namespace
}  // namespace grix::test
