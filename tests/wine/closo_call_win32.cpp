// Loads Closo.dll the way an installer does (by name, then the export by
// name), calls vxClosoApp and reports its result. Exit code 0 when the
// broadcast completed, 1 when it did not, 2 when the library or its export
// is missing.
#include <windows.h>

#include <cstdio>

int main() {
    HMODULE library = LoadLibraryW(L"Closo.dll");
    if (!library) {
        std::fprintf(stderr, "closo_call: cannot load Closo.dll (error %lu)\n", GetLastError());
        return 2;
    }
    using CloseApp = int (*)();
    const auto closeApp = reinterpret_cast<CloseApp>(
        reinterpret_cast<void*>(GetProcAddress(library, "vxClosoApp")));
    if (!closeApp) {
        std::fprintf(stderr, "closo_call: Closo.dll has no export vxClosoApp\n");
        FreeLibrary(library);
        return 2;
    }
    const int result = closeApp();
    std::printf("vxClosoApp returned %d\n", result);
    FreeLibrary(library);
    return result != 0 ? 0 : 1;
}
