// The Options dialog: a tab control over modeless pages, each page an
// editor of part of the settings, with OK, Cancel and Apply. The dialog
// never saves: after OK its caller, after Apply the dialog itself, runs
// the tray's ApplySettings. Apply also localises everything again, since
// the language may have changed.
//
// Ownership: the dialog owns its pages, which live exactly as long as the
// dialog window; the tray application is not owned and outlives it. Main
// thread only.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/desktop_dialog.h"

namespace talvio {

class TrayApplication;

// A page of the Options dialog, made from its own template.
class OptionsPage : public Dialog {
public:
    OptionsPage(int templateId, int titleId) : templateId_(templateId), titleId_(titleId) {}

    // Copies the controls into the settings; false refuses, keeping the dialog open.
    virtual bool ApplyPage() = 0;
    // Undoes what the page changed while it was open.
    virtual void CancelPage() {}
    // The controls' texts again, in the current language.
    virtual void relocalize() { localizeChildren(); }

    int templateId() const { return templateId_; }
    int titleId() const { return titleId_; }

private:
    int templateId_;
    int titleId_;
};

class OptionsDialog final : public DesktopDialog {
public:
    // What show() answers.
    static constexpr int kOk = 1;
    static constexpr int kCancelled = 2;

    explicit OptionsDialog(TrayApplication& tray);
    ~OptionsDialog() override;

    bool onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) override;
    os::LResult onCommand(os::WParam wParam, os::LParam lParam) override;
    std::intptr_t dialogMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam) override;
    void onDestroy() override;

private:
    os::Hwnd tabs() const;
    void layOut();
    void showPage(int index);
    bool applyAll();
    void relocalize();
    std::wstring pageTitle(const OptionsPage& page) const;

    TrayApplication& tray_;
    std::vector<std::unique_ptr<OptionsPage>> pages_;
    int shown_ = -1;
};

}  // namespace talvio
