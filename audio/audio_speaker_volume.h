// The audio service's speaker volume, for the volume popup: Audio_GetVolume
// and Audio_SetVolumeAndRemember on the speaker. Main thread, as every
// Audio_* call; lives for the whole process.
#pragma once

#include "ui/speaker_volume.h"

namespace talvio {

SpeakerVolume& Audio_SpeakerVolume();

}  // namespace talvio
