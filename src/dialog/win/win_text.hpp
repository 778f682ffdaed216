// Text at the Win32 boundary: Shift-JIS bytes inside Korvane, UTF-16 in every W function.
//
// Conversions use code page 932 explicitly, never the machine's ANSI code page, so the dialog
// shows and returns the same bytes on a Windows set to any language.
#pragma once

#include <string>
#include <string_view>

namespace Unit1 {

// The Shift-JIS text as UTF-16. A byte sequence that code page 932 does not define becomes the
// system's replacement character; the conversion never fails.
std::wstring Cp932ToWide(std::string_view text);

// The UTF-16 text as code page 932 bytes. Characters the code page cannot hold become "?":
// no best-fit mapping, which could turn a character into a different, plausible-looking one.
std::string WideToCp932(std::wstring_view text);

// True for an http:// or https:// address: only such an address is ever handed to the shell.
bool IsWebAddress(std::wstring_view address);

}  // namespace Unit1
