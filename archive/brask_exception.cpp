#include "archive/brask_exception.h"

#include <array>
#include <cstdio>

namespace grix {
namespace {

struct MessageRow {
    int first_code;
    int last_code;
    const char* text;
};

// One row per message; a row's position is its message index.
constexpr std::array<MessageRow, 23> kMessages{{
    {1, 4, "Index out of bounds"},
    {5, 5, "Invalid compression mode. Mode must be in [0-9] range"},
    {7, 7, "Index out of bounds"},
    {9, 10, "File name is blank. Specify appropriate file name"},
    {12, 12, "File \"%s\" not found"},
    {13, 13, "Archive is not open"},
    {27, 27, "Cannot delete file \"%s\""},
    {28, 28, "In-memory archive can be created only"},
    {29, 29, "File name is blank. Specify appropriate file name"},
    {32, 32, "File is open in read-only mode"},
    {33, 33, "Cannot open file \"%s\""},
    {34, 34, "Invalid compressed size, rfs.size = %d, count = %d"},
    {35, 35, "Invalid archive file."},
    {40, 40, "Cannot find Zip64 directory end record"},
    {41, 41, "Cannot compress file '%s'. Zip64 mode is not enabled"},
    {43, 43, "Cannot compress file '%s'. Zip64 mode is not enabled"},
    {46, 46, "Write to stream error"},
    {48, 48, "Archive is damaged. Open failed"},
    {52, 52,
     "Multi-spanned archive is not allowed for modification. Use BeginUpdate/EndUpdate methods "
     "to add files several times"},
    {60, 60, "Entry \"%s\" cannot be stored: its name or comment is longer than 65535 bytes"},
    {61, 61, "Cannot open existing archive \"%s\": only new archives can be created"},
    {62, 62, "Archive is busy: it cannot be changed while an update is being written"},
    {63, 63, "Cannot store file \"%s\": entry name \"%s\" is not safe to extract"},
}};

}  // namespace

int BraskMessageIndex(int code) {
    for (std::size_t i = 0; i < kMessages.size(); ++i) {
        if (code >= kMessages[i].first_code && code <= kMessages[i].last_code) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string BraskMessageText(int code) {
    const int index = BraskMessageIndex(code);
    return index < 0 ? "Unknown error" : kMessages[static_cast<std::size_t>(index)].text;
}

std::string FormatBraskMessage(const std::string& text, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next_arg = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd')) {
            if (next_arg < args.size()) out += args[next_arg++];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {
std::string ComposeMessage(const std::string& component_name, int code,
                           const std::vector<std::string>& args) {
    std::string message;
    if (!component_name.empty()) message = component_name + ": ";
    message += FormatBraskMessage(BraskMessageText(code), args);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05d", code);
    return message + " - Native error: " + digits;
}
}  // namespace

EBraskException::EBraskException(const std::string& component_name, int code,
                                 const std::vector<std::string>& args)
    : Error(ComposeMessage(component_name, code, args)),
      message_index_(BraskMessageIndex(code)),
      native_error_(code) {}

}  // namespace grix
