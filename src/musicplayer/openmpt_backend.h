// SPDX-License-Identifier: MIT
// The real music backend: libopenmpt decodes the song, SDL plays it.
//
// Each handle names one instance with its own song and its own audio device.
// The audio device's callback (on SDL's audio thread) only renders; the
// calling thread touches the song only while the device is locked or closed.
// A failure returns 0 and leaves nothing half-open; why the music stays
// silent goes, in one line, to the listener of setPlayerReport.
#pragma once

#include <cstdint>

#include "musicplayer/modplug.h"

// Chosen as "real" (modplug.h); linking this file adds it to the table.
const PlayerBackend& openmptPlayerBackend();

// Diagnostics for tests and debugging; never needed by the game.
struct OpenmptInstanceState {
    bool exists = false;          // the handle names a live instance
    bool looping = false;         // CreateEx asked for endless repetition
    bool loaded = false;          // a song is loaded
    bool playing = false;         // an audio device is open for it
    uint64_t callbacks = 0;       // audio callbacks run so far
    uint64_t nonZeroFrames = 0;   // rendered stereo frames with any non-zero sample
};
OpenmptInstanceState openmptInstanceState(int32_t handle);
