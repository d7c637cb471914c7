#include "convert/import_preview.h"

#include <algorithm>

namespace grix {

ImportPreview ImportPreview::Open(const std::string& path) {
    ReadOptions options;
    // Enough for the reduced copy along both sides, whichever is longer.
    options.min_width = options.min_height = kReducedSide;
    return FromPicture(ReadPicture(path, options));
}

ImportPreview ImportPreview::FromPicture(const DecodedPicture& picture) {
    ImportPreview preview;
    preview.source_width_ = picture.source_width;
    preview.source_height_ = picture.source_height;
    const LumaImage& luma = picture.luma;
    const int longer = std::max(luma.width, luma.height);
    if (longer <= kReducedSide) {
        preview.reduced_ = luma;
    } else {
        const double scale = static_cast<double>(kReducedSide) / longer;
        preview.reduced_ = ReduceLuma(luma, std::max(1, static_cast<int>(luma.width * scale + 0.5)),
                                      std::max(1, static_cast<int>(luma.height * scale + 0.5)));
    }
    return preview;
}

ConvertedPicture ImportPreview::Convert(const ConversionRequest& request) {
    const int height = RequestedHeight(request, source_width_, source_height_);
    if (scaled_.width != request.width || scaled_.height != height)
        scaled_ = AreaAverage(reduced_, request.width, height);
    return ConvertCells(scaled_, request.threshold, request.invert);
}

}  // namespace grix
