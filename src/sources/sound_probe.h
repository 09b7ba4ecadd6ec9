#pragma once

#include "queue/queue.h"

namespace tolvane::sources {

// What the bundled encoder takes: beside the WAVE and AIFF files any encoder takes, FLAC, Ogg
// Vorbis and Opus files, and sound at any rate the encoder takes (high resolution is resampled),
// each examined through the encoder's sound library. Such a file counts as its sound in 16-bit PCM,
// so that the plan, the shards, the live bar's percent and its time left weigh it as they weigh a
// WAVE file of the same sound.
queue::SourceKinds BundledSourceKinds();

// Why the window refuses a sound file that only the bundled encoder reads.
inline constexpr const char* kNeedsBundledEncoder = "needs the bundled encoder";

// What the window takes with the encoder it runs, each entry starting with its source's own tag
// when it has one: with the bundled encoder, what tolvane-batch takes; with an outside one,
// WAVE and AIFF files as that encoder reads them, any other sound (a folder's FLAC, Ogg and Opus
// files too) refused as one that needs the bundled encoder.
queue::SourceKinds WindowSourceKinds(bool bundled_encoder);

}  // namespace tolvane::sources
