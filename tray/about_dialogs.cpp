#include "tray/about_dialogs.h"

#include <string>

#include "platform/controls.h"
#include "resources/dialog_templates.h"
#include "resources/program_art.h"
#include "tray/tray_application.h"
#include "update/version_number.h"

namespace talvio {

AboutDialog::AboutDialog(TrayApplication& tray)
    : DesktopDialog(tray, art::kAboutDialog, [&tray] { return tray.Text(art::kAboutDialog); }), tray_(tray) {}

bool AboutDialog::onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) {
    setBackground(Bitmap::load(art::kAboutBanner, false));
    DesktopDialog::onInitDialog(window, focusControl, param);
    os::SetWindowText(item(art::kAboutName), tray_.DisplayName());
    // The localised "Version %s": the first %s becomes the version. The text
    // comes from locale.xml, so it is never used as a format.
    std::wstring version = itemText(art::kAboutVersion);
    const std::size_t at = version.find(L"%s");
    if (at != std::wstring::npos) version.replace(at, 2, std::wstring(kProgramVersion.begin(), kProgramVersion.end()));
    os::SetWindowText(item(art::kAboutVersion), version);
    return true;
}

os::LResult AboutDialog::onCommand(os::WParam wParam, os::LParam) {
    const int id = os::LoWord(wParam);
    if (id == os::IDOK || id == os::IDCANCEL) os::EndDialog(window(), id);
    return 0;
}

HelpDialog::HelpDialog(TrayApplication& tray)
    : DesktopDialog(tray, art::kHelpDialog, [&tray] { return tray.Text(art::kHelpDialog); }), tray_(tray) {}

bool HelpDialog::onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) {
    DesktopDialog::onInitDialog(window, focusControl, param);
    os::SetWindowText(item(art::kHelpText), tray_.Text(art::kHelpText));
    return true;
}

os::LResult HelpDialog::onCommand(os::WParam wParam, os::LParam) {
    const int id = os::LoWord(wParam);
    if (id == os::IDOK || id == os::IDCANCEL || id == art::kHelpClose) os::EndDialog(window(), id);
    return 0;
}

}  // namespace talvio
