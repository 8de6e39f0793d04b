#include "tray/options_pages.h"

#include <algorithm>
#include <cstdlib>

#include "audio/audio_service.h"
#include "connectors/connector_service.h"
#include "platform/controls.h"
#include "resources/dialog_templates.h"
#include "resources/program_art.h"
#include "resources/program_strings.h"
#include "tray/tray_application.h"
#include "settings/app_settings.h"
#include "ui/locale_table.h"
#include "ui/module_instance.h"

namespace talvio {
namespace {

constexpr int kSkypeId = 1;
constexpr int kPlayIconSize = 16;

void AddComboItem(os::Hwnd combo, const std::wstring& text, os::LParam data) {
    const os::LResult index = os::SendMessage(combo, os::CB_ADDSTRING, 0, reinterpret_cast<os::LParam>(text.c_str()));
    if (index >= 0) os::SendMessage(combo, os::CB_SETITEMDATA, static_cast<os::WParam>(index), data);
}

// The item data of the combo box's selection, or nothing.
bool SelectedData(os::Hwnd combo, os::LParam& data) {
    const os::LResult index = os::SendMessage(combo, os::CB_GETCURSEL, 0, 0);
    if (index < 0) return false;
    data = os::SendMessage(combo, os::CB_GETITEMDATA, static_cast<os::WParam>(index), 0);
    return data != os::CB_ERR;
}

void SetItemText(os::Hwnd list, int row, int column, std::wstring text) {
    os::LvItem item;
    item.iSubItem = column;
    item.pszText = text.data();
    os::SendMessage(list, os::LVM_SETITEMTEXTW, static_cast<os::WParam>(row), reinterpret_cast<os::LParam>(&item));
}

}  // namespace

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = std::llabs(static_cast<long long>(denominator)) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(denominator));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

GeneralPage::GeneralPage(AppSettings& settings, LocaleTable& locale)
    : OptionsPage(art::kGeneralPage, art::kGeneralTitle), settings_(settings), locale_(locale) {}

bool GeneralPage::OffersUsbPreference() {
    os::OsVersionInfo version;
    return os::GetVersionEx(version) && version.majorVersion < 6;
}

bool GeneralPage::onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) {
    OptionsPage::onInitDialog(window, focusControl, param);
    setTicked(art::kAutoStartBox, settings_.autoStart != 0);
    setTicked(art::kCheckVersionBox, settings_.checkVer != 0);
    setTicked(art::kPlayDtmfBox, settings_.playDtmf != 0);
    setTicked(art::kPreferredUsbBox, settings_.preferredUsb != 0);
    if (!OffersUsbPreference()) os::ShowWindow(item(art::kPreferredUsbBox), os::SW_HIDE);
    const os::Hwnd languages = item(art::kLanguageList);
    for (const Language& language : locale_.languages()) {
        AddComboItem(languages, language.displayName, language.index);
        if (language.index == settings_.language) {
            const os::LResult count = os::SendMessage(languages, os::CB_GETCOUNT, 0, 0);
            os::SendMessage(languages, os::CB_SETCURSEL, static_cast<os::WParam>(count - 1), 0);
        }
    }
    return true;
}

bool GeneralPage::ApplyPage() {
    settings_.autoStart = isTicked(art::kAutoStartBox);
    settings_.checkVer = isTicked(art::kCheckVersionBox);
    settings_.playDtmf = isTicked(art::kPlayDtmfBox);
    if (OffersUsbPreference()) settings_.preferredUsb = isTicked(art::kPreferredUsbBox);
    // Without locale.xml there is no language to choose: the setting stays.
    os::LParam language = 0;
    if (SelectedData(item(art::kLanguageList), language)) settings_.SetLanguage(static_cast<int>(language));
    return true;
}

AutoAnswerPage::AutoAnswerPage(AppSettings& settings)
    : OptionsPage(art::kAutoAnswerPage, art::kAutoAnswerTitle), settings_(settings) {}

bool AutoAnswerPage::onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) {
    OptionsPage::onInitDialog(window, focusControl, param);
    setTicked(art::kAutoAnswerBox, settings_.autoAnswer != 0);
    setTicked(art::kAutoBusyBox, settings_.autoBusy != 0);
    setTicked(art::kAutoAwayBox, settings_.autoAway != 0);
    for (int id : {art::kAutoBusyText, art::kAutoAwayText}) {
        os::SendMessage(item(id), os::EM_LIMITTEXT, kTextLimit, 0);
    }
    os::SetWindowText(item(art::kAutoBusyText), settings_.autoBusyText);
    os::SetWindowText(item(art::kAutoAwayText), settings_.autoAwayText);
    applyEnabling();
    return true;
}

void AutoAnswerPage::applyEnabling() {
    const bool answering = isTicked(art::kAutoAnswerBox);
    enableItem(art::kAutoBusyBox, answering);
    enableItem(art::kAutoAwayBox, answering);
    enableItem(art::kAutoBusyText, answering && isTicked(art::kAutoBusyBox));
    enableItem(art::kAutoAwayText, answering && isTicked(art::kAutoAwayBox));
}

os::LResult AutoAnswerPage::onCommand(os::WParam wParam, os::LParam) {
    const int id = os::LoWord(wParam);
    if (id == art::kAutoAnswerBox || id == art::kAutoBusyBox || id == art::kAutoAwayBox) applyEnabling();
    return 0;
}

bool AutoAnswerPage::ApplyPage() {
    settings_.autoAnswer = isTicked(art::kAutoAnswerBox);
    settings_.autoBusy = isTicked(art::kAutoBusyBox);
    settings_.autoAway = isTicked(art::kAutoAwayBox);
    // Read whole: typing stops at the limit, and a longer text from
    // config.xml is kept as it was.
    settings_.autoBusyText = os::GetWindowText(item(art::kAutoBusyText));
    settings_.autoAwayText = os::GetWindowText(item(art::kAutoAwayText));
    return true;
}

ProgramsPage::ProgramsPage(AppSettings& settings, LocaleTable& locale, ConnectorService& connectors)
    : OptionsPage(art::kProgramsPage, art::kProgramsTitle),
      settings_(settings),
      locale_(locale),
      connectors_(connectors) {}

// The text comes from locale.xml, so it is never used as a format.
std::wstring ProgramsPage::ringToneText(int number) const {
    if (number <= 0) return ProgramText(locale_, art::kDefaultRingTone);
    std::wstring named = ProgramText(locale_, art::kNumberedRingTone);
    const std::size_t at = named.find(L"%d");
    if (at != std::wstring::npos) named.replace(at, 2, std::to_wstring(number));
    return named;
}

void ProgramsPage::fillRingTones() {
    const os::Hwnd ringTones = item(art::kRingToneList);
    os::SendMessage(ringTones, os::CB_RESETCONTENT, 0, 0);
    for (int number = 0; number <= kRingToneCount; ++number) AddComboItem(ringTones, ringToneText(number), number);
}

bool ProgramsPage::onInitDialog(os::Hwnd window, os::Hwnd focusControl, os::LParam param) {
    OptionsPage::onInitDialog(window, focusControl, param);
    fillRingTones();
    os::SendMessage(item(art::kPlayButton), os::BM_SETIMAGE, os::IMAGE_ICON,
                    reinterpret_cast<os::LParam>(
                        os::LoadIconOfSize(ModuleInstance(), art::kPlayIcon, kPlayIconSize, kPlayIconSize)));
    fillList();

    setTicked(art::kCallOutFreeBox, settings_.callOutFree != 0);
    setTicked(art::kCallOutBox, settings_.callOutProgram >= 0);
    const os::Hwnd callOut = item(art::kCallOutList);
    ConnectorRegistry& registry = connectors_.Registry();
    for (int i = 0; i < registry.Count(); ++i) {
        const VoipConnector* connector = registry.At(i);
        if (connector->GetConnectorId() != kSkypeId) AddComboItem(callOut, connector->GetDisplayName(), i);
    }
    os::SendMessage(callOut, os::CB_SETCURSEL, static_cast<os::WParam>(std::max(settings_.callOutProgram, 0)), 0);
    enableItem(art::kCallOutLabel, settings_.callOutProgram >= 0);
    enableItem(art::kCallOutList, settings_.callOutProgram >= 0);

    savedVolume_ = settings_.ringVolume;
    initialPosition_ = MulDiv(settings_.ringVolume, kSliderMax, kVolumeMax);
    // The untouched slider stands for the volume as it is, not for its rounding.
    lastVolume_ = MulDiv(initialPosition_, kVolumeMax, kSliderMax);
    const os::Hwnd slider = item(art::kRingVolumeSlider);
    os::SendMessage(slider, os::TBM_SETRANGE, 1, static_cast<os::LParam>(kSliderMax) << 16);
    os::SendMessage(slider, os::TBM_SETPOS, 1, initialPosition_);
    os::SetTimer(window, kTimerId, kTimerMs);
    return true;
}

void ProgramsPage::fillList() {
    const os::Hwnd list = item(art::kProgramList);
    os::SendMessage(list, os::LVM_SETEXTENDEDLISTVIEWSTYLE, os::LVS_EX_FULLROWSELECT, os::LVS_EX_FULLROWSELECT);
    for (int column = 0; column < 2; ++column) {
        os::LvColumn header;
        header.mask = os::LVCF_WIDTH | os::LVCF_SUBITEM;
        header.cx = column == 0 ? kNameWidth : kRingToneWidth;
        header.iSubItem = column;
        os::SendMessage(list, os::LVM_INSERTCOLUMNW, static_cast<os::WParam>(column), reinterpret_cast<os::LParam>(&header));
    }
    setColumnTitles();
    // The list view destroys its image list with itself.
    const os::HimageList icons = os::ImageList_LoadBitmap(ModuleInstance(), art::kProgramIcons,
                                                          art::kProgramIconSize, 0, kIconMask);
    if (icons) os::SendMessage(list, os::LVM_SETIMAGELIST, os::LVSIL_SMALL, reinterpret_cast<os::LParam>(icons));

    ConnectorRegistry& registry = connectors_.Registry();
    ringTones_.clear();
    for (int i = 0; i < registry.Count(); ++i) {
        const VoipConnector* connector = registry.At(i);
        const int id = connector->GetConnectorId();
        ringTones_.push_back(id >= 1 && id <= kProgramCount ? settings_.programs[id - 1].ringTone : 0);
        std::wstring name = connector->GetDisplayName();
        os::LvItem row;
        row.mask = os::LVIF_TEXT | os::LVIF_IMAGE;
        row.iItem = i;
        row.pszText = name.data();
        row.iImage = connector->GetIconIndex();
        const auto at = static_cast<int>(os::SendMessage(list, os::LVM_INSERTITEMW, 0, reinterpret_cast<os::LParam>(&row)));
        SetItemText(list, at, 1, ringToneText(ringTones_.back()));
    }
}

void ProgramsPage::setColumnTitles() {
    const os::Hwnd list = item(art::kProgramList);
    const int ids[2] = {art::kProgramNameColumn, art::kRingToneColumn};
    for (int column = 0; column < 2; ++column) {
        std::wstring title = ProgramText(locale_, ids[column]);
        os::LvColumn header;
        header.mask = os::LVCF_TEXT;
        header.pszText = title.data();
        os::SendMessage(list, os::LVM_SETCOLUMNW, static_cast<os::WParam>(column), reinterpret_cast<os::LParam>(&header));
    }
}

void ProgramsPage::relocalize() {
    OptionsPage::relocalize();
    setColumnTitles();
    fillRingTones();
    for (std::size_t row = 0; row < ringTones_.size(); ++row)
        SetItemText(item(art::kProgramList), static_cast<int>(row), 1, ringToneText(ringTones_[row]));
    lastRow_ = -1;  // the refilled drop-down shows the selected row's tone again
    followSelection();
}

int ProgramsPage::selectedRow() const {
    const auto row = static_cast<int>(os::SendMessage(item(art::kProgramList), os::LVM_GETNEXTITEM,
                                                      static_cast<os::WParam>(-1), os::LVNI_SELECTED));
    return row >= 0 && static_cast<std::size_t>(row) < ringTones_.size() ? row : -1;
}

void ProgramsPage::onTimer(std::uintptr_t timerId) {
    if (timerId != kTimerId) return;
    followSelection();
    readSlider();
}

void ProgramsPage::followSelection() {
    const int row = selectedRow();
    if (row != lastRow_) {
        lastRow_ = row;
        // The ring tone numbers are the list's positions; one outside it selects nothing.
        const int number = row >= 0 ? ringTones_[row] : -1;
        os::SendMessage(item(art::kRingToneList), os::CB_SETCURSEL,
                        static_cast<os::WParam>(number >= 0 && number <= kRingToneCount ? number : -1), 0);
    }
    placeRingToneControls(row);
    os::InvalidateRect(item(art::kPlayButton), true);
}

// Over the selected row's "Ring Tone" cell: the drop-down and, at its
// right, the square play button.
void ProgramsPage::placeRingToneControls(int row) {
    const os::Hwnd ringTones = item(art::kRingToneList);
    const os::Hwnd playButton = item(art::kPlayButton);
    if (row < 0) {
        os::ShowWindow(ringTones, os::SW_HIDE);
        os::ShowWindow(playButton, os::SW_HIDE);
        placedCell_ = {};
        return;
    }
    const os::Hwnd list = item(art::kProgramList);
    std::vector<int> widths;
    for (int column = 0; column < 2; ++column) {
        widths.push_back(static_cast<int>(os::SendMessage(list, os::LVM_GETCOLUMNWIDTH, static_cast<os::WParam>(column), 0)));
    }
    os::Rect cell{os::LVIR_BOUNDS, 1, 0, 0};  // top: the column; left: the part
    if (!os::SendMessage(list, os::LVM_GETSUBITEMRECT, static_cast<os::WParam>(row), reinterpret_cast<os::LParam>(&cell))) return;
    const bool moved = cell.left != placedCell_.left || cell.top != placedCell_.top ||
                       cell.right != placedCell_.right || cell.bottom != placedCell_.bottom;
    if (moved || widths != placedWidths_) {
        placedCell_ = cell;
        placedWidths_ = widths;
        os::Point corner{cell.left, cell.top};
        os::ClientToScreen(list, corner);
        os::ScreenToClient(window(), corner);
        const int height = cell.bottom - cell.top;
        const int buttonSide = std::min(height, cell.right - cell.left);
        const int comboWidth = std::max(cell.right - cell.left - buttonSide, 0);
        // A drop-down's height includes its open list.
        os::MoveWindow(ringTones, corner.x, corner.y, comboWidth, height * 6, true);
        os::MoveWindow(playButton, corner.x + comboWidth, corner.y, buttonSide, height, true);
    }
    os::ShowWindow(ringTones, os::SW_SHOW);
    os::ShowWindow(playButton, os::SW_SHOW);
}

void ProgramsPage::readSlider() {
    const auto position = static_cast<int>(os::SendMessage(item(art::kRingVolumeSlider), os::TBM_GETPOS, 0, 0));
    const int volume = MulDiv(position, kVolumeMax, kSliderMax);
    if (volume == lastVolume_) return;
    lastVolume_ = volume;
    settings_.ringVolume = volume;
    if (Audio_IsRinging()) Audio_SetVolume(true, static_cast<unsigned>(volume));
}

os::LResult ProgramsPage::onCommand(os::WParam wParam, os::LParam) {
    const int id = os::LoWord(wParam);
    const int code = os::HiWord(wParam);
    if (id == art::kRingToneList && code == static_cast<int>(os::CBN_SELCHANGE)) {
        chooseRingTone();
    } else if (id == art::kPlayButton && code == static_cast<int>(os::BN_CLICKED)) {
        play();
    } else if (id == art::kCallOutBox) {
        const bool ticked = isTicked(art::kCallOutBox);
        enableItem(art::kCallOutLabel, ticked);
        enableItem(art::kCallOutList, ticked);
    }
    return 0;
}

void ProgramsPage::chooseRingTone() {
    const int row = selectedRow();
    os::LParam number = 0;
    if (row < 0 || !SelectedData(item(art::kRingToneList), number)) return;
    ringTones_[row] = static_cast<int>(number);
    SetItemText(item(art::kProgramList), row, 1, ringToneText(ringTones_[row]));
}

void ProgramsPage::play() {
    const int row = selectedRow();
    if (row < 0) return;
    const int number = ringTones_[row];
    if (number == lastPlayed_ && Audio_IsPlaying()) {
        Audio_Stop();
        return;
    }
    lastPlayed_ = number;
    Audio_PlayRingTone(number, true);
}

bool ProgramsPage::ApplyPage() {
    // The list's positions are those after Skype's, as the setting counts them.
    const int callOut = comboSelection(art::kCallOutList);
    if (!isTicked(art::kCallOutBox)) {
        settings_.callOutProgram = -1;
    } else if (callOut >= 0) {
        settings_.callOutProgram = callOut;
    }
    settings_.callOutFree = isTicked(art::kCallOutFreeBox);

    ConnectorRegistry& registry = connectors_.Registry();
    const bool handset = connectors_.HandsetPresent();
    for (int i = 0; i < registry.Count() && static_cast<std::size_t>(i) < ringTones_.size(); ++i) {
        VoipConnector* connector = registry.At(i);
        const int id = connector->GetConnectorId();
        if (id >= 1 && id <= kProgramCount) settings_.programs[id - 1].ringTone = ringTones_[i];
        const wchar_t* path = Audio_GetRingTonePath(ringTones_[i]);
        if (handset && path) connector->SetRingtone(path);
    }

    const auto position = static_cast<int>(os::SendMessage(item(art::kRingVolumeSlider), os::TBM_GETPOS, 0, 0));
    settings_.ringVolume = position == initialPosition_ ? savedVolume_ : MulDiv(position, kVolumeMax, kSliderMax);
    return true;
}

void ProgramsPage::CancelPage() { settings_.ringVolume = savedVolume_; }

void ProgramsPage::onDestroy() {
    os::KillTimer(window(), kTimerId);
    Audio_Stop();
    OptionsPage::onDestroy();
}

}  // namespace talvio
