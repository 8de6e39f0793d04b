// Drives the Skype client's own windows for what its API lacks (or lacked
// in older versions): the dial field, pop-ups, the main window's tabs. The
// client's windows are found through the process of the attached client's
// API window; nothing works while no client is attached.
//
// Main thread only. Keystrokes are synthesised (1 ms pause after each key
// event) after the target was brought to the foreground. Window messages
// that need an answer are sent with a 2000 ms time-out and abort-if-hung;
// the rest are posted.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace talvio {

// What the automation needs from its connector (SkypeConnector). Not owned;
// outlives the automation.
class SkypeAutomationHost {
public:
    virtual os::Hwnd AttachedClientWindow() const = 0;  // null while unattached
    virtual const std::string& AttachedClientVersion() const = 0;
    virtual bool HasCallUnderway() const = 0;  // a live call with status 2..5
    virtual void SendClientButton(std::string_view name) = 0;  // PressButton
    virtual void SendClientCommand(std::string_view command) = 0;  // sent at once
    virtual void StepClientView() = 0;  // NextView

protected:
    ~SkypeAutomationHost() = default;
};

class SkypeWindowAutomation {
public:
    static constexpr std::uint32_t kSendTimeoutMs = 2000;
    static constexpr int kMaxDialText = 1024;

    explicit SkypeWindowAutomation(SkypeAutomationHost& host) : host_(host) {}

    // Drops the cached handles (on attach), so the next use looks them up.
    void Forget();

    // The cached handle while it is still a window, else looked up again.
    os::Hwnd MainWindow();
    os::Hwnd DialField();
    os::Hwnd TabControl();
    int CurrentTab();  // -1 without main window or tab control
    void SelectTab(os::Hwnd tabControl, int target);
    os::Hwnd TopPopup();  // null when there is none

    // Connector operations.
    void Backspace();
    void ClearDialText();
    // At most `size` characters; false (and text empty) unless the field
    // held dialable text: digits, '#', '*', '+'.
    bool GetDialText(std::wstring& text, int size);
    int SetDialText(std::wstring_view text);
    bool CloseTopPopup();
    bool IsMainWindowShown();
    void HideMainWindow();
    void MoveFocus(int steps);
    void ShowContacts();
    void ShowCallHistory();

private:
    os::Hwnd LookUpMainWindow();
    os::Hwnd LookUpDialField(os::Hwnd main);
    // "FOCUS", then the view's command, or on older clients its tab.
    void ShowView(std::string_view command, int oldTab, int olderTab);

    SkypeAutomationHost& host_;
    os::Hwnd mainWindow_ = nullptr;
    os::Hwnd dialField_ = nullptr;
};

}  // namespace talvio
