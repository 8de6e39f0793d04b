// Conversions between UTF-8, UTF-16 (held in std::wstring code units on every
// platform) and the system ANSI code page. The Windows build uses the system
// converters; the hosted build uses our own UTF-8 codec and Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace talvio {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
std::string WideToAnsi(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view ansi);

// Appends the UTF-8 bytes of one Unicode scalar value (not a surrogate, at
// most U+10FFFF); the caller checks.
void AppendUtf8(std::string& out, char32_t codePoint);

// Between UTF-8 and the system ANSI code page. A byte below 0x40 is a
// character of its own in every Windows ANSI page (no double-byte trail
// byte is that low), so AnsiToUtf8 converts the runs between such bytes
// separately: a broken double-byte sequence can never swallow the space or
// comma after it. Characters the page lacks become its default character.
std::string AnsiToUtf8(std::string_view ansi);
// Every byte below 0x80: the same text in UTF-8 and in any ANSI page.
bool IsAscii(std::string_view text);
std::string Utf8ToAnsi(std::string_view utf8);

// Wide literal of code units from a UTF-8 literal, for text outside ASCII
// (wchar_t is 32-bit on Linux, so L"..." cannot be relied on there).
inline std::wstring W(std::string_view utf8) { return Utf8ToWide(utf8); }

}  // namespace talvio
