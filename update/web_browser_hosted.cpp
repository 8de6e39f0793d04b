#include "update/web_browser.h"

namespace talvio {
namespace {

class NoBrowser final : public WebBrowser {
public:
    void open(const std::wstring&) override {}
};

}  // namespace

WebBrowser& SystemWebBrowser() {
    static NoBrowser browser;
    return browser;
}

}  // namespace talvio
