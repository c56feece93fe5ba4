// SPDX-License-Identifier: MIT
// A build without the ALSA library: there is nothing of it to silence.
#include "musicplayer/quiet_alsa.h"

namespace musicplayer {

void silenceAlsaMessages() {}

}  // namespace musicplayer
