#include "convert/picture_conversion.h"

#include "convert/cell_threshold.h"

namespace grix {

int RequestedHeight(const ConversionRequest& request, int source_width, int source_height) {
    return request.height > 0 ? request.height
                              : HeightForWidth(source_width, source_height, request.width);
}

DecodedPicture ReadForConversion(const std::string& path, const ConversionRequest& request) {
    ReadOptions options;
    options.min_width = request.width * kPixelsPerCell;
    // With the height left to the aspect ratio the width alone decides: the
    // decoder scales both sides alike.
    options.min_height = request.height * kPixelsPerCell;
    return ReadPicture(path, options);
}

ConvertedPicture ConvertCells(const CellLuma& cells, std::optional<int> threshold, bool invert) {
    ConvertedPicture converted;
    converted.threshold = threshold ? *threshold : OtsuThreshold(cells);
    converted.cells = ThresholdCells(cells, converted.threshold, invert);
    return converted;
}

ConvertedPicture ConvertPicture(const DecodedPicture& picture, const ConversionRequest& request) {
    const int height = RequestedHeight(request, picture.source_width, picture.source_height);
    return ConvertCells(AreaAverage(picture.luma, request.width, height), request.threshold,
                        request.invert);
}

}  // namespace grix
