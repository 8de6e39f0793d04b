// Opening a web page in the user's browser (ShellExecuteW "open") as a
// port. Main thread only.
#pragma once

#include <string>

namespace talvio {

class WebBrowser {
public:
    // Failures are ignored: the user can always open the page by hand.
    virtual void open(const std::wstring& url) = 0;

protected:
    ~WebBrowser() = default;
};

// The shell on Windows; on the hosted desktop there is no browser and
// nothing opens. Lives for the whole process.
WebBrowser& SystemWebBrowser();

}  // namespace talvio
