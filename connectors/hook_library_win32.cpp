#include "platform/win32/windows_api.h"

#include "connectors/hook_library.h"
#include "platform/win32/handles.h"
#include "settings/program_files.h"

namespace talvio {
namespace {

// The library's one export: the client's window in, the hook out.
using InsertDllProc = HHOOK(__cdecl*)(HWND window);

class MappedBlock final : public SharedHookBlock {
public:
    explicit MappedBlock(HANDLE mapping) : mapping_(mapping) {}
    ~MappedBlock() override { CloseHandle(mapping_); }

private:
    HANDLE mapping_;
};

class SystemLibrary final : public HookLibrary {
public:
    std::unique_ptr<SharedHookBlock> PublishWindow(os::Hwnd window) override {
        HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           kHookBlockSize, std::wstring(kHookBlockName).c_str());
        if (mapping == nullptr) return nullptr;
        auto block = std::make_unique<MappedBlock>(mapping);
        void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
        if (view == nullptr) return nullptr;
        // Window handles are 32-bit values on every Windows the clients run on.
        const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
        auto* bytes = static_cast<std::uint8_t*>(view);
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
        UnmapViewOfFile(view);
        return block;
    }

    std::uintptr_t InsertHook(os::Hwnd target) override {
        const std::wstring directory = ProgramDirectory();
        // Without the program's folder a bare name would go through the
        // search order (current folder, PATH): no library then.
        if (directory.empty()) return 0;
        const std::wstring path = directory + std::wstring(kHookLibraryName);
        // The altered search path makes the library's own imports resolve
        // from its folder first, not from the current one.
        HMODULE library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (library == nullptr) return 0;
        const auto insert = reinterpret_cast<InsertDllProc>(
            reinterpret_cast<void*>(GetProcAddress(library, "InsertDll")));
        if (insert == nullptr) return 0;
        return reinterpret_cast<std::uintptr_t>(insert(os::win32::ToHwnd(target)));
    }

    void RemoveHook(std::uintptr_t hook) override {
        if (hook != 0) UnhookWindowsHookEx(reinterpret_cast<HHOOK>(hook));
    }
};

}  // namespace

HookLibrary& SystemHookLibrary() {
    static SystemLibrary library;
    return library;
}

}  // namespace talvio
