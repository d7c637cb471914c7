#include "imaging/file_formats.h"

#include "core/text.h"
#include "imaging/bitmap.h"
#include "imaging/icon.h"
#include "imaging/metafile.h"

namespace grix {

TFileFormatsList::TFileFormatsList()
    : rows_{
          {"wmf", "Metafiles", &CreateGraphic<TMetafile>},
          {"emf", "Enhanced Metafiles", &CreateGraphic<TMetafile>},
          {"ico", "Icons", &CreateGraphic<TIcon>},
          {"bmp", "Bitmaps", &CreateGraphic<TBitmap>},
      } {}

const TFileFormatsList& TFileFormatsList::Instance() {
    static const TFileFormatsList list;
    return list;
}

const TFileFormat* TFileFormatsList::FindExt(std::string_view extension) const {
    // The registered extensions are ASCII, so lower-casing ASCII letters is
    // all the comparison needs; any other character cannot match.
    const std::string wanted = AsciiLower(extension);
    for (auto row = rows_.rbegin(); row != rows_.rend(); ++row) {
        if (row->extension == wanted)
            return &*row;
    }
    return nullptr;
}

std::string PictureFileExtension(std::string_view path) {
    // Backslashes and drive colons separate too, so a path written for
    // Windows splits the same way on every system.
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    if (path.find_first_of("/\\:", dot + 1) != std::string_view::npos)
        return {};
    return std::string(path.substr(dot + 1));
}

}  // namespace grix
