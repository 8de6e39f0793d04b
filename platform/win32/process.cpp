#include "platform/win32/handles.h"

namespace os {

void* GetModuleHandle() { return GetModuleHandleW(nullptr); }

std::wstring GetModuleFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return {};
        // A truncated path fills the whole buffer.
        if (length < size) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool GetVersionEx(OsVersionInfo& info) {
    OSVERSIONINFOW native{};
    native.dwOSVersionInfoSize = sizeof native;  // 276 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&native)) return false;
#pragma GCC diagnostic pop
    info.majorVersion = native.dwMajorVersion;
    info.minorVersion = native.dwMinorVersion;
    info.buildNumber = native.dwBuildNumber;
    return true;
}

std::uint32_t GetTickCount() { return ::GetTickCount(); }
void Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t GetLastError() { return ::GetLastError(); }
void SetLastError(std::uint32_t error) { ::SetLastError(error); }

}  // namespace os
