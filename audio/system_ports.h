// Small ports to the system: the Windows version, starting a program, and
// the program's own WAVE resources.
#pragma once

#include <string>

namespace talvio {

class OsVersion {
public:
    virtual ~OsVersion() = default;
    virtual unsigned majorVersion() = 0;  // GetVersionExW
};

// GetVersionExW through the platform; the version the manifest admits,
// which is what the choice between the old and new sound settings needs.
// Lives for the whole process.
OsVersion& SystemOsVersion();

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // WinExec(commandLine, SW_SHOWNORMAL) with an ANSI command line; does not
    // wait. The WinExec result (above 31 on success).
    virtual unsigned winExec(const std::string& ansiCommandLine) = 0;
};

class WaveResources {
public:
    virtual ~WaveResources() = default;
    // The bytes of resource `id` of type "WAVE" in the program's module; they
    // stay valid for the process's life. False when it cannot be found or
    // loaded.
    virtual bool find(int id, const void** data, int* size) = 0;
};

}  // namespace talvio
