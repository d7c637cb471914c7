#include "core/file_error.h"

#include <cerrno>

namespace grix {

std::string FileErrorMessage(int code) {
    switch (code) {
        case kFileNotFound: return "File not found";
        case kInvalidFilename: return "Invalid filename";
        case kTooManyOpenFiles: return "Too many open files";
        case kFileAccessDenied: return "File access denied";
        case kReadBeyondEnd: return "Read beyond end of file";
        case kDiskFull: return "Disk full";
        case kInvalidNumericInput: return "Invalid numeric input";
        case kNotRegularFileCode: return "Not a regular file";
        default: {
            std::string text = "I/O error ";
            return text += std::to_string(code);
        }
    }
}

int ErrorCodeFromErrno(int err) {
    switch (err) {
        case ENOENT: return kFileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
#ifdef ELOOP
        case ELOOP:
#endif
            return kInvalidFilename;
        case EMFILE:
        case ENFILE: return kTooManyOpenFiles;
        case EACCES:
        case EISDIR:  // opening a folder as a file is refused as access
        case EPERM:
        case EROFS: return kFileAccessDenied;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
        case EFBIG: return kDiskFull;
        case kNotRegularFileCode: return kNotRegularFileCode;
        default: return 0;
    }
}

EFileError EFileError::FromErrno(int err) {
    const int code = ErrorCodeFromErrno(err);
    if (code != 0) return EFileError(code);
    std::string text = "I/O error ";
    return EFileError(err, text += std::to_string(err));
}

std::string CannotSaveMessage(const std::string& path, const std::exception& cause) {
    const auto* file_error = dynamic_cast<const EFileError*>(&cause);
    const bool disk_full = file_error != nullptr && file_error->code() == kDiskFull;
    return "Can not create/save file " + path + (disk_full ? " (Disk full)" : "");
}

}  // namespace grix
