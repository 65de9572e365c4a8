// A function a system DLL exports, found at run time as the type it has: the
// calling convention is part of that type (WINAPI), so the 32-bit program
// calls it as the DLL expects.
#pragma once

#include <windows.h>

namespace velmora {

// `name` is the export's name, or its ordinal through MAKEINTRESOURCEA.
// Null when the library or the export is missing.
template <typename Function>
Function FindSystemFunction(HMODULE library, LPCSTR name) {
  const FARPROC found = library ? ::GetProcAddress(library, name) : nullptr;
  // Through a plain function pointer: a cast straight from FARPROC may not
  // change the function's type.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace velmora
