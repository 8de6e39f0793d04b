#include "handset/handset_link.h"

#include <exception>
#include <memory>
#include <vector>

#include "foundation/mutex.h"
#include "handset/caller_text.h"
#include "handset/handset_device.h"
#include "handset/handset_factory.h"

namespace talvio {
namespace {

constexpr int kEnumerationLimit = 64;
constexpr std::uint32_t kClassStyle = 0x0001 | 0x0002 | 0x0008;  // CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS

struct LinkState {
    std::unique_ptr<HandsetDevice> device;
    HandsetEventSink* sink = nullptr;
    // Devices retired while a timer handler runs; deleted when it ends.
    std::vector<std::unique_ptr<HandsetDevice>> retired;
    int timerDepth = 0;
    // The codes of the outermost timer handler's poll, kept between polls.
    std::vector<int> raised;
    os::Hwnd window = nullptr;
    std::unique_ptr<HidNotification> notification;
    HidBus* bus = nullptr;
    bool busSet = false;
    HandsetAudio* audio = nullptr;
    LcdScreenFactory screenFactory = nullptr;
};

LinkState g_link;
HandsetAudio g_silentAudio;

// Never destroyed: the player thread's tone guard may take it at any time,
// even while or after the link stops, so no thread can meet a freed lock.
Mutex& DeviceMutex() {
    static Mutex* const mutex = new Mutex;
    return *mutex;
}

class DeviceLock {
public:
    DeviceLock() : hold_(DeviceMutex()) {}

    HandsetDevice* device() const { return g_link.device.get(); }

private:
    MutexLock hold_;
};

HandsetContext Context() { return {g_link.bus, g_link.window, g_link.screenFactory}; }

void RetireDevice() {
    std::unique_ptr<HandsetDevice> device;
    {
        DeviceLock lock;
        if (!g_link.device) return;
        g_link.device->Retire();
        device = std::move(g_link.device);
    }
    if (g_link.timerDepth > 0) g_link.retired.push_back(std::move(device));
}

void Enumerate() {
    if (g_link.bus == nullptr) return;
    std::unique_ptr<HidInterfaceList> list = g_link.bus->ListPresent();
    if (!list) return;
    std::vector<HidAttributes> found(kEnumerationLimit);
    for (int index = 0; index < kEnumerationLimit; ++index) {
        std::wstring path;
        const HidPathResult result = list->GetPath(index, path);
        if (result == HidPathResult::kNoInterface) continue;
        if (result == HidPathResult::kFailed) {
            list.reset();
            g_link.bus->ShowError(L"Could not find the system name for this HID device", L"Error");
            return;
        }
        g_link.bus->QueryAttributes(path, found[index]);
    }
    list.reset();

    if (g_link.device) {
        for (const HidAttributes& ids : found) {
            if (ids.vendorId == g_link.device->GetVendorId() &&
                ids.productId == g_link.device->GetProductId()) {
                return;
            }
        }
        if (g_link.sink) g_link.sink->OnDevicePresence(0, 0);
        RetireDevice();
    }

    for (const HidAttributes& ids : found) {
        if (ids.vendorId == 0) continue;
        std::unique_ptr<HandsetDevice> candidate = CreateHandset(ids.vendorId, ids.productId, Context());
        if (!candidate) continue;
        DeviceLock lock;
        g_link.device = std::move(candidate);
        if (g_link.device->Open() != -1) return;
        g_link.device->Retire();
        g_link.device.reset();
    }
}

void ReportPresence() {
    if (!g_link.sink) return;
    g_link.sink->OnDevicePresence(g_link.device ? 1 : 0, 0);
}

void OnTimer(std::uintptr_t id) {
    ++g_link.timerDepth;
    // A handler that pumps messages may poll again inside this one: that
    // inner poll gets a vector of its own.
    std::vector<int> nested;
    std::vector<int>& raised = g_link.timerDepth == 1 ? g_link.raised : nested;
    raised.clear();
    {
        DeviceLock lock;
        if (HandsetDevice* device = lock.device()) {
            if (id == kPollTimerId) device->Poll(g_link.sink != nullptr, raised);
            if (id == kSlowTimerId) device->OnSlowTimer();
        }
    }
    for (int code : raised) {
        if (g_link.sink) g_link.sink->OnHandsetEvent(code);
    }
    if (--g_link.timerDepth == 0) g_link.retired.clear();
}

void OnDeviceChange(os::WParam kind) {
    if (kind == kDeviceArrival) {
        if (!g_link.device) {
            Enumerate();
            if (g_link.device) ReportPresence();
        }
    } else if (kind == kDeviceRemoveComplete) {
        if (g_link.device) Enumerate();
        ReportPresence();
    }
}

void OnCallerText(os::LParam lParam) {
    const CallerTextBlock block = TakeCallerTextBlock(lParam);
    if (!block) return;
    std::wstring text;
    if (ParseCallerText(*block, text)) {
        DeviceLock lock;
        if (HandsetDevice* device = lock.device(); device && device->screen()) {
            device->screen()->OnCallerText(text);
        }
    }
}

void OnDestroy() {
    DeviceLock lock;
    if (!g_link.device) return;
    g_link.device->SetLightFlag(0);
    RetireDevice();
}

os::LResult HandleMessage(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                          os::LParam lParam) {
    switch (message) {
    case os::WM_TIMER:
        OnTimer(wParam);
        break;
    case os::WM_DEVICECHANGE:
        OnDeviceChange(wParam);
        break;
    case os::WM_DESTROY:
        OnDestroy();
        break;
    case kCallerTextMessage:
        OnCallerText(lParam);
        break;
    default:
        break;
    }
    return os::DefWindowProc(window, message, wParam, lParam);
}

os::LResult NotificationProc(os::Hwnd window, std::uint32_t message, os::WParam wParam,
                             os::LParam lParam) {
    if (message == os::WM_NCCREATE) {
        auto* create = reinterpret_cast<const os::CreateStruct*>(lParam);
        os::SetUserData(window, create->lpCreateParams);
    }
    if (os::GetUserData(window) != &g_link) return os::DefWindowProc(window, message, wParam, lParam);
    if (message == os::WM_NCDESTROY) os::SetUserData(window, nullptr);
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (const std::exception&) {
        // Out of memory inside a handler: the message is dropped, the link goes on.
        return 0;
    }
}

}  // namespace

void HandsetLink_SetBus(HidBus* bus) {
    g_link.bus = bus;
    g_link.busSet = true;
}

void HandsetLink_SetAudio(HandsetAudio* audio) { g_link.audio = audio; }

void HandsetLink_SetScreenFactory(LcdScreenFactory factory) { g_link.screenFactory = factory; }

void HandsetLink_Start(HandsetEventSink* sink) {
    if (g_link.window && os::IsWindow(g_link.window)) return;
    // A start without a stop before (a desktop that was torn down) left stale state.
    g_link.notification.reset();
    g_link.device.reset();
    if (!g_link.busSet) g_link.bus = SystemHidBus();
    if (!os::GetClassInfo(kNotificationWindowClass)) {
        os::WindowClass windowClass;
        windowClass.style = kClassStyle;
        windowClass.proc = NotificationProc;
        windowClass.instance = os::GetModuleHandle();
        windowClass.name = kNotificationWindowClass;
        os::RegisterClass(windowClass);
    }
    g_link.window = os::CreateWindowEx(0, kNotificationWindowClass, L"", 0, 0, 0, 0, 0, nullptr, 0,
                                       &g_link);
    if (g_link.bus && g_link.window) g_link.notification = g_link.bus->RegisterNotification(g_link.window);
    g_link.sink = sink;
    Enumerate();
    if (g_link.device && g_link.sink) g_link.sink->OnDevicePresence(1, 0);
}

void HandsetLink_Stop() {
    {
        // One hold of the lock from the release to the close: a tone guard
        // ending meanwhile cannot route the handset back to the PC.
        DeviceLock lock;
        if (HandsetDevice* device = lock.device()) device->SetAudioPath(0);
        RetireDevice();
    }
    g_link.notification.reset();
    if (g_link.window) os::DestroyWindow(g_link.window);
    g_link.window = nullptr;
    g_link.retired.clear();
    g_link.sink = nullptr;
}

os::Hwnd HandsetLink_GetWindow() { return g_link.window; }

int HandsetLink_IsPresent() {
    DeviceLock lock;
    return lock.device() ? 1 : 0;
}

int HandsetLink_GetModel() {
    DeviceLock lock;
    return lock.device() ? lock.device()->GetModelId() : 0;
}

void HandsetLink_SetSink(HandsetEventSink* sink) {
    DeviceLock lock;
    g_link.sink = sink;
}

int HandsetLink_SetAudioPath(int mode, int tone) {
    {
        DeviceLock lock;
        HandsetDevice* device = lock.device();
        if (!device) return -1;
        const int model = device->GetModelId();
        if (model < 8 || model > 11) {
            device->SetRingerMode(tone);
            return device->SetAudioPath(mode);
        }
        if (mode != 0) {
            device->SetAudioPath(1);
        } else {
            device->SetAudioPath(device->hook() == 1 && device->line() == 0 ? 1 : 0);
        }
    }
    // The audio service takes its own lock and calls back into the link from
    // its player thread: call it without the device lock.
    HandsetAudio& audio = g_link.audio ? *g_link.audio : g_silentAudio;
    if (mode == 1) {
        audio.PlayRingTone(tone, true);
    } else if (mode != 0) {
        if (tone != 0) audio.PlayRingTone(-1, true);
    } else if (tone != -2) {
        audio.PlayRingTone(-1, false);
    }
    return 0;
}

int HandsetLink_SetLed(int on) {
    DeviceLock lock;
    return lock.device() ? lock.device()->SetLightFlag(on == 1 ? 1 : 0) : -1;
}

int HandsetLink_SetLight(int a, int on) {
    DeviceLock lock;
    return lock.device() ? lock.device()->SetLight(a, on) : -1;
}

int HandsetLink_Configure(int a, int b) {
    DeviceLock lock;
    return lock.device() ? lock.device()->Configure(a, b) : -1;
}

int HandsetLink_GetHookState() {
    DeviceLock lock;
    return lock.device() ? lock.device()->hook() : 0;
}

int HandsetLink_GetLineState() {
    DeviceLock lock;
    return lock.device() ? lock.device()->line() : 0;
}

int HandsetLink_QueryState() {
    DeviceLock lock;
    return lock.device() ? lock.device()->QueryState() : 0;
}

int HandsetLink_Control(int a, int b) {
    DeviceLock lock;
    return lock.device() ? lock.device()->Control(a, b) : -1;
}

LcdScreen* HandsetLink_GetScreen() {
    DeviceLock lock;
    return lock.device() ? lock.device()->screen() : nullptr;
}

}  // namespace talvio
