#include "archive/archive_fixture.h"

#include <filesystem>
#include <random>

namespace grix::test {

void ArchiveFixture::SetUp() { std::filesystem::create_directories(Src()); }

void ArchiveFixture::Put(const std::string& relative, const std::string& content) {
    Put(relative, Bytes(content));
}

void ArchiveFixture::Put(const std::string& relative, const std::vector<std::uint8_t>& content) {
    const std::filesystem::path path = Path(relative);
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path.string(), content);
}

void ArchiveFixture::MakeFolder(const std::string& relative) {
    std::filesystem::create_directories(Path(relative));
}

ZipArchive ArchiveFixture::Pack(const std::function<void(TBrask&)>& configure) {
    TBrask jar("brask");
    jar.SetFileName(Jar());
    jar.SetCompressionLevel(clMax);
    jar.Options().OEMFileNames = false;
    jar.Open(kCreateMode);
    jar.SetBaseDir(Src());
    if (configure) configure(jar);
    jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
    jar.Close();
    ZipArchive archive = ParseZip(ReadBytes(Jar()));
    EXPECT_TRUE(archive.ok) << archive.error;
    return archive;
}

std::vector<std::string> Names(const ZipArchive& archive) {
    std::vector<std::string> names;
    for (const auto& e : archive.entries) names.push_back(e.name);
    return names;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> SampleBytes(std::size_t size, bool compressible, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> out;
    out.reserve(size);
    static const char* const kWords[] = {"nonogram ", "cell ", "row ", "column ", "picture ",
                                         "phone ", "midlet ", "suite\n"};
    while (out.size() < size) {
        if (compressible) {
            const char* word = kWords[random() % 8];
            while (*word && out.size() < size) out.push_back(static_cast<std::uint8_t>(*word++));
        } else {
            out.push_back(static_cast<std::uint8_t>(random()));
        }
    }
    return out;
}

const ZipEntry* Find(const ZipArchive& archive, const std::string& name) {
    for (const auto& e : archive.entries) {
        if (e.name == name) return &e;
    }
    return nullptr;
}

std::vector<std::uint8_t> EmptyArchiveBytes() {
    std::vector<std::uint8_t> bytes(22, 0);
    bytes[0] = 0x50;
    bytes[1] = 0x4B;
    bytes[2] = 0x05;
    bytes[3] = 0x06;
    return bytes;
}

}  // namespace grix::test
