#include "platform/win32/windows_api.h"

#include <shellapi.h>

#include "update/web_browser.h"

namespace talvio {
namespace {

class ShellBrowser final : public WebBrowser {
public:
    void open(const std::wstring& url) override {
        ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
};

}  // namespace

WebBrowser& SystemWebBrowser() {
    static ShellBrowser browser;
    return browser;
}

}  // namespace talvio
