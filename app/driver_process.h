// The main program's life: single-instance test, hidden quit window,
// start-up of every subsystem in a fixed order, the one message loop, and
// the shutdown. One object per process, on the main thread, which owns
// every window of the program.
#pragma once

#include <optional>
#include <string_view>

#include "app/connector_audio.h"
#include "app/quit_window.h"
#include "audio/audio_speaker_volume.h"
#include "connectors/connector_service.h"
#include "handset_ui/call/keypad_controller.h"
#include "handset_ui/call/lcd_controller.h"
#include "platform/unique.h"
#include "settings/app_settings.h"
#include "settings/registry.h"
#include "tray/tray_application.h"
#include "ui/locale_table.h"
#include "update/version_check.h"
#include "update/web_browser.h"

namespace talvio {

class DriverProcess {
public:
    static constexpr std::wstring_view kMutexName = L"OrvaneMutex20061221";
    static constexpr int kAlreadyRunning = -1;

    explicit DriverProcess(void* instance) : instance_(instance) {}
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;

    // Everything before the message loop. Returns the exit code when the
    // process must leave instead of running; nothing is left to shut down then.
    std::optional<int> start();
    // Until WM_QUIT; returns its exit code.
    int runMessageLoop();
    void shutDown();

    const QuitWindow& quitWindow() const { return quitWindow_; }

private:
    bool initialiseSubsystems();
    void releaseProcessObjects();

    void* instance_;
    os::Handle instanceMutex_;
    QuitWindow quitWindow_;
    LocaleTable locale_;
    AppSettings settings_{SystemRegistry(), &locale_};
    ConnectorAudio connectorAudio_;
    // The tray starts and polls it; it ends its worker when it goes, after the tray.
    VersionCheck versionCheck_{UpdateServerClient(), ProgramUpdateServer(), settings_, SystemWebBrowser()};
    // The service's tray and the controller's indicator and popup: declared
    // before both so that it outlives them. It uses the service from Init on.
    TrayApplication tray_{locale_, settings_, connectors_, Audio_SpeakerVolume(), versionCheck_};
    // Made once the registry exists; declared before the service, which
    // holds them as its listener, so that they outlive the service.
    std::optional<KeypadController> keypad_;
    std::optional<LcdController> lcd_;
    // After the settings it reads; its connectors go before them.
    ConnectorService connectors_{&settings_, ServiceHandset::Link(), tray_, connectorAudio_};
};

// The whole run: start, loop, shutdown. Returns the process exit code.
int RunDriverProcess(void* instance);

}  // namespace talvio
