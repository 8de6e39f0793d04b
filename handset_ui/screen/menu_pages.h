// The menus (main menu, history menu, the "Active VOIP" program list) and
// the history list of one program's calls or voicemails. Main thread only.
#pragma once

#include <algorithm>
#include <array>
#include <string>

#include "handset_ui/screen/screen_page.h"

namespace talvio {

struct MenuItem {
    int key = 0;       // localisation key; 0: `text` came from the directory
    std::wstring text;
    const LcdIcon* icon = nullptr;
    int value = 0;
};

// Up to 20 items in three rows with "OK" and "Back"; the left softkey
// activates the selected item.
class MenuPage : public ListPage {
public:
    static constexpr int kMaxItems = 20;

    using ListPage::ListPage;

    void Init(HandsetScreen& screen) override { InitRows(screen); }
    void Enter(HandsetScreen& screen) override;
    int OnPageKey(HandsetScreen& screen, int key) override;

    // Back to the first item (a menu opened afresh).
    void Rewind() { rows_.Reset(count_); }
    int selectedValue() const { return items_[rows_.selected()].value; }

protected:
    virtual void Activate(HandsetScreen& screen, const MenuItem& item) = 0;
    void SetItems(int count) { count_ = std::min(count, kMaxItems); }
    void Show(HandsetScreen& screen);

    std::array<MenuItem, kMaxItems> items_{};
    int count_ = 0;
};

class MainMenuPage final : public MenuPage {
public:
    MainMenuPage();

private:
    void Activate(HandsetScreen& screen, const MenuItem& item) override;
};

class HistoryMenuPage final : public MenuPage {
public:
    HistoryMenuPage();

private:
    void Activate(HandsetScreen& screen, const MenuItem& item) override;
};

// The online programs with their logos, the active one selected; choosing
// one makes it active and returns to the idle page.
class ProgramListPage final : public MenuPage {
public:
    ProgramListPage();
    void Init(HandsetScreen& screen) override { InitRows(screen, {&globe_}); }
    void Enter(HandsetScreen& screen) override;

private:
    void Activate(HandsetScreen& screen, const MenuItem& item) override;

    IconWidget globe_{{56, 48, 72, 64}};
};

enum HistoryKind : int { kHistoryIncoming = 1, kHistoryOutgoing = 2, kHistoryMissed = 3, kHistoryVoicemail = 4 };

// Received, dialled or missed calls (newest first) or incoming voicemails
// of one program, three at a time; "Detail" opens the selected one.
class HistoryListPage final : public ListPage {
public:
    HistoryListPage() : ListPage(kHistoryListPage) {}

    // A list opened afresh.
    void Open(int kind, int connectorId);
    int kind() const { return kind_; }

    void Init(HandsetScreen& screen) override { InitRows(screen); }
    void Enter(HandsetScreen& screen) override;
    int OnPageKey(HandsetScreen& screen, int key) override;
    // The entries again from the directory (after a scroll or a change).
    void Fill(HandsetScreen& screen);

private:
    int kind_ = kHistoryIncoming;
    int connectorId_ = 0;
    std::array<int, RowList::kRows> entryIds_{-1, -1, -1};
};

}  // namespace talvio
