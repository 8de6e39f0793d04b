#include "tests/ui/support/program_resources.h"

#include <string>

#include "platform/hosted/desktop.h"
#include "resources/program_art.h"
#include "resources/resource_files.h"

namespace talvio::testing {

void InstallProgramResources() {
    for (int id : art::TrayIconIds()) os::hosted::AddIconResource(id);

    const art::Image speaker = art::SpeakerImage();
    os::hosted::AddBitmapResource(art::kSpeakerBitmap,
                                  {speaker.width, speaker.height, 24, art::DibRows(speaker, 24)});

    const art::MenuResource menu = art::TrayMenu();
    auto wide = [](std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); };
    os::hosted::MenuTemplateItem popup{wide(menu.popupTitle), 0, 0, {}};
    for (const art::MenuEntry& entry : menu.entries) {
        popup.popup.push_back({wide(entry.text), entry.id, entry.separator ? os::MF_SEPARATOR : 0u, {}});
    }
    os::hosted::AddMenuResource(menu.id, {popup});
}

}  // namespace talvio::testing
