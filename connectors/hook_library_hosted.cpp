#include "connectors/hook_library.h"

namespace talvio {
namespace {

class NoLibrary final : public HookLibrary {
public:
    std::unique_ptr<SharedHookBlock> PublishWindow(os::Hwnd) override { return nullptr; }
    std::uintptr_t InsertHook(os::Hwnd) override { return 0; }
    void RemoveHook(std::uintptr_t) override {}
};

}  // namespace

HookLibrary& SystemHookLibrary() {
    static NoLibrary library;
    return library;
}

}  // namespace talvio
