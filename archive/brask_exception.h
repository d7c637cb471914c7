// The archive writer's own failures: EBraskException, built from a code
// whose message text comes from one table, and the compression error.
#pragma once

#include <string>
#include <vector>

#include "core/errors.h"

namespace grix {

// Codes the writer raises (the rest of its numbering belongs to features
// this system leaves out: reading archives, volumes, in-memory archives).
namespace brask_code {
inline constexpr int kIndexGet = 1;  // reading an entry of the list
inline constexpr int kIndexPut = 2;  // replacing an entry
inline constexpr int kIndexInsert = 3;
inline constexpr int kIndexDelete = 4;
inline constexpr int kInvalidCompressionMode = 5;
inline constexpr int kOldEntryMissing = 7;
inline constexpr int kBlankFileName = 10;
inline constexpr int kFileNotFound = 12;
inline constexpr int kArchiveNotOpen = 13;
inline constexpr int kCannotOpenSource = 33;
inline constexpr int kInvalidCompressedSize = 34;
inline constexpr int kZip64SizeNeeded = 41;
inline constexpr int kZip64OffsetNeeded = 43;
inline constexpr int kStreamWrite = 46;
// Failures the message table has no code for: names or comments too long
// for their 16-bit fields, existing archives (never opened), calls made
// while a commit runs, and entry names unsafe to extract.
inline constexpr int kFieldTooLong = 60;
inline constexpr int kExistingArchive = 61;
inline constexpr int kBusy = 62;
inline constexpr int kUnsafeEntryName = 63;
}  // namespace brask_code

// The message template of a code ("Unknown error" for a code without one)
// and its index in the message table (-1 without one).
std::string BraskMessageText(int code);
int BraskMessageIndex(int code);

// Replaces each "%s" or "%d" in turn with the next argument.
std::string FormatBraskMessage(const std::string& text, const std::vector<std::string>& args);

class EBraskException : public Error {
public:
    // The message: "<component>: " when the component has a name, the
    // code's text filled with args, then " - Native error: " and the code
    // in five digits.
    EBraskException(const std::string& component_name, int code,
                    const std::vector<std::string>& args = {});

    int MessageIndex() const noexcept { return message_index_; }
    int NativeError() const noexcept { return native_error_; }

private:
    int message_index_;
    int native_error_;
};

// zlib refused a call. The short text is the writer's one message for
// every zlib failure; its callers match it as it is.
class ECompressionError : public Error {
public:
    ECompressionError() : Error("error") {}
};

}  // namespace grix
