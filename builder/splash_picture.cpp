#include "builder/splash_picture.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "core/file.h"
#include "core/paths.h"
#include "import/png_check.h"

namespace grix {

SplashPicture ReadSplashPicture(const std::string& path) {
    SplashPicture splash;
    std::error_code ec;
    if (std::filesystem::is_directory(NativePath(path), ec)) {
        splash.problem = "it is a folder, not a picture";
        return splash;
    }
    std::vector<std::uint8_t> bytes;
    try {
        File file = File::Open(path, OpenMode::Read);
        const std::int64_t size = file.Size();
        if (size > kMaxSplashBytes) {
            splash.problem = "too large: " + std::to_string(size) + " bytes, more than " +
                             std::to_string(kMaxSplashBytes / 1024) + " KB";
            return splash;
        }
        bytes.resize(static_cast<std::size_t>(size));
        bytes.resize(file.Read(bytes.data(), bytes.size()));
        file.Close();
    } catch (const std::exception& e) {
        splash.problem = e.what();
        return splash;
    }

    const PngStructure png = CheckPngStructure(bytes.data(), bytes.size());
    if (png.damage == PngDamage::NotPng || png.width == 0 || png.height == 0) {
        splash.problem = "not a PNG picture";
        return splash;
    }
    // Judged from the header, before a single pixel is decoded: a few
    // kilobytes can claim a picture of gigabytes.
    if (png.width > kMaxSplashSide || png.height > kMaxSplashSide) {
        splash.problem =
            "too large: " + std::to_string(png.width) + " x " + std::to_string(png.height);
        return splash;
    }
    if (png.damage == PngDamage::EndsEarly) {
        splash.problem = "a damaged PNG picture: the file ends early";
        return splash;
    }
    if (png.damage == PngDamage::BadChecksum) {
        splash.problem =
            "a damaged PNG picture: the checksum of its " + png.chunk + " chunk is wrong";
        return splash;
    }
    if (!PngDecodes(bytes.data(), bytes.size())) {
        splash.problem = "a damaged PNG picture: its pixels do not decode";
        return splash;
    }
    splash.bytes = std::move(bytes);
    return splash;
}

std::string SplashProblem(const std::string& path) {
    return ReadSplashPicture(path).problem;
}

}  // namespace grix
