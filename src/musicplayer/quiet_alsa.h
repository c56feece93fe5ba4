// SPDX-License-Identifier: MIT
// The ALSA library prints its own complaints on standard error (eight lines
// on a machine without a sound card). The music backend says in one line why
// there is no sound, so ALSA's are silenced before SDL opens audio.
#pragma once

namespace musicplayer {

void silenceAlsaMessages();

}  // namespace musicplayer
