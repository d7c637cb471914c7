// The format registry: which graphic kind loads a file with which
// extension. Built once, when the first TPicture of the process is made,
// and read-only from then on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "imaging/graphic.h"

namespace grix {

struct TFileFormat {
    std::string extension;  // lower case, without the dot
    std::string description;
    TGraphicClass graphic_class;
};

class TFileFormatsList {
  public:
    // The process's registry: wmf, emf, ico, bmp, in that order.
    static const TFileFormatsList& Instance();

    // The row for an extension (compared case-insensitively, without its
    // dot), searching from the last row to the first; nullptr when none.
    [[nodiscard]] const TFileFormat* FindExt(std::string_view extension) const;
    [[nodiscard]] const std::vector<TFileFormat>& Rows() const { return rows_; }

  private:
    TFileFormatsList();
    std::vector<TFileFormat> rows_;
};

// The extension of a path as the registry sees it: the text after the last
// ".", or empty when a separator ("/", "\" or ":") stands after that dot or
// there is no dot. Case is kept.
std::string PictureFileExtension(std::string_view path);

}  // namespace grix
