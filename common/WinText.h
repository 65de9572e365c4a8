// Text at the system boundary: the program keeps UTF-8, the system's wide
// functions take UTF-16, and paths longer than the classic limit need the
// "\\?\" form.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
std::string Utf8(const wchar_t* wide);
// The text of a window or control, whole.
std::string WindowText(HWND window);

// A path for the wide file functions: as it is while it is short, in the
// "\\?\" form (made absolute and with backslashes) when it is too long for
// them otherwise or its name is a device's ("aux.lnk").
std::wstring SystemPath(std::string_view utf8Path);

// Text in the ANSI code page (older files) as UTF-8, and back. ToAnsi fails
// when a character has no exact form in the code page.
std::string AnsiToUtf8(std::string_view ansi);
bool Utf8ToAnsi(std::string_view utf8, std::string& ansi);

}  // namespace velmora
