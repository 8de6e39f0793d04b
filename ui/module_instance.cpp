#include "ui/module_instance.h"

#include "platform/platform.h"

namespace talvio {
namespace {
void* storedInstance = nullptr;
}

void SetModuleInstance(void* instance) { storedInstance = instance; }

void* ModuleInstance() { return storedInstance ? storedInstance : os::GetModuleHandle(); }

}  // namespace talvio
