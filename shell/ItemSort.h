// The arrange orders of the desktop menu: the key each row sorts by, and
// the stable ascending sort of the item list by those keys.
#pragma once

#include "shell/ShortcutList.h"

#include <string>
#include <string_view>

namespace velmora {

// The column a sort type sorts by: "STRING" 1 (type), "NUMBER" 2 (size),
// "DATE" 3 (modified date), anything else 4 (file name). Any case.
size_t SortColumn(std::string_view type);

// The text a cell sorts by. "NUMBER": a number as 30 digits, ".", 30 digits
// ("&" and the digits complemented for a negative one); "DATE": a date as
// 14 digits, year to second; "" for a cell that is neither. Other types:
// the cell itself.
std::string SortKey(std::string_view type, std::string_view cell);

// Each digit d turned into 9 - d, "-" into " "; other characters kept.
std::string ToSortableNumber(std::string_view text);

// The sort type of an arrange entry of the desktop menu (shell/MenuIndex):
// "NUMBER" by size, "STRING" by type, "DATE" by date, "" by name.
const char* ArrangeSortType(int arrangeIndex);

// SotrListView: the rows sorted ascending by the key of their sort column
// (text compared without regard to letter case), keeping the order of equal
// rows. Rows without the column have the empty key and come first. The
// cells themselves are left as they were.
void SotrListView(ShortcutList& list, std::string_view type);

}  // namespace velmora
