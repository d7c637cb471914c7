// The order in which a folder's items are taken: names compared ordinally
// after upper-casing, the order NTFS keeps its directories in (and so the
// order a Windows directory search answers), applied everywhere so that
// every archive has the same entry order on every platform.
#pragma once

#include <string>
#include <string_view>

namespace grix {

// Upper-cases ASCII letters and the letters of Latin-1, Latin Extended-A,
// Greek and Cyrillic (simple one-to-one mappings, independent of the
// locale). Other bytes, including malformed UTF-8, are kept.
std::string FoldNameCase(std::string_view name);

// Byte-wise order of the folded names; names that fold alike are ordered
// by their own bytes so that the order is total.
bool NameLess(std::string_view a, std::string_view b);

}  // namespace grix
