#include "tray/options_dialog.h"

#include <algorithm>

#include "platform/controls.h"
#include "resources/dialog_templates.h"
#include "tray/options_pages.h"
#include "tray/tray_application.h"
#include "ui/locale_table.h"

namespace talvio {
namespace {

int Width(const os::Rect& rect) { return rect.right - rect.left; }
int Height(const os::Rect& rect) { return rect.bottom - rect.top; }

// A child's rectangle in its parent's client coordinates.
os::Rect ChildRect(os::Hwnd parent, os::Hwnd child) {
    const os::Rect screen = os::GetWindowRect(child);
    os::Point topLeft{screen.left, screen.top};
    os::ScreenToClient(parent, topLeft);
    return {topLeft.x, topLeft.y, topLeft.x + Width(screen), topLeft.y + Height(screen)};
}

void MoveBy(os::Hwnd parent, os::Hwnd child, int dx, int dy) {
    if (!child) return;
    const os::Rect rect = ChildRect(parent, child);
    os::MoveWindow(child, rect.left + dx, rect.top + dy, Width(rect), Height(rect), true);
}

}  // namespace

OptionsDialog::OptionsDialog(TrayApplication& tray)
    : DesktopDialog(tray, art::kOptionsDialog, [&tray] { return tray.Text(art::kOptionsDialog); }), tray_(tray) {}

// The pages go before the dialog's window, while their handlers still run.
OptionsDialog::~OptionsDialog() { pages_.clear(); }

os::Hwnd OptionsDialog::tabs() const { return item(art::kOptionsTabs); }

std::wstring OptionsDialog::pageTitle(const OptionsPage& page) const {
    return tray_.Text(page.titleId());
}

bool OptionsDialog::onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) {
    pages_.push_back(std::make_unique<GeneralPage>(tray_.Settings(), tray_.Locale()));
    pages_.push_back(std::make_unique<AutoAnswerPage>(tray_.Settings()));
    pages_.push_back(std::make_unique<ProgramsPage>(tray_.Settings(), tray_.Locale(), tray_.Connectors()));
    DesktopDialog::onInitDialog(window, focusControl, param);  // registers, localises, centres

    int index = 0;
    for (auto it = pages_.begin(); it != pages_.end();) {
        if (!(*it)->createModeless((*it)->templateId(), window)) {
            it = pages_.erase(it);  // a page without its template is left out
            continue;
        }
        std::wstring title = pageTitle(**it);
        os::TcItem tab;
        tab.mask = os::TCIF_TEXT;
        tab.pszText = title.data();
        os::SendMessage(tabs(), os::TCM_INSERTITEMW, static_cast<os::WParam>(index++),
                        reinterpret_cast<os::LParam>(&tab));
        ++it;
    }
    layOut();
    showPage(0);
    centre();
    return true;
}

// The tab control grows to hold the largest page; the dialog and its
// buttons follow by the same amount.
void OptionsDialog::layOut() {
    if (!tabs() || pages_.empty()) return;
    int pageWidth = 0;
    int pageHeight = 0;
    for (const auto& page : pages_) {
        const os::Rect rect = os::GetWindowRect(page->window());
        pageWidth = std::max(pageWidth, Width(rect));
        pageHeight = std::max(pageHeight, Height(rect));
    }
    const os::Rect tabRect = ChildRect(window(), tabs());
    os::Rect wanted{tabRect.left, tabRect.top, tabRect.left + pageWidth, tabRect.top + pageHeight};
    os::SendMessage(tabs(), os::TCM_ADJUSTRECT, 1, reinterpret_cast<os::LParam>(&wanted));
    const int dx = Width(wanted) - Width(tabRect);
    const int dy = Height(wanted) - Height(tabRect);

    const os::Rect dialogRect = os::GetWindowRect(window());
    os::MoveWindow(window(), dialogRect.left, dialogRect.top, Width(dialogRect) + dx, Height(dialogRect) + dy, true);
    os::MoveWindow(tabs(), tabRect.left, tabRect.top, Width(wanted), Height(wanted), true);
    os::Rect display{tabRect.left, tabRect.top, tabRect.left + Width(wanted), tabRect.top + Height(wanted)};
    os::SendMessage(tabs(), os::TCM_ADJUSTRECT, 0, reinterpret_cast<os::LParam>(&display));
    for (const auto& page : pages_) {
        os::MoveWindow(page->window(), display.left, display.top, Width(display), Height(display), true);
    }
    for (int id : {art::kOptionsOk, art::kOptionsCancel, art::kOptionsApply}) MoveBy(window(), item(id), dx, dy);
}

void OptionsDialog::showPage(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= pages_.size()) return;
    if (shown_ >= 0 && static_cast<std::size_t>(shown_) < pages_.size() && shown_ != index) {
        os::ShowWindow(pages_[shown_]->window(), os::SW_HIDE);
    }
    shown_ = index;
    os::ShowWindow(pages_[index]->window(), os::SW_SHOW);
}

bool OptionsDialog::applyAll() {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (!pages_[i]->ApplyPage()) {
            os::SendMessage(tabs(), os::TCM_SETCURSEL, i, 0);
            showPage(static_cast<int>(i));
            return false;
        }
    }
    return true;
}

void OptionsDialog::relocalize() {
    localizeChildren();
    retitle();
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        std::wstring title = pageTitle(*pages_[i]);
        os::TcItem tab;
        tab.mask = os::TCIF_TEXT;
        tab.pszText = title.data();
        os::SendMessage(tabs(), os::TCM_SETITEMW, i, reinterpret_cast<os::LParam>(&tab));
        pages_[i]->relocalize();
    }
    invalidate();
}

os::LResult OptionsDialog::onCommand(os::WParam wParam, os::LParam) {
    switch (os::LoWord(wParam)) {
        case os::IDOK:  // Enter
        case art::kOptionsOk:
            if (applyAll()) os::EndDialog(window(), kOk);
            break;
        case os::IDCANCEL:  // Esc and the close box
        case art::kOptionsCancel:
            for (const auto& page : pages_) page->CancelPage();
            os::EndDialog(window(), kCancelled);
            break;
        case art::kOptionsApply:
            if (applyAll()) {
                tray_.ApplySettings();
                relocalize();
            }
            break;
        default:
            break;
    }
    return 0;
}

std::intptr_t OptionsDialog::dialogMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) {
    // Any process may send WM_NOTIFY, so its header is not read: a
    // notification naming the tab control shows the tab it has selected.
    if (message == os::WM_NOTIFY) {
        if (wParam == static_cast<os::WParam>(art::kOptionsTabs)) {
            showPage(static_cast<int>(os::SendMessage(tabs(), os::TCM_GETCURSEL, 0, 0)));
        }
        return 0;
    }
    return DesktopDialog::dialogMessage(message, wParam, lParam);
}

// The pages' windows go with the dialog's; the objects stay until the dialog object goes.
void OptionsDialog::onDestroy() {
    shown_ = -1;
    DesktopDialog::onDestroy();
}

}  // namespace talvio
