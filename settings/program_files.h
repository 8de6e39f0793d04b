// Where the program's data files live: the running executable's directory
// (on the hosted backend, the directory of the module file name a test sets).
// Header-only so the locale table can use it without linking settings.
#pragma once

#include <string>

#include "platform/platform.h"

namespace talvio {

// The executable's path up to and including its last separator.
inline std::wstring ProgramDirectory() {
    std::wstring path = os::GetModuleFileName();
    const std::size_t cut = path.find_last_of(L"\\/");
    path.resize(cut == std::wstring::npos ? 0 : cut + 1);
    return path;
}

inline std::wstring ProgramFilePath(const std::wstring& fileName) {
    return ProgramDirectory() + fileName;
}

}  // namespace talvio
