// The three pages of the Options dialog: General (start-up, update notice,
// key tones, USB audio preference, interface language), Auto answer (the
// chat texts for busy and away) and the VOIP programs (ring tone per
// program with a play button over the selected row, ring volume, the
// call-out program).
//
// Ownership: the settings, the locale table and the connector service are
// not owned and outlive the pages. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tray/options_dialog.h"

namespace talvio {

class AppSettings;
class ConnectorService;
class LocaleTable;

// MulDiv: value * numerator / denominator in 64 bits, rounded to nearest
// (halves away from zero); -1 for a zero denominator.
int MulDiv(int value, int numerator, int denominator);

class GeneralPage final : public OptionsPage {
public:
    GeneralPage(AppSettings& settings, LocaleTable& locale);

    bool onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) override;
    bool ApplyPage() override;

private:
    // The USB audio preference exists only before Windows 6.
    static bool OffersUsbPreference();

    AppSettings& settings_;
    LocaleTable& locale_;
};

class AutoAnswerPage final : public OptionsPage {
public:
    // What a user may type into each text.
    static constexpr int kTextLimit = 1023;

    explicit AutoAnswerPage(AppSettings& settings);

    bool onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) override;
    os::LResult onCommand(os::WParam wParam, os::LParam lParam) override;
    bool ApplyPage() override;

private:
    void applyEnabling();

    AppSettings& settings_;
};

class ProgramsPage final : public OptionsPage {
public:
    static constexpr std::uintptr_t kTimerId = 1100;
    static constexpr std::uint32_t kTimerMs = 300;
    static constexpr int kSliderMax = 1000;
    static constexpr int kVolumeMax = 65535;
    static constexpr int kRingToneCount = 16;
    static constexpr int kNameWidth = 140;
    static constexpr int kRingToneWidth = 150;
    // Transparent around the program icons of bitmap 163 (a COLORREF).
    static constexpr std::uint32_t kIconMask = 0x00FF00FF;

    ProgramsPage(AppSettings& settings, LocaleTable& locale, ConnectorService& connectors);

    bool onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) override;
    os::LResult onCommand(os::WParam wParam, os::LParam lParam) override;
    void onTimer(std::uintptr_t timerId) override;
    void onDestroy() override;
    bool ApplyPage() override;
    void CancelPage() override;
    void relocalize() override;

private:
    // "default ring tone" for 0 and below, else "ring tone <n>", localised.
    std::wstring ringToneText(int number) const;
    void fillRingTones();
    int selectedRow() const;
    void fillList();
    void setColumnTitles();
    void followSelection();
    void placeRingToneControls(int row);
    void readSlider();
    void chooseRingTone();
    void play();

    AppSettings& settings_;
    LocaleTable& locale_;
    ConnectorService& connectors_;
    std::vector<int> ringTones_;  // per registry position
    int savedVolume_ = 0;
    int initialPosition_ = 0;
    int lastPlayed_ = -1;  // none
    int lastVolume_ = -1;
    int lastRow_ = -1;
    os::Rect placedCell_{};
    std::vector<int> placedWidths_;
};

}  // namespace talvio
