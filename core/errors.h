// Failure kinds of Grix. Every failure is an exception carrying the text the
// user sees; callers catch once at the top (the build driver, the window's
// error display, grix-cli) and show what() unchanged.
#pragma once

#include <stdexcept>
#include <string>

namespace grix {

// Base of every error Grix raises itself.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

#define GRIX_ERROR_KIND(Name)                                   \
    class Name : public Error {                                 \
    public:                                                     \
        explicit Name(const std::string& message) : Error(message) {} \
    }

// Picture files.
GRIX_ERROR_KIND(EInvalidGraphic);    // not a picture we can decode
GRIX_ERROR_KIND(EFOpenError);        // "Cannot open file "%s". %s"
GRIX_ERROR_KIND(EReadError);         // "Stream read error"
GRIX_ERROR_KIND(EWriteError);        // "Stream write error"
GRIX_ERROR_KIND(EOutOfMemory);       // "Out of memory"
GRIX_ERROR_KIND(EFCreateError);      // "Cannot create file "%s". %s"

#undef GRIX_ERROR_KIND

inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";
inline constexpr const char* kBitmapNotValid = "Bitmap image is not valid";
inline constexpr const char* kOutOfMemory = "Out of memory";

}  // namespace grix
