// The text model: the file held once as text, its lines and sections as
// offsets into it, and the tables that find first sections and keys.
#include <algorithm>
#include <utility>

#include "core/ini_file.h"
#include "core/ini_syntax.h"
#include "core/platform.h"
#include "core/text.h"

namespace grix {

using namespace ini;

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

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

}  // namespace grix
