#include "shell/ItemIdList.h"

#include <cstring>

namespace velmora {

uint16_t GetItemIdSize(const uint8_t* id) {
  return id ? static_cast<uint16_t>(id[0] | id[1] << 8) : 0;
}

const uint8_t* GetNextItemId(const uint8_t* id) {
  const uint16_t size = GetItemIdSize(id);
  return size ? id + size : nullptr;
}

int GetItemIdCount(const uint8_t* list) {
  int count = 0;
  for (const uint8_t* id = list; id && GetItemIdSize(id) != 0; id = GetNextItemId(id)) ++count;
  return count;
}

bool IsDesktopPidl(const uint8_t* list) { return list && GetItemIdSize(list) == 0; }

uint8_t* GetItemIdCopy(const uint8_t* list, int n, const std::function<void*(size_t)>& allocate) {
  const int count = GetItemIdCount(list);
  if (count == 0) return nullptr;
  if (n < 1 || n > count) n = count;
  const uint8_t* id = list;
  for (int i = 1; i < n; ++i) id = GetNextItemId(id);
  const uint16_t size = GetItemIdSize(id);
  auto* copy = static_cast<uint8_t*>(allocate(size_t{size} + 2));
  if (!copy) return nullptr;
  std::memcpy(copy, id, size);
  copy[size] = copy[size + 1] = 0;
  return copy;
}

}  // namespace velmora
