// Under Wine, on the real user32, gdi32 and shell32 (null graphics driver):
// the tray icons, the tray menu and the speaker bitmap load from the
// executable's own resources, the menu takes the application's edits as the
// hosted desktop does, and the tray icon and the volume popup make their
// real calls.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/unique.h"
#include "resources/program_art.h"
#include "tests/ui/support/tray_menu_checks.h"
#include "ui/bitmap.h"
#include "ui/tray_icon.h"
#include "ui/volume_popup.h"

namespace talvio {
namespace {

class FixedVolume final : public SpeakerVolume {
public:
    unsigned read() override { return volume; }
    void setAndRemember(unsigned value) override { volume = value; }
    unsigned volume = 30720;
};

TEST(TrayWine, ResourcesLoadFromTheExecutableAndTheRealCallsRun) {
    for (int id : art::TrayIconIds()) EXPECT_NE(os::LoadIcon(nullptr, id), nullptr) << id;

    os::Menu menu(os::LoadMenu(nullptr, art::kTrayMenu));
    ASSERT_TRUE(menu);
    testing::ExpectTrayMenuEditsAsOnWindows(menu.get());

    // The speaker comes as a 24-bit DIB section, its rows where the image
    // has them; with a mask its white corner turns black.
    const art::Image drawn = art::SpeakerImage();
    const std::shared_ptr<Bitmap> speaker = Bitmap::load(art::kSpeakerBitmap, true);
    ASSERT_TRUE(speaker);
    const paint::BitmapInfo& info = speaker->info();
    ASSERT_NE(info.bits, nullptr);
    EXPECT_EQ(info.width, drawn.width);
    EXPECT_EQ(info.height, drawn.height);
    EXPECT_EQ(info.bitsPerPixel, 24);
    const std::uint8_t* cone = info.row(48) + 3 * 40;
    EXPECT_EQ(cone[0] | cone[1] << 8 | cone[2] << 16, drawn.at(40, 48) & 0xFFFFFF);
    EXPECT_NE(speaker->mask(), nullptr);
    EXPECT_EQ(info.row(0)[0] | info.row(0)[1] | info.row(0)[2], 0);

    TrayIcon tray;
    ASSERT_TRUE(tray.create(nullptr, art::kTrayMenu));
    EXPECT_EQ(tray.setIcon(art::kIconReady, L"Talvio Phone Driver"), 1);
    EXPECT_EQ(tray.setIcon(art::kIconNoHandset, std::wstring(300, L'x')), 1);
    const os::Hwnd trayWindow = tray.window();
    tray.destroy();
    EXPECT_FALSE(os::IsWindow(trayWindow));

    FixedVolume volume;
    VolumePopup popup(volume);
    popup.show();
    ASSERT_NE(popup.window(), nullptr);
    EXPECT_EQ(os::GetWindowExStyle(popup.window()) & 0x800A8u, 0x800A8u);
    EXPECT_EQ(popup.canvas().pixel(30 + 7 * 27 + 9, 145), VolumePopup::kBarLit);
    EXPECT_EQ(popup.canvas().pixel(30 + 8 * 27 + 9, 145), VolumePopup::kBarUnlit);
    EXPECT_TRUE(popup.canvas().present(popup.window(), os::GetWindowRect(popup.window()), 128));
    popup.volumeUp();
    EXPECT_EQ(volume.volume, 30720u + 4096u);
}

}  // namespace
}  // namespace talvio
