#include "app/driver_process.h"

#include <exception>

#include "app/common_controls.h"
#include "audio/audio_service.h"
#include "connectors/hook_agent.h"
#include "foundation/trace_log.h"
#include "handset_ui/screen/handset_screen.h"
#include "ui/control_texts.h"
#include "ui/module_instance.h"

namespace talvio {

std::optional<int> DriverProcess::start() {
    instanceMutex_.reset(os::CreateMutex(true, kMutexName.data()));
    if (!instanceMutex_) return 0;
    if (os::GetLastError() == os::ERROR_ALREADY_EXISTS) {
        instanceMutex_.reset();
        return kAlreadyRunning;
    }

    SetModuleInstance(instance_);

    // A copy whose mutex is gone but whose window still answers is still running.
    if (os::FindWindowEx(nullptr, nullptr, QuitWindow::kClassName.data(), QuitWindow::kTitle.data())) {
        instanceMutex_.reset();
        return 0;
    }

    if (!quitWindow_.createHidden()) {
        instanceMutex_.reset();
        return 0;
    }

    if (!initialiseSubsystems()) {
        releaseProcessObjects();
        return 0;
    }
    return std::nullopt;
}

// Each subsystem starts in this order; the first failure ends the start-up.
bool DriverProcess::initialiseSubsystems() {
    InitialiseCommonControls();
    if (!tray_.Init(instance_)) return false;  // locale.xml, the settings, the tray icon
    SetControlTextLookup([this](int id) { return locale_.text(id); });
    Audio_Start({.ports = SystemAudioPorts(), .settings = &settings_});
    if (!connectors_.Registry().CreateConnectors()) return false;
    Audio_SetConnectors(&connectors_.Registry());  // for the device names
    keypad_.emplace(connectors_.Registry(), tray_.Indicator(), tray_.Popup());
    connectors_.AddController(&*keypad_);
    lcd_.emplace(connectors_.Registry(), tray_.Indicator(), tray_.Popup());
    connectors_.AddController(&*lcd_);
    InstallHandsetScreen({.locale = &locale_, .watcherFactory = &StartHookAgent});
    connectors_.StartHandsetLink();
    connectors_.Registry().StartAll();  // and activates the settings' program
    return true;
}

int DriverProcess::runMessageLoop() {
    os::Msg message;
    // GetMessage answers -1 on failure; treating that as a message would spin forever.
    while (os::GetMessage(message) > 0) {
        os::TranslateMessage(message);
        os::DispatchMessage(message);
    }
    return message.message == os::WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

// The reverse of the start-up, subsystem by subsystem, then the process objects.
void DriverProcess::shutDown() {
    connectors_.ShutdownHandset();
    Audio_Shutdown();  // after the link: the player's completion calls it
    settings_.Save();  // also the autostart value
    SetControlTextLookup({});
    releaseProcessObjects();
}

void DriverProcess::releaseProcessObjects() {
    instanceMutex_.reset();
    if (quitWindow_.window()) os::DestroyWindow(quitWindow_.window());
}

int RunDriverProcess(void* instance) {
    try {
        DriverProcess process(instance);
        if (const std::optional<int> exitCode = process.start()) return *exitCode;
        const int exitCode = process.runMessageLoop();
        process.shutDown();
        return exitCode;
    } catch (const std::exception& error) {
        TraceLog::global().trace(3, "TalvioDriver stopped by an exception: %s", error.what());
    } catch (...) {
        TraceLog::global().trace(3, "TalvioDriver stopped by an unknown exception");
    }
    return 0;
}

}  // namespace talvio
