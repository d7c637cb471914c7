#include "core/ini_file.h"

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/file.h"
#include "core/ini_syntax.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/staged_file.h"
#include "core/text.h"

namespace grix {
namespace {

using namespace ini;

namespace fs = std::filesystem;

std::string Fold(std::string_view name) {
    return AsciiLower(Trim(name));
}

// At most `limit` characters of UTF-8 text, never cutting a character.
std::string CapCharacters(std::string text, std::size_t limit) {
    std::size_t at = 0;
    for (std::size_t count = 0; at < text.size() && count < limit; ++count) {
        at += Utf8SequenceLength(text, at);
    }
    text.resize(at);
    return text;
}

std::string OneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return out;
}

std::uint64_t TextHash(std::string_view text) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : text) {
        h ^= static_cast<std::uint8_t>(c);
        h *= 1099511628211ull;
    }
    return h;
}

}  // namespace

IniFile::IniFile(std::string path, std::string_view text, bool from_disk)
    : path_(std::move(path)), on_disk_(from_disk) {
    Parse(text);
    if (from_disk) {
        saved_length_ = text.size();
        saved_hash_ = TextHash(text);
    }
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(path_, kMaxIniFileBytes);
        on_disk_ = true;
    } catch (const EFileError& e) {
        if (e.code() != kFileNotFound)
            throw;
    } catch (const EFileTooLarge&) {
        throw EIniFileException("Settings file " + path_ + " is larger than 16 MB");
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    Parse(text);
    if (on_disk_) {
        saved_length_ = text.size();
        saved_hash_ = TextHash(text);
    }
}

IniFile IniFile::FromText(std::string path, std::string_view text) {
    return IniFile(std::move(path), text, false);
}

const IniFile::Line* IniFile::FindKey(std::string_view section, std::string_view key) const {
    const std::string folded_section = Fold(section);
    const std::optional<std::uint32_t> found =
        FindSectionIndex(folded_section, NameHash(folded_section));
    if (!found)
        return nullptr;
    const std::string folded_key = Fold(key);
    const std::optional<std::uint32_t> line = FindKeyLine(*found, folded_key, NameHash(folded_key));
    return line ? &sections_[*found].lines[*line] : nullptr;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindKey(section, key) != nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view default_value) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr)
        return std::string(default_value);
    const std::string_view text = TextOf(*line);
    const KeyParts parts = *ParseKeyLine(text);
    const std::string_view raw =
        text.substr(parts.value_begin, parts.value_end - parts.value_begin);
    return CapCharacters(DecodeLegacyText(raw), kIniValueCharacterLimit);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t default_value) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr)
        return default_value;
    return ParseIniInteger(ReadString(section, key, "")).value_or(default_value);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool default_value) const {
    return ReadInteger(section, key, default_value ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string text = OneLine(Trim(value));
    const std::string folded_section = Fold(section);
    std::optional<std::uint32_t> index = FindSectionIndex(folded_section, NameHash(folded_section));
    if (!index) {
        AppendSection(section);
        index = static_cast<std::uint32_t>(sections_.size() - 1);
    }
    Section& target = sections_[*index];

    const std::string folded_key = Fold(key);
    const std::uint32_t key_hash = NameHash(folded_key);
    if (const std::optional<std::uint32_t> known = FindKeyLine(*index, folded_key, key_hash)) {
        Line& line = target.lines[*known];
        const std::string_view old = TextOf(line);
        const KeyParts parts = *ParseKeyLine(old);
        if (old.substr(parts.value_begin, parts.value_end - parts.value_begin) == text)
            return;  // unchanged: the line keeps its exact look
        const std::string replaced = std::string(KeyName(old, parts)) + "=" + text;
        line.begin = Store(replaced);
        line.length = static_cast<std::uint32_t>(replaced.size());
        return;
    }

    // After the last key of the section (or its header): blank lines and
    // comments that close the section stay where they are. Every line after
    // the insertion point is therefore not a key, and the key index of the
    // section stays valid.
    std::size_t after = target.lines.size();
    while (after > 0 && target.lines[after - 1].kind == kRaw)
        --after;
    if (after > 0 && target.lines[after - 1].kind == kRawWithKey)
        after = SplitAfterHiddenKey(target, after - 1);
    Line& before = after > 0 ? target.lines[after - 1] : target.header;
    const std::uint8_t eol = DefaultEol();
    if (before.eol == 0)
        before.eol = eol;

    const std::string name(Trim(key));
    const std::string line_text = name + "=" + text;
    const Line line{Store(line_text), static_cast<std::uint32_t>(line_text.size()), eol, kKey};
    target.lines.insert(target.lines.begin() + static_cast<std::ptrdiff_t>(after), line);
    IndexKey(*index, static_cast<std::uint32_t>(after), key_hash);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::Save() {
    const std::string text = Text();
    if (on_disk_ && text.size() == saved_length_ && TextHash(text) == saved_hash_)
        return;

    // Through a symbolic link to the file it names, so that a linked
    // settings file stays linked.
    std::error_code ec;
    fs::path target = NativePath(path_);
    if (fs::is_symlink(target, ec)) {
        fs::path real = fs::canonical(target, ec);
        if (!ec)
            target = std::move(real);
    }
    try {
        // Beside the file and under a name nobody can have planted, put in
        // place by one rename: a failure leaves the earlier settings whole.
        const std::string target_path = Utf8Path(target);
        // Built by appending: GCC 12 warns falsely (-Wrestrict) on a
        // literal added to a temporary string.
        std::string prefix = ".";
        prefix += FileNamePart(target_path);
        prefix += '-';
        StagedFile staged(target_path, prefix);
        File out = File::Open(staged.TempPath(), OpenMode::ReadWrite);
        out.WriteAll(text.data(), text.size());
        out.Sync();
        out.Close();
        const fs::file_status old = fs::status(target, ec);
        if (!ec && fs::exists(old))
            fs::permissions(NativePath(staged.TempPath()), old.permissions(), ec);
        staged.Commit();
    } catch (const std::exception&) {
        throw EIniFileException("Unable to write to " + path_);
    }
    saved_length_ = text.size();
    saved_hash_ = TextHash(text);
    on_disk_ = true;
}

}  // namespace grix
