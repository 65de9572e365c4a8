// The shell's item-id lists as bytes: a list is a run of item ids, each
// starting with a 2-byte size that counts the whole id with the field
// itself, ended by a 2-byte zero. These read and copy them without the
// system; the shell's side is in ItemContextMenu.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace velmora {

// The size field of the item id at `id` (0 for null).
uint16_t GetItemIdSize(const uint8_t* id);
// The item id after `id`, or null when `id`'s size is 0 (the terminator).
const uint8_t* GetNextItemId(const uint8_t* id);
// How many item ids come before the terminator.
int GetItemIdCount(const uint8_t* list);
// True for the desktop's own list: present, its first size 0.
bool IsDesktopPidl(const uint8_t* list);
// A new list holding item n of `list` (1-based; -1 or a number above the
// count means the last) and a terminator, in memory from `allocate`; null
// when the list is empty or allocation fails.
uint8_t* GetItemIdCopy(const uint8_t* list, int n, const std::function<void*(size_t)>& allocate);

}  // namespace velmora
