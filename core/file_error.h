// A numbered failure of a file operation whose message is fixed by its
// code, so that logs and message boxes read the same on every system.
// Codes 2 to 5 are numbered as Windows numbers those failures, whatever the
// system (ErrorCodeFromErrno maps errno values onto them); 100, 101 and 106
// are Grix's own; any other code is the system's errno value.
#pragma once

#include <exception>
#include <string>

#include "core/errors.h"

namespace grix {

inline constexpr int kFileNotFound = 2;
inline constexpr int kInvalidFilename = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kFileAccessDenied = 5;
inline constexpr int kReadBeyondEnd = 100;
inline constexpr int kDiskFull = 101;
inline constexpr int kInvalidNumericInput = 106;
// Grix's own code for a pipe, device or socket where a file belongs; far
// above every platform's errno values.
inline constexpr int kNotRegularFileCode = 1001;

// "File not found", "Disk full", ... or "I/O error %d".
std::string FileErrorMessage(int code);

// Maps an errno value onto the codes above; 0 when it has no counterpart.
int ErrorCodeFromErrno(int err);

class EFileError : public Error {
public:
    explicit EFileError(int code) : Error(FileErrorMessage(code)), code_(code) {}
    int code() const noexcept { return code_; }

    // The error for the errno value of a failed system call. A number without
    // a counterpart keeps its native value and reads "I/O error <errno>";
    // it never borrows the text of a code that happens to be equal (EIO is 5
    // on Linux, which must not read "File access denied").
    static EFileError FromErrno(int err);

private:
    EFileError(int code, const std::string& message) : Error(message), code_(code) {}
    int code_;
};

// "Can not create/save file <path>", and " (Disk full)" after it when that
// was the cause: the one cause of a failed write the user can act on, which
// the path alone does not tell.
std::string CannotSaveMessage(const std::string& path, const std::exception& cause);

}  // namespace grix
