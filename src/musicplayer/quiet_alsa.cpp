// SPDX-License-Identifier: MIT
#include "musicplayer/quiet_alsa.h"

#include <alsa/asoundlib.h>

namespace musicplayer {

namespace {

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

// SDL loads the same shared library later, so the handler set here is the one
// its calls see.
void silenceAlsaMessages() { snd_lib_error_set_handler(ignoreAlsaMessage); }

}  // namespace musicplayer
