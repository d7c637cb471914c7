// Text conversion. Typed text is UTF-8 on every system: names, notes and paths travel through the program as UTF-8 bytes
// in std::string. The crossword pack wants UTF-16 code units; settings
// files written on Cyrillic Windows systems arrive in Windows-1251.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace grix {

// UTF-8 to UTF-16 code units. A character outside the Basic Multilingual
// Plane becomes a surrogate pair. Each byte that does not start a valid
// sequence becomes U+FFFD, so damaged text still packs and stays visible.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t c);

// Windows-1251 (Cyrillic) bytes to UTF-8.
std::string Cp1251ToUtf8(std::string_view bytes);

// Text from a file that may predate UTF-8: kept when it is valid UTF-8,
// otherwise read as Windows-1251.
std::string DecodeLegacyText(std::string_view bytes);

// Length of the UTF-8 sequence a lead byte starts (1 for ASCII and for a
// byte that cannot lead a sequence), capped by the bytes available.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

}  // namespace grix
