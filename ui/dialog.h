// Base of every dialog box, built from a dialog template of the program's
// resources. Messages reach the same handlers as a Window's; everything a
// handler leaves alone gets the dialog manager's default processing. An
// optional background bitmap is drawn at the dialog's corner.
//
// Ownership: as Window, the object owns its dialog and destroys a modeless
// one that is still open; it is bound through the dialog's user slot from
// WM_INITDIALOG to WM_NCDESTROY. The background bitmap is shared. Main
// thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/bitmap.h"
#include "ui/window.h"

namespace talvio {

class Dialog : public Window {
public:
    static constexpr std::size_t kMaxItemText = 1024;

    Dialog() { defaultsToDialogManager_ = true; }
    ~Dialog() override;

    // Also gives every child the dialog font.
    void localizeChildren() override;
    // Dialogs ignore clicks on their own surface.
    void onLButtonDown(int x, int y, std::uint32_t keys) override;
    void onLButtonUp(int x, int y, std::uint32_t keys) override;
    // The background bitmap, when there is one.
    void onPaint(paint::Dc dc) override;

    // The default sets DEFAULT_GUI_FONT on the dialog and its children and
    // localises them. Its result is what WM_INITDIALOG answers.
    virtual bool onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param);
    // Maps the messages a Window maps and answers FALSE for all of them;
    // override it for others (WM_NOTIFY...).
    virtual std::intptr_t dialogMessage(std::uint32_t message, os::WParam wParam, os::LParam lParam);

    // DialogBoxParam: the value given to EndDialog, or -1 when the box could not be made.
    std::intptr_t runModal(int templateId, os::Hwnd owner);
    // CreateDialogParam: false when the dialog could not be made.
    bool createModeless(int templateId, os::Hwnd owner);

    void setBackground(std::shared_ptr<Bitmap> background) { background_ = std::move(background); }

    bool isTicked(int id) const;  // false for a missing control
    void setTicked(int id, bool ticked);
    void enableItem(int id, bool enabled);
    std::wstring itemText(int id) const;  // at most kMaxItemText characters
    int comboSelection(int id) const;     // -1 for a missing control or no selection

protected:
    os::Hwnd item(int id) const { return window_ ? os::GetDlgItem(window_, id) : nullptr; }

private:
    friend struct DialogProcedure;

    std::shared_ptr<Bitmap> background_;
};

}  // namespace talvio
