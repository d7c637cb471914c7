#include "tools/byte_array_export.h"


#include "core/errors.h"
#include "core/file.h"
#include "core/paths.h"
#include "core/staged_file.h"

namespace grix {
namespace {

constexpr std::size_t kBytesPerLine = 20;
constexpr char kHex[] = "0123456789ABCDEF";

std::string Header(std::uint64_t size) {
    return "  array [1.." + std::to_string(size) + "] of byte = (";
}

// Appends the lines for `count` plain bytes that start at file offset `k`.
void AppendLines(std::string& out, const std::uint8_t* data, std::size_t count, std::uint64_t k) {
    for (std::size_t line = 0; line < count; line += kBytesPerLine) {
        out += "  ";
        const std::size_t end = std::min(count, line + kBytesPerLine);
        for (std::size_t i = line; i < end; ++i, ++k) {
            const std::uint8_t b = data[i] ^ static_cast<std::uint8_t>(k & 0xFF);
            // Every element but the very first of the whole file follows a comma,
            // the first element of each later line included.
            out += k == 0 ? "$" : ",$";
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
        out += "\r\n";
    }
}

[[noreturn]] void Invalid(const std::string& why) {
    throw Error("Invalid byte array declaration: " + why);
}

}  // namespace

void ScrambleBytes(std::uint8_t* data, std::size_t size, std::uint64_t offset) {
    for (std::size_t i = 0; i < size; ++i) {
        data[i] ^= static_cast<std::uint8_t>((offset + i) & 0xFF);
    }
}

std::string ByteArrayDeclaration(const std::uint8_t* data, std::size_t size) {
    std::string out = Header(size);
    out.reserve(out.size() + size * 4 + size / kBytesPerLine * 4 + 8);
    AppendLines(out, data, size, 0);
    out += ");\r\n";
    return out;
}

std::string ExportByteArray(const std::string& input_path) {
    const std::string output_path = input_path + ".imp";
    File input;
    std::int64_t size = 0;
    try {
        input = File::Open(input_path, OpenMode::Read);
        size = input.Size();
    } catch (const EFileError& e) {
        throw EFOpenError("Cannot open file \"" + AbsolutePath(input_path) + "\". " + e.what());
    }
    try {
        // Written under an unpredictable name beside the output and renamed
        // over it only when complete: a failure (disk full) never leaves a
        // truncated declaration in place of an earlier one, and nothing
        // planted under a guessable name is ever written through.
        // Built by appending: GCC 12 warns falsely (-Wrestrict) on a
        // literal added to a temporary string.
        std::string prefix = ".";
        prefix += FileNamePart(output_path);
        prefix += '.';
        StagedFile staged(output_path, prefix);
        File output = File::Open(staged.TempPath(), OpenMode::Replace);
        std::string text = Header(static_cast<std::uint64_t>(size));
        // Whole lines at a time, so a block never splits a line of 20.
        std::vector<std::uint8_t> block(kBytesPerLine * 4096);
        std::uint64_t k = 0;
        for (;;) {
            std::size_t got = 0;
            try {
                got = input.Read(block.data(), block.size());
            } catch (const EFileError& e) {
                throw EFOpenError("Cannot open file \"" + AbsolutePath(input_path) + "\". " +
                                  e.what());
            }
            if (got == 0)
                break;
            AppendLines(text, block.data(), got, k);
            k += got;
            output.WriteAll(text.data(), text.size());
            text.clear();
            if (got < block.size())
                break;
        }
        text += ");\r\n";
        output.WriteAll(text.data(), text.size());
        output.Close();
        staged.Commit();
    } catch (const EFileError& e) {
        throw EFCreateError("Cannot create file \"" + AbsolutePath(output_path) + "\". " +
                            e.what());
    }
    return output_path;
}

std::vector<std::uint8_t> ParseByteArrayDeclaration(std::string_view text) {
    const std::string_view prefix = "  array [1..";
    if (text.substr(0, prefix.size()) != prefix) Invalid("missing header");
    std::size_t at = prefix.size();
    std::uint64_t declared = 0;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        declared = declared * 10 + static_cast<std::uint64_t>(text[at] - '0');
        if (++digits > 12) Invalid("bound too large");
        ++at;
    }
    const std::string_view rest = "] of byte = (";
    if (digits == 0 || text.substr(at, rest.size()) != rest) Invalid("malformed header");
    at += rest.size();

    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(declared, text.size() / 3)));
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (;;) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\r' || text[at] == '\n')) ++at;
        if (at >= text.size()) Invalid("missing closing \");\"");
        if (text[at] == ')') break;
        if (!bytes.empty()) {
            if (text[at] != ',') Invalid("missing comma");
            ++at;
        }
        if (at + 3 > text.size() || text[at] != '$') Invalid("malformed element");
        const int hi = hex(text[at + 1]);
        const int lo = hex(text[at + 2]);
        if (hi < 0 || lo < 0) Invalid("malformed element");
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        at += 3;
    }
    if (text.substr(at, 2) != ");") Invalid("missing closing \");\"");
    if (bytes.size() != declared) {
        Invalid("declares " + std::to_string(declared) + " bytes but holds " +
                std::to_string(bytes.size()));
    }
    return bytes;
}

}  // namespace grix
