// An INI settings file that reads files written by earlier versions of the
// tool (and by hand) the way they were always read, and keeps their look
// when we write them back:
//
//   - section and key names match without regard to ASCII case; the first
//     section and the first key of a name win;
//   - blanks and tabs around names and values are not part of them;
//   - a line we do not write stays byte for byte as it was, a new key goes
//     after the last key of its section, a new section at the end of the file;
//   - values are plain text without quoting.
//
// Text is UTF-8. A value that is not valid UTF-8 comes from a file written on
// a Cyrillic Windows system and is read as Windows-1251.
//
// The whole file is held in memory: reads and writes work on that copy, and
// Save() replaces the file in one step (a temporary file beside it, renamed
// over it), so a crash or a full disk never leaves a half-written file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"

namespace grix {

// "Unable to write to <path>": the settings file could not be saved; or
// one too large to be read.
class EIniFileException : public Error {
  public:
    explicit EIniFileException(const std::string& message) : Error(message) {}
};

// Values longer than this many characters are cut when read, as the
// reference service does with its 2048-character buffer.
inline constexpr std::size_t kIniValueCharacterLimit = 2047;

// The number syntax of settings values: optional sign, then decimal digits,
// or hexadecimal digits after "$", "0x" or "0X". Decimal values must fit a
// signed 32-bit integer; hexadecimal ones up to FFFFFFFF wrap into it (so
// $FFFFFFFF is -1). Answers nothing for anything else.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

// A settings file is a few kilobytes; one beyond this is not read at all.
inline constexpr std::int64_t kMaxIniFileBytes = 16 * 1024 * 1024;

class IniFile {
  public:
    // Reads the file at `path`. A missing file reads as empty; it is created
    // by Save(). A file beyond kMaxIniFileBytes raises EIniFileException
    // ("Settings file <path> is larger than 16 MB"), any other failure to
    // read EFileError.
    explicit IniFile(std::string path);

    // An INI file with the given text that has not been read from disk
    // (`path` is where Save() writes).
    static IniFile FromText(std::string path, std::string_view text);

    const std::string& Path() const noexcept { return path_; }

    // The file's text as Save() would write it.
    std::string Text() const;

    bool ValueExists(std::string_view section, std::string_view key) const;

    // Reading answers `default_value` when the section or key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view default_value) const;
    // Also answers the default when the value does not parse.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t default_value) const;
    // True when the value's number is not 0.
    bool ReadBool(std::string_view section, std::string_view key, bool default_value) const;

    // Line breaks in `value` become blanks: a value is one line.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"

    // Writes the text to the file when it changed since it was read.
    // Raises EIniFileException("Unable to write to <path>") on failure, in
    // which case the file on disk is exactly as it was.
    void Save();

  private:
    // The file is held as one text, `store_`: the bytes read, then the text
    // of every line written since. Lines and sections are offsets into it,
    // and runs of lines that are never looked up (blank lines, comments,
    // keys a first key of their name hides, sections a first section of
    // their name hides) are one Line each, so that no file can make the
    // reader hold more than a small multiple of its size.
    enum LineKind : std::uint8_t {
        kRaw,         // nothing to look up
        kKey,         // the first key of its name in its section
        kRawWithKey,  // holds a hidden key: new keys still go after it
    };
    struct Line {
        std::uint32_t begin = 0;   // in store_
        std::uint32_t length = 0;  // without the line ending of its last line
        std::uint8_t eol = 0;      // that ending: 0 none, 1 "\n", 2 "\r\n"
        LineKind kind = kRaw;
    };
    struct Section {
        std::uint32_t name_begin = 0;  // the name as written, in store_
        std::uint32_t name_length = 0;
        bool has_header = false;  // false for the lines before any section
        Line header;
        std::vector<Line> lines;  // after the header
    };
    // Open-addressing tables of first sections and first keys by folded
    // name; a slot holds its entry's hash and where it lies.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t section = kEmptySlot;
        std::uint32_t line = 0;
    };
    static constexpr std::uint32_t kEmptySlot = 0xFFFFFFFF;

    IniFile(std::string path, std::string_view text, bool from_disk);
    void Parse(std::string_view text);
    void AddLine(std::uint32_t begin, std::uint32_t length, std::uint8_t eol);
    void AddRaw(Section& section, const Line& line, bool joins_hidden_keys);

    std::string_view TextOf(const Line& line) const;
    std::string_view NameOf(const Section& section) const;
    std::uint32_t Store(std::string_view text);
    std::uint8_t DefaultEol() const { return default_eol_ == "\r\n" ? 2 : 1; }

    std::optional<std::uint32_t> FindSectionIndex(std::string_view folded,
                                                  std::uint32_t hash) const;
    std::optional<std::uint32_t> FindKeyLine(std::uint32_t section, std::string_view folded,
                                             std::uint32_t hash) const;
    void IndexSection(std::uint32_t section, std::uint32_t hash);
    void IndexKey(std::uint32_t section, std::uint32_t line, std::uint32_t hash);
    static void Insert(std::vector<Slot>& table, std::size_t& count, const Slot& slot);

    const Line* FindKey(std::string_view section, std::string_view key) const;
    Section& AppendSection(std::string_view section);
    std::size_t SplitAfterHiddenKey(Section& section, std::size_t index);

    std::string path_;
    std::string bom_;          // a UTF-8 byte-order mark the file started with
    std::string default_eol_;  // the file's own line ending, for new lines
    std::string store_;
    std::vector<Section> sections_;  // sections_[0] holds the lines before any section
    std::vector<Slot> section_table_;
    std::size_t section_count_ = 0;
    std::vector<Slot> key_table_;
    std::size_t key_count_ = 0;
    bool hidden_section_ = false;  // while parsing: the lines belong to a hidden section
    // The text the file held when read or last saved, by length and hash.
    std::size_t saved_length_ = 0;
    std::uint64_t saved_hash_ = 0;
    bool on_disk_ = false;
};

}  // namespace grix
