#include "app/driver_process.h"

#include "platform/win32/windows_api.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return talvio::RunDriverProcess(instance);
}
