// The program's module handle, stored once at start-up and read by class
// registration, window creation and the resource loaders. Main thread only.
#pragma once

namespace talvio {

void SetModuleInstance(void* instance);
void* ModuleInstance();  // the running module's own handle until one is stored

}  // namespace talvio
