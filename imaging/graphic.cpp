#include "imaging/graphic.h"

namespace grix {

void TGraphic::LoadFromFile(const std::string& path) {
    TFileStream stream(path);
    LoadFromStream(stream);
}

void TGraphic::LoadFromBytes(const void* data, std::size_t size) {
    TMemoryStream stream(data, size);
    LoadFromStream(stream);
}

}  // namespace grix
