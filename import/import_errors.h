// Failure kinds of reading a picture to import. Every message names the
// file, since an author converting a folder of pictures must know which one
// failed.
#pragma once

#include "core/errors.h"

namespace grix {

// Width x height above the import limit, refused from the header.
class EPictureTooLarge : public Error {
  public:
    explicit EPictureTooLarge(const std::string& message) : Error(message) {}
};

// Damaged data, or a kind of file that is not a picture we read, raise
// EInvalidGraphic with the file named; a file that cannot be opened,
// EFOpenError as for every picture.

}  // namespace grix
