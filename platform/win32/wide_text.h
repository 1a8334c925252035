// UTF-8 <-> UTF-16 for the W functions, and the system's wording of an error.
#pragma once

#include <string>
#include <string_view>

namespace poroten::platform::win32 {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

// The system's message for a GetLastError code, on one line, in UTF-8.
std::string systemErrorText(unsigned long code);

}  // namespace poroten::platform::win32
