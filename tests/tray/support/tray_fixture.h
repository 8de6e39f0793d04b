// The tray tests' common ground: the application object as the program
// makes it, on the hosted desktop.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/audio_service.h"
#include "audio/audio_speaker_volume.h"
#include "connectors/connector_service.h"
#include "platform/hosted/desktop.h"
#include "settings/app_settings.h"
#include "settings/memory_registry.h"
#include "tests/audio/support/fake_audio_ports.h"
#include "tests/connectors/connector_fakes.h"
#include "tests/support/desktop_test.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/support/fake_tray_shell.h"
#include "tests/ui/support/program_resources.h"
#include "tests/update/support/fake_update_ports.h"
#include "tray/tray_application.h"
#include "ui/control_texts.h"
#include "ui/locale_table.h"
#include "ui/window.h"
#include "update/version_check.h"

namespace talvio::testing {

class NamedConnector final : public ScriptedConnector {
public:
    NamedConnector(ConnectorRegistry& registry, int id, std::wstring name)
        : ScriptedConnector(registry, id), name_(std::move(name)) {}
    std::wstring GetDisplayName() const override { return name_; }
    void SetAudioOut(const std::wstring& device) override { audioOut.push_back(device); }
    std::vector<std::wstring> audioOut;

private:
    std::wstring name_;
};

class PlainWindow final : public Window {
public:
    PlainWindow() { create(0, {}, L"window", 0, 0, 0, 0, 0, nullptr, 0); }
};

// The application object on a fresh hosted desktop, over the connector
// service with three named connectors, fake audio ports, a scripted update
// server, a fake notification area and the program's resources;
// locale.xml holds LocaleXml().
class TrayFixture : public DesktopTest {
protected:
    virtual const char* LocaleXml() const = 0;

    void SetUp() override {
        os::hosted::SetModuleFileName((folder.path() / "TalvioDriver.exe").wstring());
        std::ofstream(folder.file("locale.xml")) << LocaleXml();
        InstallProgramResources();
        skype = Add(1, L"Skype");
        voipBuster = Add(2, L"VoipBuster");
        sparVoip = Add(5, L"SparVoip");
        service.Registry().StartAll();  // as start-up does, before any handset arrives
        AudioServiceSetup setup;
        setup.ports = {&waveOut, &waveIn, &mixer, &audioVersion, &launcher, &resources};
        setup.settings = &settings;
        setup.connectors = &service.Registry();
        Audio_Start(setup);
        ASSERT_TRUE(tray.Init(nullptr));
        // As the program does once the tray has loaded the texts.
        SetControlTextLookup([this](int id) { return locale.text(id); });
    }
    void TearDown() override {
        SetControlTextLookup({});
        Audio_Shutdown();
    }

    NamedConnector* Add(int id, const wchar_t* name) {
        auto connector = std::make_unique<NamedConnector>(service.Registry(), id, name);
        NamedConnector* added = connector.get();
        EXPECT_TRUE(service.Registry().Append(std::move(connector)));
        return added;
    }

    void SetHandset(bool present) {
        handset.present = present;
        service.OnDevicePresence(present ? 1 : 0, 0);
    }

    // A right click on the icon; the menu chooses `command` when given.
    void RightClick(std::uint32_t command = 0) {
        if (command) os::hosted::ChooseMenuCommand(command);
        os::SendMessage(tray.window(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, os::WM_RBUTTONUP);
        os::hosted::PumpMessages();
    }

    void ExpectShown(int icon, const std::wstring& tip) {
        const auto shown = shell.Icon(tray.window(), TrayIcon::kIconId);
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->icon, os::LoadIcon(nullptr, icon));
        EXPECT_EQ(shown->tip, tip);
    }

    os::MenuItemInfo Item(os::Hmenu menu, std::uint32_t item, bool byPosition) {
        os::MenuItemInfo info;
        info.mask = os::MIIM_ID | os::MIIM_STATE | os::MIIM_STRING | os::MIIM_SUBMENU;
        EXPECT_TRUE(os::GetMenuItemInfo(menu, item, byPosition, info)) << item;
        return info;
    }
    std::uint32_t State(std::uint32_t command) { return Item(tray.menu(), command, false).state; }
    os::Hmenu Popup() { return os::GetSubMenu(tray.menu(), 0); }

    TempFolder folder{"talvio-tray"};
    LocaleTable locale;
    MemoryRegistry registry;
    AppSettings settings{registry, &locale};
    FakeServiceHandset handset;
    FakeTrayShell shell;
    FakeWaveOut waveOut{{L"Realtek HD Audio", L"USB Audio Device"}};
    FakeWaveIn waveIn{{L"Realtek Mic", L"USB Audio Device"}};
    FakeMixer mixer{{{L"Realtek Mixer"}, {L"USB Audio Device"}}};
    FakeOsVersion audioVersion{5};
    FakeLauncher launcher;
    FakeResources resources;
    FakeHttpClient updateServer;
    FakeWebBrowser browser;
    VersionCheck versionCheck{updateServer, {"https", "update.talvio.com", 443}, settings, browser};
    // As the program declares them: the tray outlives the service it serves.
    TrayApplication tray{locale, settings, service, Audio_SpeakerVolume(), versionCheck, shell};
    ConnectorService service{&settings, handset, tray};
    NamedConnector* skype = nullptr;
    NamedConnector* voipBuster = nullptr;
    NamedConnector* sparVoip = nullptr;
    PlainWindow clientWindow;
};

}  // namespace talvio::testing
