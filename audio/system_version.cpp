#include "audio/system_ports.h"

#include "platform/platform.h"

namespace talvio {
namespace {

class PlatformVersion final : public OsVersion {
public:
    unsigned majorVersion() override {
        os::OsVersionInfo info;
        return os::GetVersionEx(info) ? info.majorVersion : 0;
    }
};

}  // namespace

OsVersion& SystemOsVersion() {
    static PlatformVersion version;
    return version;
}

}  // namespace talvio
