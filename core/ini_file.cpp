#include "core/ini_file.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "core/file.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/staged_file.h"
#include "core/text.h"

namespace grix {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::size_t SkipBlanks(std::string_view text, std::size_t from) {
    const std::size_t at = text.find_first_not_of(kBlanks, from);
    return at == std::string_view::npos ? text.size() : at;
}

// End of `text[begin, end)` without its trailing blanks.
std::size_t TrimEnd(std::string_view text, std::size_t begin, std::size_t end) {
    while (end > begin && kBlanks.find(text[end - 1]) != std::string_view::npos)
        --end;
    return end;
}

std::string_view Trim(std::string_view text) {
    const std::size_t begin = SkipBlanks(text, 0);
    return text.substr(begin, TrimEnd(text, begin, text.size()) - begin);
}

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

int DigitValue(char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') {
        d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        d = c - 'A' + 10;
    }
    return d < base ? d : -1;
}

}  // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text[0] == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;

    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull
                                : negative ? 0x80000000ull
                                           : 0x7FFFFFFFull;
    std::uint64_t value = 0;
    for (const char c : text) {
        const int d = DigitValue(c, base);
        if (d < 0)
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (value > limit)
            return std::nullopt;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

IniFile::IniFile(std::string path, std::string_view text, bool from_disk)
    : path_(std::move(path)), on_disk_(from_disk) {
    Parse(text);
    if (from_disk)
        saved_text_ = std::string(text);
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    std::string text;
    try {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(path_, kMaxIniFileBytes);
        text.assign(bytes.begin(), bytes.end());
        on_disk_ = true;
    } catch (const EFileError& e) {
        if (e.code() != kFileNotFound)
            throw;
    } catch (const EFileTooLarge&) {
        throw EIniFileException("Settings file " + path_ + " is larger than 16 MB");
    }
    Parse(text);
    if (on_disk_)
        saved_text_ = text;
}

IniFile IniFile::FromText(std::string path, std::string_view text) {
    return IniFile(std::move(path), text, false);
}

void IniFile::Parse(std::string_view text) {
    sections_.assign(1, Section{});
    section_index_.clear();
    bom_.clear();
    default_eol_.clear();
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bom_ = std::string(kUtf8Bom);
        text.remove_prefix(kUtf8Bom.size());
    }
    while (!text.empty()) {
        Line line;
        const std::size_t newline = text.find('\n');
        if (newline == std::string_view::npos) {
            line.text = std::string(text);
            text = {};
        } else {
            const bool crlf = newline > 0 && text[newline - 1] == '\r';
            line.text = std::string(text.substr(0, crlf ? newline - 1 : newline));
            line.eol = crlf ? "\r\n" : "\n";
            text.remove_prefix(newline + 1);
            if (default_eol_.empty())
                default_eol_ = line.eol;
        }
        AddLine(std::move(line));
    }
    // Constructed, then moved in: assigning the literal in place trips a false
    // -Wrestrict warning of GCC 12 at -O3.
    if (default_eol_.empty())
        default_eol_ = std::string(platform::TextLineEnd());
}

void IniFile::AddLine(Line line) {
    const std::string_view text = line.text;
    const std::size_t start = SkipBlanks(text, 0);
    if (start < text.size() && text[start] == '[') {
        std::size_t close = text.find(']', start);
        if (close == std::string_view::npos)
            close = text.size();
        Section section;
        section.name = std::string(Trim(text.substr(start + 1, close - start - 1)));
        section.lines.push_back(std::move(line));
        section_index_.emplace(Fold(section.name), sections_.size());
        sections_.push_back(std::move(section));
        return;
    }
    Section& section = sections_.back();
    const std::size_t equals = text.find('=', start);
    // Comment lines are never keys, whatever they contain.
    if (start < text.size() && text[start] != ';' && text[start] != '#' &&
        equals != std::string_view::npos) {
        const std::size_t key_end = TrimEnd(text, start, equals);
        if (key_end > start) {
            line.is_key = true;
            line.key_begin = start;
            line.key_end = key_end;
            line.value_begin = SkipBlanks(text, equals + 1);
            line.value_end = TrimEnd(text, line.value_begin, text.size());
            section.keys.emplace(AsciiLower(text.substr(start, key_end - start)),
                                 section.lines.size());
        }
    }
    section.lines.push_back(std::move(line));
}

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
    const auto it = section_index_.find(Fold(section));
    return it == section_index_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section* IniFile::FindSection(std::string_view section) {
    return const_cast<Section*>(std::as_const(*this).FindSection(section));
}

const IniFile::Line* IniFile::FindKey(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (found == nullptr)
        return nullptr;
    const auto it = found->keys.find(Fold(key));
    return it == found->keys.end() ? nullptr : &found->lines[it->second];
}

std::string IniFile::Text() const {
    std::string text = bom_;
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            text += line.text;
            text += line.eol;
        }
    }
    return text;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindKey(section, key) != nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view default_value) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr)
        return std::string(default_value);
    const std::string_view raw =
        std::string_view(line->text).substr(line->value_begin, line->value_end - line->value_begin);
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

IniFile::Section& IniFile::AppendSection(std::string_view section) {
    // The last line of the file gets a line ending, and a blank line keeps
    // the new section apart from the one before it.
    Line* last = nullptr;
    for (auto it = sections_.rbegin(); it != sections_.rend() && last == nullptr; ++it) {
        if (!it->lines.empty())
            last = &it->lines.back();
    }
    if (last != nullptr) {
        if (last->eol.empty())
            last->eol = default_eol_;
        if (!Trim(last->text).empty())
            sections_.back().lines.push_back(Line{"", default_eol_});
    }
    Section added;
    added.name = std::string(Trim(section));
    added.lines.push_back(Line{"[" + added.name + "]", default_eol_});
    section_index_.emplace(Fold(added.name), sections_.size());
    sections_.push_back(std::move(added));
    return sections_.back();
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string text = OneLine(Trim(value));
    Section* target = FindSection(section);
    if (target == nullptr)
        target = &AppendSection(section);

    const auto known = target->keys.find(Fold(key));
    if (known != target->keys.end()) {
        Line& line = target->lines[known->second];
        if (std::string_view(line.text).substr(line.value_begin,
                                               line.value_end - line.value_begin) == text) {
            return;  // unchanged: the line keeps its exact look
        }
        line.text = line.text.substr(line.key_begin, line.key_end - line.key_begin) + "=" + text;
        line.key_end -= line.key_begin;
        line.key_begin = 0;
        line.value_begin = line.key_end + 1;
        line.value_end = line.text.size();
        return;
    }

    // After the last key of the section (or its header): blank lines and
    // comments that close the section stay where they are. Every line after
    // the insertion point is therefore not a key, and the key index of the
    // section stays valid.
    std::size_t after = target->lines.size();
    while (after > 1 && !target->lines[after - 1].is_key)
        --after;
    Line& before = target->lines[after - 1];
    if (before.eol.empty())
        before.eol = default_eol_;

    Line line;
    const std::string name(Trim(key));
    line.text = name + "=" + text;
    line.eol = default_eol_;
    line.is_key = true;
    line.key_end = name.size();
    line.value_begin = name.size() + 1;
    line.value_end = line.text.size();
    target->lines.insert(target->lines.begin() + static_cast<std::ptrdiff_t>(after),
                         std::move(line));
    target->keys.emplace(AsciiLower(name), after);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::Save() {
    const std::string text = Text();
    if (on_disk_ && text == saved_text_)
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
        StagedFile staged(Utf8Path(target), "." + FileNamePart(Utf8Path(target)) + "-");
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
    saved_text_ = text;
    on_disk_ = true;
}

}  // namespace grix
