#include "builder/descriptors.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "support/test_support.h"

namespace grix {
namespace {

using test::TempDir;

TEST(Descriptors, ManifestForCat) {
    const std::string manifest = ManifestText("Cat", kVendor);
    EXPECT_EQ(manifest,
              "Manifest-Version: 1.0\r\n"
              "MicroEdition-Configuration: CLDC-1.0\r\n"
              "MIDlet-Name: Cat\r\n"
              "MIDlet-Vendor: Tarnfield\r\n"
              "MIDlet-1: Cat, /logo.png, TGrixMIDlet\r\n"
              "MIDlet-Version: 1.0.0\r\n"
              "MIDlet-Icon: /logo.png\r\n"
              "MicroEdition-Profile: MIDP-1.0\r\n");
    EXPECT_EQ(manifest.size(), 223u);
}

TEST(Descriptors, JadForCat) {
    EXPECT_EQ(JadText("Cat", kVendor, kProfile, 12345),
              "MIDlet-Name: Cat\r\n"
              "MIDlet-Version: 1.0.0\r\n"
              "MIDlet-Vendor: Tarnfield\r\n"
              "MicroEdition-Profile: MIDP-1.0\r\n"
              "MicroEdition-Configuration: CLDC-1.0\r\n"
              "MIDlet-Icon: /logo.png\r\n"
              "MIDlet-Jar-URL: Cat.jar\r\n"
              "MIDlet-Jar-Size: 12345\r\n"
              "MIDlet-1: Cat, /logo.png, TGrixMIDlet\r\n");
}

TEST(Descriptors, NamesGoInAsTyped) {
    EXPECT_NE(ManifestText("A, B", kVendor).find("MIDlet-1: A, B, /logo.png, TGrixMIDlet\r\n"),
              std::string::npos);
    // UTF-8 bytes, unchanged: "Кот" is 6 bytes.
    const std::string jad = JadText("Кот", kVendor, kProfile, 1);
    EXPECT_NE(jad.find("MIDlet-Name: Кот\r\n"), std::string::npos);
    EXPECT_NE(jad.find("MIDlet-Jar-URL: %D0%9A%D0%BE%D1%82.jar\r\n"), std::string::npos);
    EXPECT_EQ(ManifestText("Кот", kVendor).size(), 223u + 2 * 3);
}

TEST(Descriptors, TheJarUrlIsPercentEncoded) {
    const struct {
        const char* name;
        const char* url;
    } cases[] = {
        {"Cat.jar", "Cat.jar"},
        {"My cats.jar", "My%20cats.jar"},
        {"100%.jar", "100%25.jar"},
        {"No#1?.jar", "No%231%3F.jar"},
        {"a~b_c-d(e)!&'+=;@,$.jar", "a~b_c-d(e)!&'+=;@,$.jar"},
        {"[x]{y}^`.jar", "%5Bx%5D%7By%7D%5E%60.jar"},
        {"Кот.jar", "%D0%9A%D0%BE%D1%82.jar"},
        {"\x7f\xff.jar", "%7F%FF.jar"},
    };
    for (const auto& c : cases) EXPECT_EQ(JarUrl(c.name), c.url) << c.name;
}

TEST(Descriptors, WriteTextFileLogsTheBytesWritten) {
    TempDir dir;
    std::vector<std::string> lines;
    const LogSink log = [&](const std::string& line) { lines.push_back(line); };
    WriteTextFile("", dir / "empty.txt", log);
    WriteTextFile("Кот\r\n", dir / "cat.txt", log);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Create file " + (dir / "empty.txt") + ", size 0 bytes");
    EXPECT_EQ(lines[1], "Create file " + (dir / "cat.txt") + ", size 8 bytes");
    EXPECT_EQ(test::ReadBytes(dir / "empty.txt").size(), 0u);
    EXPECT_EQ(test::ReadBytes(dir / "cat.txt").size(), 8u);
}

TEST(Descriptors, WriteTextFileFailureNamesTheFile) {
    TempDir dir;
    const std::string path = dir / "missing/folder/x.jad";
    bool logged = false;
    EXPECT_THROW_MSG(WriteTextFile("x", path, [&](const std::string&) { logged = true; }), Error,
                     "Can not create/save file " + path);
    EXPECT_FALSE(logged);
}

}  // namespace
}  // namespace grix
