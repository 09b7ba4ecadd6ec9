#pragma once

#include "queue/queue.h"

namespace tolvane::sources {

// What the bundled encoder takes: beside the WAVE and AIFF files any encoder takes, FLAC, Ogg
// Vorbis and Opus files, and sound at any rate the encoder takes (high resolution is resampled),
// each examined through the encoder's sound library. Such a file counts as its sound in 16-bit PCM, so that
// the plan, the shards, the live bar's percent and its time left weigh it as they weigh a WAVE
// file of the same sound.
queue::SourceKinds BundledSourceKinds();

}  // namespace tolvane::sources
