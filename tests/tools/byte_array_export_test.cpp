#include "tools/byte_array_export.h"

#include <gtest/gtest.h>

#include <numeric>

#include "core/errors.h"
#include "core/file_error.h"
#include "support/fault_ops.h"
#include "support/test_support.h"

namespace grix {
namespace {

using test::TempDir;

std::string Export(const std::vector<std::uint8_t>& bytes) {
    return ByteArrayDeclaration(bytes.data(), bytes.size());
}

TEST(ByteArrayExport, LayoutOfSmallInputs) {
    EXPECT_EQ(Export({0x41, 0x41, 0x41}),
              "  array [1..3] of byte = (  $41,$40,$43\r\n);\r\n");
    EXPECT_EQ(Export({}), "  array [1..0] of byte = ();\r\n");
}

TEST(ByteArrayExport, TwentyElementsALineCommaBeforeEveryLaterElement) {
    const std::vector<std::uint8_t> zeros(25, 0);
    const std::string text = Export(zeros);
    // Zero bytes scramble to their own position: $00,$01,...
    std::string first = "  $00";
    for (int k = 1; k < 20; ++k) {
        char e[8];
        std::snprintf(e, sizeof e, ",$%02X", k);
        first += e;
    }
    const std::string second = "  ,$14,$15,$16,$17,$18";
    EXPECT_EQ(text, "  array [1..25] of byte = (" + first + "\r\n" + second + "\r\n);\r\n");
}

TEST(ByteArrayExport, CounterWrapsEvery256Bytes) {
    std::vector<std::uint8_t> bytes(300, 0xFF);
    std::vector<std::uint8_t> scrambled = bytes;
    ScrambleBytes(scrambled.data(), scrambled.size());
    EXPECT_EQ(scrambled[0], 0xFF);
    EXPECT_EQ(scrambled[255], 0x00);
    EXPECT_EQ(scrambled[256], 0xFF);  // byte 256 is exclusive-ored with 0 again
    EXPECT_EQ(scrambled[257], 0xFE);
    // The parse gives back exactly what the export wrote, and the rule undoes itself.
    std::vector<std::uint8_t> parsed = ParseByteArrayDeclaration(Export(bytes));
    EXPECT_EQ(parsed, scrambled);
    ScrambleBytes(parsed.data(), parsed.size());
    EXPECT_EQ(parsed, bytes);
}

TEST(ByteArrayExport, FileExportMatchesTheTextAcrossBlockBoundaries) {
    TempDir dir;
    // Larger than one read block, not a multiple of 20.
    std::vector<std::uint8_t> bytes(20 * 4096 * 2 + 7);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{3});
    const std::string input = dir / "logo.png";
    test::WriteBytes(input, bytes);
    EXPECT_EQ(ExportByteArray(input), input + ".imp");
    const std::vector<std::uint8_t> written = test::ReadBytes(input + ".imp");
    EXPECT_EQ(std::string(written.begin(), written.end()), Export(bytes));
}

TEST(ByteArrayExport, MissingInputLeavesNothingBehind) {
    TempDir dir;
    EXPECT_THROW_MSG(ExportByteArray(dir / "none.bin"), EFOpenError,
                     "Cannot open file \"" + (dir / "none.bin") + "\". File not found");
    EXPECT_FALSE(std::filesystem::exists(dir / "none.bin.imp"));
}

TEST(ByteArrayExport, AFailedExportKeepsTheEarlierOutput) {
    TempDir dir;
    const std::string input = dir / "a.bin";
    test::WriteBytes(input, {1, 2, 3});
    test::WriteText(input + ".imp", "earlier");
    test::FullDisk disk(10);
    {
        ScopedFileOps scoped(disk);
        EXPECT_THROW_MSG(ExportByteArray(input), EFCreateError,
                         "Cannot create file \"" + input + ".imp\". Disk full");
    }
    const auto kept = test::ReadBytes(input + ".imp");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(ByteArrayExport, ParseRefusesWhatIsNotADeclaration) {
    const char* bad[] = {
        "",
        "array [1..1] of byte = ($00);",
        "  array [1..2] of byte = (  $00\r\n);\r\n",      // fewer than declared
        "  array [1..1] of byte = (  $00,$01\r\n);\r\n",  // more than declared
        "  array [1..1] of byte = (  $0G\r\n);\r\n",
        "  array [1..2] of byte = (  $00$01\r\n);\r\n",
        "  array [1..1] of byte = (  $00\r\n",
    };
    for (const char* text : bad) {
        EXPECT_THROW(ParseByteArrayDeclaration(text), Error) << text;
    }
}

TEST(ByteArrayExport, CliWritesTheImpFile) {
    TempDir dir;
    const std::string input = dir / "x.bin";
    test::WriteBytes(input, {0x41, 0x41, 0x41});
    std::string out, err;
    EXPECT_EQ(test::RunCommand(std::string(GRIX_CLI_PATH) + " hex " + test::ShellQuote(input), &out, &err), 0);
    const auto written = test::ReadBytes(input + ".imp");
    EXPECT_EQ(std::string(written.begin(), written.end()),
              "  array [1..3] of byte = (  $41,$40,$43\r\n);\r\n");
    EXPECT_EQ(test::RunCommand(std::string(GRIX_CLI_PATH) + " hex " + test::ShellQuote(dir / "nope"), &out, &err), 1);
    EXPECT_EQ(err, "Cannot open file \"" + (dir / "nope") + "\". File not found\n");
}

}  // namespace
}  // namespace grix
