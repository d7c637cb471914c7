// Archives checked by readers written by others: Info-ZIP's unzip,
// Python's zipfile and the JDK's jar tool.
#include <filesystem>

#include "archive/archive_fixture.h"

namespace grix::test {
namespace {

constexpr const char* kPythonCheck =
    "import sys, zipfile\n"
    "z = zipfile.ZipFile(sys.argv[1])\n"
    "bad = z.testzip()\n"
    "assert bad is None, bad\n"
    "for i in z.infolist():\n"
    "    print(i.filename, i.file_size, len(z.read(i)))\n";

class Readers : public ArchiveFixture {
protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        Put("cfg.dat", SampleBytes(40000, true));
        Put("empty.txt", "");
        Put("noise.png", SampleBytes(9000, false));
        Put("big.bin", SampleBytes(3500000, true, 7));
        Put("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\nMIDlet-1: Cats, /icon.png, Main\n");
        Put("ру/файл.txt", "utf-8 name");
        MakeFolder("empty-folder");
    }
};

TEST_F(Readers, AllThreeAcceptTheArchive) {
    const ZipArchive zip = Pack();
    const std::vector<std::string> names = Names(zip);
    ASSERT_EQ(names, (std::vector<std::string>{"big.bin", "cfg.dat", "empty.txt", "noise.png",
                                               "empty-folder/", "META-INF/", "META-INF/MANIFEST.MF",
                                               "ру/", "ру/файл.txt"}));
    std::string out, err;
    EXPECT_EQ(RunCommand("unzip -t " + ShellQuote(Jar()), &out, &err), 0) << out << err;
    EXPECT_NE(out.find("No errors detected"), std::string::npos) << out;

    ASSERT_EQ(RunCommand("/usr/bin/python3 -c " + ShellQuote(kPythonCheck) + " " + ShellQuote(Jar()),
                         &out, &err),
              0)
        << err;
    std::string expected;
    for (const ZipEntry& e : zip.entries) {
        const std::size_t size = e.central.uncompressed;
        expected += e.name + " " + std::to_string(size) + " " + std::to_string(size) + "\n";
    }
    EXPECT_EQ(out, expected);

    ASSERT_EQ(RunCommand("jar tf " + ShellQuote(Jar()), &out, &err), 0) << err;
    std::string listing;
    for (const std::string& name : names) listing += name + "\n";
    EXPECT_EQ(out, listing);
}

TEST_F(Readers, JarExtractsTheSameBytes) {
    Pack();
    const std::string into = dir_ / "x";
    std::filesystem::create_directories(into);
    std::string out, err;
    ASSERT_EQ(RunCommand("cd " + ShellQuote(into) + " && jar xf " + ShellQuote(Jar()), &out, &err), 0)
        << err;
    for (const char* name : {"cfg.dat", "noise.png", "big.bin", "empty.txt", "ру/файл.txt"}) {
        EXPECT_EQ(ReadBytes(into + "/" + name), ReadBytes(Path(name))) << name;
    }
}

}  // namespace
}  // namespace grix::test
