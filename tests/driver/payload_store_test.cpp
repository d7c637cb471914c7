#include "builder/payload_store.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/errors.h"
#include "core/file.h"
#include "payload/payload.h"
#include "support/fault_ops.h"
#include "support/test_support.h"
#include "tools/byte_array_export.h"

namespace grix {
namespace {

using test::TempDir;

TEST(PayloadStore, UnscramblesWithAWrappingCounter) {
    TempDir dir;
    std::vector<std::uint8_t> array(260);
    for (std::size_t k = 0; k < array.size(); ++k) array[k] = static_cast<std::uint8_t>(k & 0xFF);
    std::vector<std::string> lines;
    WritePayloadFile(array.data(), array.size(), dir / "f.bin",
                     [&](const std::string& l) { lines.push_back(l); });
    EXPECT_EQ(test::ReadBytes(dir / "f.bin"), std::vector<std::uint8_t>(260, 0));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Create file " + (dir / "f.bin") + ", size 260 bytes");
}

TEST(PayloadStore, ExportThenWriteReproducesTheFile) {
    TempDir dir;
    std::vector<std::uint8_t> original(777);
    for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i * 37 + 11);
    test::WriteBytes(dir / "in.bin", original);
    const auto imp = test::ReadBytes(ExportByteArray(dir / "in.bin"));
    const auto array = ParseByteArrayDeclaration(std::string(imp.begin(), imp.end()));
    WritePayloadFile(array.data(), array.size(), dir / "out.bin", nullptr);
    EXPECT_EQ(test::ReadBytes(dir / "out.bin"), original);
}

TEST(PayloadStore, WritesTheThirteenFilesInTableOrder) {
    TempDir dir;
    std::vector<std::string> lines;
    WritePayload(dir.path().string(), [&](const std::string& l) { lines.push_back(l); });
    const char* order[] = {"point.png",          "logo.png",          "snow0.png",
                           "snow1.png",          "snow2.png",         "snow3.png",
                           "TCanvas.class",      "TNokiaCanvas.class", "TCanvasInit.class",
                           "TGrixMIDlet.class",  "TBoard.class",      "TConfig.class",
                           "TSprite.class"};
    ASSERT_EQ(lines.size(), 13u);
    ASSERT_EQ(PayloadFiles().size(), 13u);
    for (std::size_t i = 0; i < 13; ++i) {
        const std::string path = dir / order[i];
        const auto bytes = test::ReadBytes(path);
        EXPECT_EQ(lines[i], "Create file " + path + ", size " + std::to_string(bytes.size()) + " bytes");
        EXPECT_EQ(PayloadFiles()[i].name, order[i]);
        EXPECT_EQ(PayloadFiles()[i].length, bytes.size());
        ASSERT_GT(bytes.size(), 4u);
        // The unscrambled files are what they claim to be.
        if (std::string(order[i]).ends_with(".png")) {
            EXPECT_EQ(bytes[1], 'P');
            EXPECT_EQ(bytes[2], 'N');
            EXPECT_EQ(bytes[3], 'G');
        } else {
            EXPECT_EQ(bytes[0], 0xCA);
            EXPECT_EQ(bytes[1], 0xFE);
            EXPECT_EQ(bytes[2], 0xBA);
            EXPECT_EQ(bytes[3], 0xBE);
        }
    }
}


TEST(PayloadStore, AFailureNamesTheFileAndKeepsWhatWasWritten) {
    TempDir dir;
    std::vector<std::string> lines;
    {
        test::FullDisk disk(static_cast<long long>(PayloadFiles()[0].length + PayloadFiles()[1].length));
        ScopedFileOps scoped(disk);
        EXPECT_THROW_MSG(WritePayload(dir.path().string(), [&](const std::string& l) { lines.push_back(l); }),
                         Error, "Can not create/save file " + (dir / "snow0.png") + " (Disk full)");
    }
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(dir / "point.png"));
    EXPECT_TRUE(std::filesystem::exists(dir / "logo.png"));
}

}  // namespace
}  // namespace grix
