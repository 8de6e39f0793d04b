#include "settings/memory_registry.h"

namespace talvio {

Registry& SystemRegistry() {
    static MemoryRegistry registry;
    return registry;
}

}  // namespace talvio
