// Shared pieces of the archive tests: folder trees on disk and a JAR
// written from them the way a build writes one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/brask.h"
#include "archive/zip_reader.h"
#include "support/test_support.h"

namespace grix::test {

// A scratch folder holding the tree to pack ("src") and room for archives.
class ArchiveFixture : public ::testing::Test {
protected:
    std::string Src() const { return dir_ / "src"; }
    std::string Jar() const { return dir_ / "out.jar"; }
    std::string Path(const std::string& relative) const { return Src() + "/" + relative; }

    void SetUp() override;
    // Writes a file under src (folders on the way are created).
    void Put(const std::string& relative, const std::string& content);
    void Put(const std::string& relative, const std::vector<std::uint8_t>& content);
    void MakeFolder(const std::string& relative);

    // Packs src into Jar(): create mode, level 9, OEMFileNames false,
    // "*.*" with 10431; `configure` runs after Open, before adding.
    ZipArchive Pack(const std::function<void(TBrask&)>& configure = {});

    TempDir dir_;
};

std::vector<std::string> Names(const ZipArchive& archive);
std::vector<std::uint8_t> Bytes(const std::string& text);
// Deterministic bytes: compressible text-like (true) or noise (false).
std::vector<std::uint8_t> SampleBytes(std::size_t size, bool compressible, std::uint32_t seed = 1);
const ZipEntry* Find(const ZipArchive& archive, const std::string& name);

// The 22 bytes of an archive without entries.
std::vector<std::uint8_t> EmptyArchiveBytes();

}  // namespace grix::test
