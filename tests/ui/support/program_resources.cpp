#include "tests/ui/support/program_resources.h"

#include <string>

#include "platform/hosted/desktop.h"
#include "resources/dialog_templates.h"
#include "resources/program_art.h"
#include "resources/resource_files.h"

namespace talvio::testing {
namespace {

std::wstring Wide(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

void AddBitmap(int id, const art::Image& image) {
    os::hosted::AddBitmapResource(id, {image.width, image.height, 24, art::DibRows(image, 24)});
}

}  // namespace

void InstallProgramResources() {
    for (int id : art::TrayIconIds()) os::hosted::AddIconResource(id);
    os::hosted::AddIconResource(art::kAppIcon);
    os::hosted::AddIconResource(art::kPlayIcon);

    AddBitmap(art::kSpeakerBitmap, art::SpeakerImage());
    AddBitmap(art::kProgramIcons, art::ProgramIconStrip());
    AddBitmap(art::kAboutBanner, art::AboutBannerImage());

    const art::MenuResource menu = art::TrayMenu();
    os::hosted::MenuTemplateItem popup{Wide(menu.popupTitle), 0, 0, {}};
    for (const art::MenuEntry& entry : menu.entries) {
        popup.popup.push_back({Wide(entry.text), entry.id, entry.separator ? os::MF_SEPARATOR : 0u, {}});
    }
    os::hosted::AddMenuResource(menu.id, {popup});

    for (const art::DialogTemplate& dialog : art::DialogTemplates()) {
        os::hosted::DialogResource resource{Wide(dialog.title), dialog.style, 0, 0, dialog.width, dialog.height, {}};
        for (const art::DialogItem& item : dialog.items) {
            resource.items.push_back({Wide(item.className), Wide(item.text), item.id, item.style, item.x, item.y,
                                      item.width, item.height});
        }
        os::hosted::AddDialogResource(dialog.id, std::move(resource));
    }
}

}  // namespace talvio::testing
