// The encoder's input reader: the format of any bytes, and the samples of what it accepts.
#include <sys/mman.h>
#include <unistd.h>

#include <variant>
#include <vector>

#include "encoder/pcm_input.h"
#include "encoder/sound_reader.h"
#include "platform/posix/unique_fd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tolvane::posix::UniqueFd fd(::memfd_create("input", MFD_CLOEXEC));
  if (!fd.Valid() || ::write(fd.Get(), data, size) != static_cast<ssize_t>(size))
    return 0;
  tolvane::encoder::IsWaveOrAiff(fd.Get(), static_cast<int64_t>(size));
  tolvane::encoder::ReadPcmFormat(fd.Get(), static_cast<int64_t>(size));
  // The samples of whatever the sound library takes, as far as the input reaches.
  ::lseek(fd.Get(), 0, SEEK_SET);
  auto opened = tolvane::encoder::SoundReader::Open(fd.Get());
  if (auto* sound = std::get_if<tolvane::encoder::SoundReader>(&opened);
      sound != nullptr && sound->Channels() > 0 && sound->Channels() <= 8) {
    std::vector<float> samples(static_cast<size_t>(1024 * sound->Channels()));
    for (int block = 0; block < 16 && sound->Read(samples.data(), 1024) > 0; ++block) {
    }
  }
  return 0;
}
