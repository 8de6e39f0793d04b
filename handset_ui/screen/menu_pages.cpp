#include "handset_ui/screen/menu_pages.h"

#include "foundation/text_convert.h"
#include "handset_ui/screen/handset_screen.h"

namespace talvio {
namespace {

const LcdIcon* HistoryIcon(int kind) {
    switch (kind) {
    case kHistoryIncoming: return &StripIconAt(kIconIncoming);
    case kHistoryOutgoing: return &StripIconAt(kIconOutgoing);
    case kHistoryMissed: return &StripIconAt(kIconMissed);
    default: return &StripIconAt(kIconVoicemail);
    }
}

}  // namespace

void MenuPage::Enter(HandsetScreen& screen) {
    screen.SetSoftkeys(kLcdOk, kLcdBack);
    Show(screen);
}

void MenuPage::Show(HandsetScreen& screen) {
    rows_.Resize(count_);
    for (int row = 0; row < RowList::kRows; ++row) {
        const int index = rows_.topIndex() + row;
        if (index < count_) {
            const MenuItem& item = items_[index];
            if (item.key != 0) {
                rows_.ShowRowKey(row, item.icon, item.key, screen.texts());
            } else {
                rows_.ShowRow(row, item.icon, item.text);
            }
        } else {
            rows_.ShowNoEntry(row, screen.texts());
        }
    }
    rows_.FollowSelection(screen.now());
}

int MenuPage::OnPageKey(HandsetScreen& screen, int key) {
    switch (key) {
    case kPageKeyLeft:
    case kPageKeyCall:
        if (rows_.selected() < count_) Activate(screen, items_[rows_.selected()]);
        return 1;
    case kPageKeyRight:
    case kPageKeyEndCall:
        screen.PopToRoot();
        return 1;
    case kPageKeyUp:
    case kPageKeyDown:
        if (rows_.Step(key)) {
            Show(screen);
            screen.Render();
        }
        return 1;
    case kPageKeyEndCheck:
        screen.Back();
        return 1;
    default:
        return kAnswerNothing;
    }
}

MainMenuPage::MainMenuPage() : MenuPage(kMainMenuPage) {
    const LcdIcon* icon = &StripIconAt(kIconMenuItem);
    items_[0] = {kLcdHistoryCall, {}, icon, 0};
    items_[1] = {kLcdActiveVoip, {}, icon, 1};
    items_[2] = {kLcdVolumeSetting, {}, icon, 2};
    SetItems(3);
}

void MainMenuPage::Activate(HandsetScreen& screen, const MenuItem& item) {
    if (item.value == 0) screen.ShowHistoryMenu();
    if (item.value == 1) screen.ShowProgramList();
    if (item.value == 2) screen.ShowVolumePage();
}

HistoryMenuPage::HistoryMenuPage() : MenuPage(kHistoryMenuPage) {
    items_[0] = {kLcdIncomingCall, {}, HistoryIcon(kHistoryIncoming), kHistoryIncoming};
    items_[1] = {kLcdOutgoingCall, {}, HistoryIcon(kHistoryOutgoing), kHistoryOutgoing};
    items_[2] = {kLcdMissedCall, {}, HistoryIcon(kHistoryMissed), kHistoryMissed};
    items_[3] = {kLcdVoiceMail, {}, HistoryIcon(kHistoryVoicemail), kHistoryVoicemail};
    SetItems(4);
}

void HistoryMenuPage::Activate(HandsetScreen& screen, const MenuItem& item) {
    screen.ShowHistoryList(item.value, screen.connectorId());
}

ProgramListPage::ProgramListPage() : MenuPage(kProgramListPage) {
    globe_.SetImage(&StripIconAt(kIconPrograms));
}

void ProgramListPage::Enter(HandsetScreen& screen) {
    int count = 0;
    int selected = 0;
    if (DirectoryView* directory = screen.directory()) {
        std::array<int, kMaxItems> ids{};
        count = kMaxItems;
        directory->ListOnlineConnectors(ids.data(), count);
        const int active = directory->GetActiveConnectorId();
        for (int i = 0; i < count; ++i) {
            items_[i] = {0, directory->GetDisplayName(ids[i]), &LogoIconOf(ids[i]), ids[i]};
            if (ids[i] == active) selected = i;
        }
    }
    SetItems(count);
    rows_.Reset(count_, selected);
    MenuPage::Enter(screen);
}

void ProgramListPage::Activate(HandsetScreen& screen, const MenuItem& item) {
    if (screen.directory() != nullptr) screen.directory()->SetActiveProgram(item.value);
    screen.PopToRoot();
}

void HistoryListPage::Open(int kind, int connectorId) {
    kind_ = kind;
    connectorId_ = connectorId;
    rows_.Reset(0);
}

void HistoryListPage::Enter(HandsetScreen& screen) {
    screen.SetSoftkeys(kLcdDetail, kLcdBack);
    Fill(screen);
}

void HistoryListPage::Fill(HandsetScreen& screen) {
    DirectoryView* directory = screen.directory();
    const bool voicemail = kind_ == kHistoryVoicemail;
    int count = 0;
    int position = 0;
    int unplayed = 0;
    if (directory != nullptr) {
        if (voicemail) {
            directory->GetVoicemailList(unplayed, position, count, connectorId_);
        } else {
            directory->GetRecentCall(kind_, position, count, connectorId_);
        }
    }
    rows_.Resize(count);
    for (int row = 0; row < RowList::kRows; ++row) {
        entryIds_[row] = -1;
        position = rows_.topIndex() + row;
        int total = 0;
        if (position < count && voicemail) {
            const VoicemailRecord* entry = directory->GetVoicemailList(unplayed, position, total, connectorId_);
            if (entry != nullptr) {
                entryIds_[row] = directory->GetVoicemailId(entry);
                const std::string& name = directory->GetVoicemailPartnerName(entry);
                const bool played = directory->GetVoicemailPlayState(entry) != 0;
                rows_.ShowRow(row, &StripIconAt(played ? kIconTick : kIconCross),
                              Utf8ToWide(name.empty() ? directory->GetVoicemailPartnerHandle(entry) : name));
            }
        } else if (position < count) {
            const CallRecord* entry = directory->GetRecentCall(kind_, position, total, connectorId_);
            if (entry != nullptr) {
                entryIds_[row] = directory->GetCallId(entry);
                rows_.ShowRow(row, HistoryIcon(kind_), Utf8ToWide(directory->GetCallPartnerName(entry)));
            }
        }
        if (entryIds_[row] < 0) rows_.ShowNoEntry(row, screen.texts());
    }
    rows_.FollowSelection(screen.now());
}

int HistoryListPage::OnPageKey(HandsetScreen& screen, int key) {
    const int entryId = rows_.selected() < rows_.count() ? entryIds_[rows_.selectedRow()] : -1;
    switch (key) {
    case kPageKeyLeft:
    case kPageKeyTalk:
        if (DirectoryView* directory = screen.directory(); directory != nullptr && entryId >= 0) {
            const std::string handle = EntryPartnerHandle(*directory, kind_, entryId, connectorId_);
            if (!handle.empty()) directory->CallNumber(handle, connectorId_);
        }
        return 1;
    case kPageKeyCall:
        if (entryId >= 0) screen.ShowDetail(kind_, entryId, connectorId_);
        return 1;
    case kPageKeyRight:
        screen.Back();
        return 1;
    case kPageKeyUp:
    case kPageKeyDown:
        if (rows_.Step(key)) {
            Fill(screen);
            screen.Render();
        }
        return kAnswerHistory;
    default:
        return kAnswerNothing;
    }
}

}  // namespace talvio
