// The narrow seams the connector service calls into subsystems that are
// not the connectors' own: the tray's state icons, the audio service, the
// handset link, the LCD screen and the call controllers. Each port has a
// default that the program uses until its subsystem installs a real one;
// tests install fakes. Ports are not owned by the service and must outlive
// it. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "connectors/call_event_listener.h"
#include "platform/platform.h"

namespace talvio {

class DirectoryView;
class HandsetEventSink;
class LcdScreen;

// Tray states and the audio set-up timer of the application object. The
// default does nothing and answers 0.
class ServiceTray {
public:
    static ServiceTray& None();
    virtual int SetTrayReady() { return 0; }
    virtual int SetTrayNoClient() { return 0; }
    virtual int SetTrayNoDevice() { return 0; }
    virtual void StartAudioSetupTimer() {}

protected:
    ~ServiceTray() = default;
};

// What the service needs of the audio service. The default has no ring
// tones, plays nothing and reads the speaker volume as unreadable.
class ServiceAudio {
public:
    static constexpr int kUnreadableVolume = 32768;

    static ServiceAudio& None();
    // The ring-tone file of entry `index`; none when the index has none.
    virtual std::optional<std::wstring> GetRingTonePath(int index) {
        (void)index;
        return std::nullopt;
    }
    virtual void PlayKeyTone(int resource, int mode) { (void)resource, (void)mode; }
    virtual void PublishDeviceNames() {}
    virtual int GetSpeakerVolume() { return kUnreadableVolume; }
    virtual void SetSpeakerVolume(int volume) { (void)volume; }

protected:
    ~ServiceAudio() = default;
};

// The handset link as the service uses it; the default calls HandsetLink_*.
class ServiceHandset {
public:
    static ServiceHandset& Link();
    virtual void Start(HandsetEventSink* sink);
    virtual void Stop();
    virtual bool IsPresent();
    virtual int GetModel();  // 0 without a handset
    virtual LcdScreen* GetScreen();

protected:
    ~ServiceHandset() = default;
};

// The part of the LCD screen the connectors drive. The handset screen
// implements it beside LcdScreen; the service finds it on the screen the
// handset link owns.
class DirectoryScreen {
public:
    virtual void SetDirectoryView(DirectoryView* view) = 0;
    virtual void ShowLogoText(const std::wstring& text) = 0;
    virtual void ShowDialText(const std::wstring& text) = 0;
    virtual void ShowMuteState(bool muted) = 0;
    virtual void ShowFocusedContact(int connectorId, const std::wstring& handle) = 0;
    virtual void RefreshPage(int pageCode) = 0;
    // Watches an old client's window for caller names (null: stop watching).
    virtual void StartCallerIdHook(os::Hwnd clientWindow) { (void)clientWindow; }

protected:
    ~DirectoryScreen() = default;
};

// The caller-id watcher of an old client's window (the hook agent): until it
// is deleted it posts the caller texts it sees to `notifyWindow` as message
// 1260. Deleting it stops it and waits for its thread.
class CallerIdWatcher {
public:
    virtual ~CallerIdWatcher() = default;
};
using CallerIdWatcherFactory = std::unique_ptr<CallerIdWatcher> (*)(os::Hwnd notifyWindow,
                                                                    os::Hwnd targetWindow);

// A call controller for one handset model: the listener of the connectors'
// call events while a handset of that model is connected.
class HandsetCallController : public CallEventListener {
public:
    virtual int Model() const = 0;
    virtual void HandleEvent(int code) = 0;
    virtual void OnServiceNotice(int a, int b) = 0;
    virtual void OnServiceNotice1(int a) = 0;
    // The handset link is about to stop.
    virtual void OnStop() = 0;
    // The user changed the settings (the tray application's ApplySettings).
    virtual void OnSettingsChanged() = 0;

protected:
    ~HandsetCallController() = default;
};

}  // namespace talvio
