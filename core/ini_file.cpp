#include "core/ini_file.h"

#include <algorithm>
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

namespace {

constexpr std::string_view kEols[] = {"", "\n", "\r\n"};

std::uint32_t NameHash(std::string_view folded) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (const char c : folded) {
        h ^= static_cast<std::uint8_t>(c);
        h *= 16777619u;
    }
    return h;
}

std::uint64_t TextHash(std::string_view text) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : text) {
        h ^= static_cast<std::uint8_t>(c);
        h *= 1099511628211ull;
    }
    return h;
}

bool IsHeader(std::string_view text) {
    const std::size_t start = SkipBlanks(text, 0);
    return start < text.size() && text[start] == '[';
}

// The name of a section header line, trimmed.
std::string_view HeaderName(std::string_view text) {
    const std::size_t start = SkipBlanks(text, 0);
    std::size_t close = text.find(']', start);
    if (close == std::string_view::npos)
        close = text.size();
    return Trim(text.substr(start + 1, close - start - 1));
}

struct KeyParts {
    std::size_t key_begin = 0, key_end = 0, value_begin = 0, value_end = 0;
};

// Where the name and the value of a key line lie. Comment lines are never
// keys, whatever they contain; nor are section headers.
std::optional<KeyParts> ParseKeyLine(std::string_view text) {
    const std::size_t start = SkipBlanks(text, 0);
    if (start >= text.size() || text[start] == ';' || text[start] == '#' || text[start] == '[')
        return std::nullopt;
    const std::size_t equals = text.find('=', start);
    if (equals == std::string_view::npos)
        return std::nullopt;
    KeyParts parts;
    parts.key_begin = start;
    parts.key_end = TrimEnd(text, start, equals);
    if (parts.key_end == start)
        return std::nullopt;
    parts.value_begin = SkipBlanks(text, equals + 1);
    parts.value_end = TrimEnd(text, parts.value_begin, text.size());
    return parts;
}

std::string_view KeyName(std::string_view text, const KeyParts& parts) {
    return text.substr(parts.key_begin, parts.key_end - parts.key_begin);
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

std::string_view IniFile::TextOf(const Line& line) const {
    return std::string_view(store_).substr(line.begin, line.length);
}

std::string_view IniFile::NameOf(const Section& section) const {
    return std::string_view(store_).substr(section.name_begin, section.name_length);
}

std::uint32_t IniFile::Store(std::string_view text) {
    // Offsets are 32-bit: the file is at most 16 MB, and what is written
    // into it in one session is a few kilobytes.
    if (store_.size() + text.size() > 0xFFFFFFFFu)
        throw EIniFileException("Unable to write to " + path_);
    const auto at = static_cast<std::uint32_t>(store_.size());
    store_ += text;
    return at;
}

void IniFile::Insert(std::vector<Slot>& table, std::size_t& count, const Slot& slot) {
    if ((count + 1) * 2 > table.size()) {
        std::vector<Slot> grown(std::max<std::size_t>(16, table.size() * 2));
        for (const Slot& old : table) {
            if (old.section == kEmptySlot)
                continue;
            std::size_t at = old.hash & (grown.size() - 1);
            while (grown[at].section != kEmptySlot)
                at = (at + 1) & (grown.size() - 1);
            grown[at] = old;
        }
        table = std::move(grown);
    }
    std::size_t at = slot.hash & (table.size() - 1);
    while (table[at].section != kEmptySlot)
        at = (at + 1) & (table.size() - 1);
    table[at] = slot;
    ++count;
}

void IniFile::IndexSection(std::uint32_t section, std::uint32_t hash) {
    Insert(section_table_, section_count_, Slot{hash, section, 0});
}

void IniFile::IndexKey(std::uint32_t section, std::uint32_t line, std::uint32_t hash) {
    // Keys of different sections share the table; mixing the section in
    // keeps the same name in many sections from piling up in one place.
    Insert(key_table_, key_count_, Slot{hash ^ (section * 0x9E3779B9u), section, line});
}

std::optional<std::uint32_t> IniFile::FindSectionIndex(std::string_view folded,
                                                       std::uint32_t hash) const {
    if (section_table_.empty())
        return std::nullopt;
    const std::size_t mask = section_table_.size() - 1;
    for (std::size_t at = hash & mask; section_table_[at].section != kEmptySlot;
         at = (at + 1) & mask) {
        const Slot& slot = section_table_[at];
        if (slot.hash == hash && AsciiLower(NameOf(sections_[slot.section])) == folded)
            return slot.section;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> IniFile::FindKeyLine(std::uint32_t section, std::string_view folded,
                                                  std::uint32_t hash) const {
    if (key_table_.empty())
        return std::nullopt;
    const std::uint32_t mixed = hash ^ (section * 0x9E3779B9u);
    const std::size_t mask = key_table_.size() - 1;
    for (std::size_t at = mixed & mask; key_table_[at].section != kEmptySlot;
         at = (at + 1) & mask) {
        const Slot& slot = key_table_[at];
        if (slot.hash != mixed || slot.section != section)
            continue;
        const std::string_view text = TextOf(sections_[section].lines[slot.line]);
        const std::optional<KeyParts> parts = ParseKeyLine(text);
        if (parts && AsciiLower(KeyName(text, *parts)) == folded)
            return slot.line;
    }
    return std::nullopt;
}

void IniFile::Parse(std::string_view text) {
    sections_.assign(1, Section{});
    section_table_.clear();
    section_count_ = 0;
    key_table_.clear();
    key_count_ = 0;
    hidden_section_ = false;
    bom_.clear();
    default_eol_.clear();
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bom_ = std::string(kUtf8Bom);
        text.remove_prefix(kUtf8Bom.size());
    }
    store_.assign(text.begin(), text.end());
    std::size_t at = 0;
    while (at < store_.size()) {
        const std::size_t newline = store_.find('\n', at);
        std::size_t end = newline == std::string::npos ? store_.size() : newline;
        std::uint8_t eol = 0;
        if (newline != std::string::npos) {
            const bool crlf = newline > at && store_[newline - 1] == '\r';
            eol = crlf ? 2 : 1;
            if (crlf)
                --end;
            if (default_eol_.empty())
                default_eol_ = std::string(kEols[eol]);
        }
        AddLine(static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(end - at), eol);
        at = newline == std::string::npos ? store_.size() : newline + 1;
    }
    // Constructed, then moved in: assigning the literal in place trips a false
    // -Wrestrict warning of GCC 12 at -O3.
    if (default_eol_.empty())
        default_eol_ = std::string(platform::TextLineEnd());
}

void IniFile::AddRaw(Section& section, const Line& line, bool joins_hidden_keys) {
    // Joined to the raw run before it when the two are neighbours in the
    // text: the run then covers both, line endings included.
    if (!section.lines.empty()) {
        Line& last = section.lines.back();
        if (last.kind != kKey && (joins_hidden_keys || last.kind == kRaw) &&
            last.begin + last.length + kEols[last.eol].size() == line.begin) {
            last.length = line.begin + line.length - last.begin;
            last.eol = line.eol;
            if (line.kind == kRawWithKey)
                last.kind = kRawWithKey;
            return;
        }
    }
    section.lines.push_back(line);
}

void IniFile::AddLine(std::uint32_t begin, std::uint32_t length, std::uint8_t eol) {
    const std::string_view text = std::string_view(store_).substr(begin, length);
    Line line{begin, length, eol, kRaw};
    // The lines before any section are found by no name; nor are those of
    // a section whose name came before (they join the section before it,
    // raw). Neither holds keys to look up.
    if (IsHeader(text)) {
        const std::string_view name = HeaderName(text);
        const std::string folded = AsciiLower(name);
        const std::uint32_t hash = NameHash(folded);
        if (FindSectionIndex(folded, hash)) {
            hidden_section_ = true;
            // Kept apart from a run with hidden keys of the section before:
            // new keys of that section go before this header.
            AddRaw(sections_.back(), line, false);
            return;
        }
        hidden_section_ = false;
        Section section;
        section.has_header = true;
        section.header = line;
        section.name_begin = static_cast<std::uint32_t>(name.data() - store_.data());
        section.name_length = static_cast<std::uint32_t>(name.size());
        sections_.push_back(std::move(section));
        IndexSection(static_cast<std::uint32_t>(sections_.size() - 1), hash);
        return;
    }
    Section& section = sections_.back();
    const std::optional<KeyParts> parts = ParseKeyLine(text);
    if (parts && section.has_header && !hidden_section_) {
        const std::string folded = AsciiLower(KeyName(text, *parts));
        const std::uint32_t hash = NameHash(folded);
        const auto index = static_cast<std::uint32_t>(sections_.size() - 1);
        if (FindKeyLine(index, folded, hash)) {
            line.kind = kRawWithKey;
        } else {
            line.kind = kKey;
            section.lines.push_back(line);
            IndexKey(index, static_cast<std::uint32_t>(section.lines.size() - 1), hash);
            return;
        }
    }
    AddRaw(section, line, true);
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

std::string IniFile::Text() const {
    std::string text = bom_;
    for (const Section& section : sections_) {
        if (section.has_header) {
            text += TextOf(section.header);
            text += kEols[section.header.eol];
        }
        for (const Line& line : section.lines) {
            text += TextOf(line);
            text += kEols[line.eol];
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

IniFile::Section& IniFile::AppendSection(std::string_view section) {
    // The last line of the file gets a line ending, and a blank line keeps
    // the new section apart from the one before it.
    Line* last = nullptr;
    for (auto it = sections_.rbegin(); it != sections_.rend() && last == nullptr; ++it) {
        if (!it->lines.empty())
            last = &it->lines.back();
        else if (it->has_header)
            last = &it->header;
    }
    if (last != nullptr) {
        if (last->eol == 0)
            last->eol = DefaultEol();
        // Of a raw run, only its last line counts.
        std::string_view text = TextOf(*last);
        const std::size_t newline = text.rfind('\n');
        if (newline != std::string_view::npos)
            text.remove_prefix(newline + 1);
        if (!Trim(text).empty()) {
            const std::uint32_t at = Store("");
            sections_.back().lines.push_back(Line{at, 0, DefaultEol(), kRaw});
        }
    }
    const std::string name(Trim(section));
    const std::string header = "[" + name + "]";
    Section added;
    added.has_header = true;
    added.header.begin = Store(header);
    added.header.length = static_cast<std::uint32_t>(header.size());
    added.header.eol = DefaultEol();
    added.name_begin = added.header.begin + 1;
    added.name_length = static_cast<std::uint32_t>(name.size());
    sections_.push_back(std::move(added));
    IndexSection(static_cast<std::uint32_t>(sections_.size() - 1), NameHash(AsciiLower(name)));
    return sections_.back();
}

// Splits the raw run at `index` after its last line that holds a hidden
// key; answers the index of the part after it (a new, key-free run).
std::size_t IniFile::SplitAfterHiddenKey(Section& section, std::size_t index) {
    Line& run = section.lines[index];
    const std::string_view text = TextOf(run);
    std::size_t cut = 0;  // just after the line ending of the last key line
    std::uint8_t cut_eol = 0;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t newline = text.find('\n', at);
        std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        const bool crlf = newline != std::string_view::npos && end > at && text[end - 1] == '\r';
        const std::size_t content_end = crlf ? end - 1 : end;
        if (ParseKeyLine(text.substr(at, content_end - at))) {
            cut = content_end;
            cut_eol = newline == std::string_view::npos ? run.eol : (crlf ? 2 : 1);
        }
        if (newline == std::string_view::npos)
            break;
        at = newline + 1;
    }
    const std::uint32_t rest_begin =
        run.begin + static_cast<std::uint32_t>(cut + kEols[cut_eol].size());
    const std::uint32_t run_end = run.begin + run.length;
    if (rest_begin > run_end ||
        (rest_begin == run_end && cut_eol == run.eol && cut == run.length)) {
        run.kind = kRawWithKey;
        return index + 1;  // the key line is the run's last
    }
    Line rest{rest_begin, run_end - rest_begin, run.eol, kRaw};
    run.length = static_cast<std::uint32_t>(cut);
    run.eol = cut_eol;
    section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(index + 1), rest);
    return index + 1;
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
    saved_length_ = text.size();
    saved_hash_ = TextHash(text);
    on_disk_ = true;
}

}  // namespace grix
