#include "tools/scenario/app/popup_picture_win32.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "audio/audio_ports.h"
#include "audio/mixer_volume.h"
#include "foundation/png_writer.h"
#include "ui/volume_popup.h"

namespace talvio::scenario {

namespace {

// The speaker volume of the mixer the driver chooses: the handset's USB
// device when there is one, else the first.
class MixerSpeakerVolume final : public SpeakerVolume {
public:
    MixerSpeakerVolume() : mixer_(*SystemAudioPorts().mixer) { mixer_.selectUsb(); }
    unsigned read() override { return mixer_.getVolume(true); }
    void setAndRemember(unsigned) override {}  // a picture turns nothing

private:
    MixerVolume mixer_;
};

}  // namespace

PopupPicture WriteVolumePopupPicture(const std::wstring& path) {
    MixerSpeakerVolume volume;
    VolumePopup popup(volume);
    // Drawn, never shown: the window stays hidden.
    popup.createPopup();
    PopupPicture picture;
    picture.volume = volume.read();
    const LayeredCanvas& canvas = popup.canvas();
    const std::vector<std::uint8_t> png = EncodePng(canvas.width(), canvas.height(), canvas.pixels());
    if (png.empty()) return picture;
    std::ofstream file(std::filesystem::path(path), std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    picture.written = static_cast<bool>(file.flush());
    return picture;
}

}  // namespace talvio::scenario
