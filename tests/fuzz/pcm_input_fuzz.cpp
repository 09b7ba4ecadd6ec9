// The encoder's input reader: the format of any bytes, and the samples of what it accepts.
#include <sys/mman.h>
#include <unistd.h>

#include <variant>
#include <vector>

#include "encoder/pcm_input.h"
#include "platform/posix/unique_fd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tolvane::posix::UniqueFd fd(::memfd_create("input", MFD_CLOEXEC));
  if (!fd.Valid() || ::write(fd.Get(), data, size) != static_cast<ssize_t>(size))
    return 0;
  const auto format = tolvane::encoder::ReadPcmFormat(fd.Get(), static_cast<int64_t>(size));
  if (const auto* pcm = std::get_if<tolvane::encoder::PcmFormat>(&format)) {
    // Decode what follows the header, as far as the input reaches.
    const int64_t frame = pcm->BytesPerFrame();
    const int64_t after = static_cast<int64_t>(size) - pcm->data_offset;
    const int64_t frames = frame > 0 && after > 0 ? std::min<int64_t>(after / frame, 4096) : 0;
    std::vector<float> samples;
    if (frames > 0)
      tolvane::encoder::DecodeSamples(*pcm, data + pcm->data_offset, frames, samples);
  }
  return 0;
}
