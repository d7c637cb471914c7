#include "archive/brask.h"

#include "archive/zip_records.h"

namespace grix {

TBrask::TBrask(std::string name) : TBraskBaseArchiver(std::move(name)) {
    SetIsArchiveFormatZip(true);
    SetZip64Mode(zmDisabled);
    UpdateCompressionMethod();
}

// Closing here, not only in the base, so that a pending commit still
// sees this class's compression method.
TBrask::~TBrask() { Close(); }

void TBrask::UpdateCompressionMethod() {
    SetCompressionMethod(CompressionMode() > 0 ? kMethodDeflated : kMethodStored);
}

}  // namespace grix
