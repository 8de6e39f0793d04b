#include "handset/keypad_handset.h"

namespace talvio {

int KeypadHandset::RequestAudioPath(int value) {
    requestedAudioPath_ = value;
    return SetAudioPath(input_.line == 0 ? value : 0);
}

}  // namespace talvio
